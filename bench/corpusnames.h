// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>

#include <algorithm>
#include <filesystem>
#include <random>
#include <vector>

// File names for trees of any size, drawn from the names of the files under /usr: each takes
// the shape of a real name (its separators, digits and extension) with its words replaced by
// words of a vocabulary that grows with the tree, the real words first (the most frequent
// likeliest), then new ones spliced from the start of one real word and the end of another.
// Alike names therefore grow about linearly with the tree, as in real collections; a few names
// are copies of a recent one with a copy mark.
class CorpusNames {
public:
    CorpusNames(qint64 count, quint64 seed) : m_rng(seed)
    {
        namespace fs = std::filesystem;
        std::error_code error;
        for (fs::recursive_directory_iterator it("/usr", error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.front() == '.') // hidden, as the walk leaves such names out
                it.disable_recursion_pending();
            else if (it->symlink_status(error).type() == fs::file_type::regular)
                m_shapes.push_back(QByteArray::fromStdString(name));
        }
        std::sort(m_shapes.begin(), m_shapes.end()); // the same corpus in any walk order
        QHash<QByteArray, qint64> frequency;
        for (const QByteArray &name : m_shapes)
            forEachWord(name, [&](qsizetype from, qsizetype to) {
                ++frequency[name.mid(from, to - from)];
            });
        for (auto it = frequency.cbegin(); it != frequency.cend(); ++it)
            m_words.push_back(it.key());
        std::sort(m_words.begin(), m_words.end(), [&](const QByteArray &a, const QByteArray &b) {
            return frequency[a] != frequency[b] ? frequency[a] > frequency[b] : a < b;
        });
        m_vocabulary = std::max<qint64>(qint64(m_words.size()), count / 2);
    }

    bool isEmpty() const { return m_words.empty(); }

    QByteArray next()
    {
        QByteArray name;
        if (!m_recent.empty() && draw(100) < 4) {
            name = m_recent[size_t(draw(qint64(m_recent.size())))];
            static const char *marks[] = {" (1)", " (2)", " - Copy", "_copy", "_old", "~1"};
            const qsizetype dot = name.lastIndexOf('.');
            name.insert(dot > 0 ? dot : name.size(), marks[draw(6)]);
        } else {
            const QByteArray &shape = m_shapes[size_t(draw(qint64(m_shapes.size())))];
            const qsizetype dot = shape.lastIndexOf('.');
            const qsizetype stemEnd = dot > 0 && shape.size() - dot <= 6 ? dot : shape.size();
            qsizetype done = 0;
            forEachWord(shape.first(stemEnd), [&](qsizetype from, qsizetype to) {
                name += shape.mid(done, from - done) + word();
                done = to;
            });
            name += shape.mid(done);
        }
        if (m_recent.size() < 1000)
            m_recent.push_back(name);
        else
            m_recent[size_t(draw(1000))] = name;
        return name;
    }

private:
    template <typename Visit> static void forEachWord(QByteArrayView name, Visit visit)
    {
        for (qsizetype i = 0; i < name.size();) {
            if (!std::isalpha(uchar(name[i]))) {
                ++i;
                continue;
            }
            const qsizetype from = i;
            while (i < name.size() && std::isalpha(uchar(name[i])))
                ++i;
            visit(from, i);
        }
    }

    static quint64 mix(quint64 x) // splitmix64's finaliser
    {
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
        return x ^ (x >> 31);
    }

    qint64 draw(qint64 bound) { return qint64(m_rng() % quint64(bound)); }

    // Low numbers far likelier, as word frequencies fall off.
    QByteArray word()
    {
        const double u = double(m_rng() >> 11) / double(1ULL << 53);
        const auto k = qint64(double(m_vocabulary) * u * u);
        if (k < qint64(m_words.size()))
            return m_words[size_t(k)];
        // Word k is the same wherever it is drawn.
        const QByteArray &a = m_words[mix(quint64(k)) % m_words.size()];
        const QByteArray &b = m_words[mix(~quint64(k)) % m_words.size()];
        return a.first(std::max<qsizetype>(1, a.size() / 2)) + b.sliced(b.size() / 2);
    }

    std::mt19937_64 m_rng;
    std::vector<QByteArray> m_shapes; // the real names
    std::vector<QByteArray> m_words;  // the real words, most frequent first
    std::vector<QByteArray> m_recent; // names a copy may be taken of
    qint64 m_vocabulary = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

// Paths of a made-up collection of files of any size, with the statistics of the names under
// /usr: their extensions, words, syllables and shapes. A real tree is made of folders of
// related names: each folder here has a theme word of its own, coined from real syllables, a
// few topic words, a main extension and a casing, and its names combine them with numbers,
// dates, versions and copy marks; a few files are copied from other folders, and a few
// folders are backups of recent ones. New folders bring new words, so the vocabulary grows
// with the tree, and alike names stay within a folder and its copies: the rows grow about as
// the names.
// Names that carry no word of their folder (README, IMG_0001.jpg) would pair across the whole
// tree, growing with the square of it, and are left out.
class CorpusTree {
public:
    explicit CorpusTree(quint64 seed) : m_rng(seed) { learn(); }

    bool isEmpty() const { return m_syllables.items.empty() || m_words.items.empty(); }

    // The next path: folders fill up one after the other, in the order a walk gives them.
    QByteArray next()
    {
        if (m_left == 0)
            startFolder();
        --m_left;
        QByteArray name =
            m_backup.empty() ? nextName() : m_backup[m_backup.size() - size_t(m_left) - 1];
        while (m_taken.contains(name)) // a folder holds a name once
            name = nextName();
        m_taken.insert(name);
        m_names.push_back(name);
        return m_folder + name;
    }

    // Distinct words in the names so far, coined or real.
    qint64 vocabulary() const { return m_vocabulary.size(); }

private:
    struct Weighted {
        std::vector<QByteArray> items;
        std::discrete_distribution<size_t> pick;
    };

    static Weighted weighted(const QHash<QByteArray, qint64> &counts, double power, qint64 least)
    {
        std::vector<std::pair<QByteArray, qint64>> sorted;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() >= least)
                sorted.emplace_back(it.key(), it.value());
        }
        // The same order whatever the hash's, so that a seed always gives the same tree.
        std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
            return a.second != b.second ? a.second > b.second : a.first < b.first;
        });
        Weighted result;
        std::vector<double> weights;
        for (const auto &[item, count] : sorted) {
            result.items.push_back(item);
            weights.push_back(std::pow(double(count), power));
        }
        result.pick = std::discrete_distribution<size_t>(weights.begin(), weights.end());
        return result;
    }

    static bool isVowel(char c) { return c && std::strchr("aeiouy", c) != nullptr; }

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

    // Syllables as consonants, vowels and the consonant that closes them before another
    // consonant: "installation" gives in, stal, la, tion.
    template <typename Visit> static void forEachSyllable(const QByteArray &word, Visit visit)
    {
        qsizetype i = 0;
        while (i < word.size()) {
            const qsizetype from = i;
            while (i < word.size() && !isVowel(word[i]))
                ++i;
            while (i < word.size() && isVowel(word[i]))
                ++i;
            if (i + 1 < word.size() && !isVowel(word[i]) && !isVowel(word[i + 1]))
                ++i;
            if (i + 2 >= word.size()) // no syllable of a lone consonant or two at the end
                i = word.size();
            visit(word.mid(from, i - from));
        }
    }

    void learn()
    {
        namespace fs = std::filesystem;
        QHash<QByteArray, qint64> extensions, words, syllables;
        std::error_code error;
        for (fs::recursive_directory_iterator it("/usr", error), end; !error && it != end;
             it.increment(error)) {
            const QByteArray name = QByteArray::fromStdString(it->path().filename().string());
            if (name.front() == '.') { // hidden, as the walk leaves such names out
                it.disable_recursion_pending();
                continue;
            }
            if (it->symlink_status(error).type() != fs::file_type::regular)
                continue;
            const qsizetype dot = name.lastIndexOf('.');
            const bool hasExtension = dot > 0 && name.size() - dot <= 5;
            ++extensions[hasExtension ? name.sliced(dot) : QByteArray()];
            const QByteArray stem = hasExtension ? name.first(dot) : name;
            m_shapes.push_back(stem);
            forEachWord(stem, [&](qsizetype from, qsizetype to) {
                const QByteArray word = stem.mid(from, to - from).toLower();
                if (word.size() < 2)
                    return;
                ++words[word];
                if (word.size() >= 4)
                    forEachSyllable(word, [&](const QByteArray &syllable) {
                        if (syllable.size() <= 4)
                            ++syllables[syllable];
                    });
            });
        }
        std::sort(m_shapes.begin(), m_shapes.end());
        m_extensions = weighted(extensions, 1.0, 1);
        m_words = weighted(words, 1.0, 2);
        // Damped, so that coined words are not all made of "er" and "in".
        m_syllables = weighted(syllables, 0.5, 3);
    }

    size_t draw(size_t bound) { return size_t(m_rng() % bound); }
    bool chance(int percent) { return draw(100) < size_t(percent); }
    const QByteArray &pick(Weighted &from) { return from.items[from.pick(m_rng)]; }

    // A new word of real syllables, as long as real words are.
    QByteArray coin()
    {
        const qsizetype length = 5 + qsizetype(draw(4) + draw(4));
        QByteArray word;
        while (word.size() < length)
            word += pick(m_syllables);
        m_vocabulary.insert(word);
        return word;
    }

    QByteArray cased(QByteArray word) const
    {
        switch (m_casing) {
        case 1:
            word[0] = char(std::toupper(uchar(word[0])));
            break;
        case 2:
            word = word.toUpper();
            break;
        }
        return word;
    }

    QByteArray number()
    {
        switch (draw(5)) {
        case 0:
            return QByteArray::number(qint64(draw(10000)) + 10000).sliced(1);
        case 1:
            return QByteArray::number(qint64(draw(99)) + 1);
        case 2:
            return QByteArray::number(qint64(2000 + draw(26))) + '-' +
                   QByteArray::number(qint64(draw(12)) + 101).sliced(1) + '-' +
                   QByteArray::number(qint64(draw(28)) + 101).sliced(1);
        case 3:
            return QByteArray::number(qint64(2000 + draw(26)));
        default:
            return (m_casing == 2 ? "V" : "v") + QByteArray::number(qint64(draw(5)) + 1);
        }
    }

    // A real word short enough not to outweigh the folder's own words in a stem.
    QByteArray commonWord()
    {
        for (;;) {
            const QByteArray &word = pick(m_words);
            if (word.size() <= 5) {
                m_vocabulary.insert(word);
                return word;
            }
        }
    }

    // Keeps a finished folder among the recent ones that a backup copies, and a few of its
    // names for copies into other folders.
    void remember()
    {
        if (m_names.empty())
            return;
        if (m_recent.size() < 64)
            m_recent.emplace_back(m_leaf, m_names);
        else
            m_recent[draw(m_recent.size())] = {m_leaf, m_names};
        for (int k = 0; k < 2; ++k) {
            const QByteArray &name = m_names[draw(m_names.size())];
            if (m_elsewhere.size() < 4096)
                m_elsewhere.push_back(name);
            else
                m_elsewhere[draw(m_elsewhere.size())] = name;
        }
    }

    void startFolder()
    {
        remember();
        m_names.clear();
        m_taken.clear();
        m_backup.clear();
        if (m_folders++ % 60 == 0)
            m_area = coin() + '-' + commonWord();
        if (!m_recent.empty() && chance(2)) {
            // A backup: a recent folder again, whole, under another parent.
            const auto &[leaf, names] = m_recent[draw(m_recent.size())];
            m_backup = names;
            m_left = qint64(m_backup.size());
            do
                m_folder = "/srv/archive/" + m_area + "/Backup " + number() + '/' + leaf + '/';
            while (m_folderPaths.contains(m_folder));
            m_folderPaths.insert(m_folder);
            return;
        }
        // Folder sizes spread as in real trees: most hold a few dozen files, some hundreds.
        m_left = std::clamp(qint64(std::exp(m_sizes(m_rng))), qint64(1), qint64(500));
        m_casing = chance(50) ? 0 : chance(80) ? 1 : 2;
        m_theme = cased(coin());
        m_topics.clear();
        for (size_t k = 2 + draw(4); k > 0; --k)
            m_topics.push_back(cased(chance(50) ? coin() : commonWord()));
        m_extension = pick(m_extensions);
        m_separator = "_- ."[draw(4)];
        do {
            m_leaf = m_theme + ' ' + number();
            m_folder = "/srv/archive/" + m_area + '/' + m_leaf + '/';
        } while (m_folderPaths.contains(m_folder));
        m_folderPaths.insert(m_folder);
    }

    QByteArray topic() { return m_topics[draw(m_topics.size())]; }

    QByteArray nextName()
    {
        QByteArray extension = chance(75) ? m_extension : pick(m_extensions);
        if (!m_elsewhere.empty() && chance(3)) // a file copied from another folder
            return m_elsewhere[draw(m_elsewhere.size())];
        if (!m_names.empty() && chance(6)) {
            QByteArray name = m_names[draw(m_names.size())];
            static const char *const marks[] = {" (1)", " (2)", " - Copy", "_copy",      " copy",
                                                "_v2",  "_old", "~1",      "_2024-05-17"};
            const qsizetype dot = name.lastIndexOf('.');
            if (chance(10))
                return "Copy of " + name;
            name.insert(dot > 0 ? dot : name.size(), marks[draw(std::size(marks))]);
            return name;
        }
        const char s = m_separator;
        QByteArray name;
        const size_t kind = draw(100);
        if (kind < 30) {
            name = m_theme + s + topic();
            if (chance(50))
                name += s + number();
        } else if (kind < 45) {
            name = m_theme + s + number();
        } else if (kind < 55) {
            name = topic() + s + m_theme;
        } else if (kind < 70) {
            name = m_theme + s + cased(commonWord());
            if (chance(40))
                name += s + number();
        } else if (kind < 88) {
            // A real name's shape, its first word the folder's theme and the others its topics.
            const QByteArray &shape = m_shapes[draw(m_shapes.size())];
            qsizetype done = 0;
            bool first = true;
            forEachWord(shape, [&](qsizetype from, qsizetype to) {
                name += shape.mid(done, from - done) + (first ? m_theme : topic());
                first = false;
                done = to;
            });
            name += shape.mid(done);
            if (first)
                name = m_theme + s + name;
        } else {
            name = m_theme + topic() + number();
        }
        return name + extension;
    }

    std::mt19937_64 m_rng;
    std::normal_distribution<double> m_sizes{3.2, 1.0}; // e^3.2 = 25 files a folder, median
    Weighted m_extensions, m_words, m_syllables;
    std::vector<QByteArray> m_shapes; // real names, less their extensions
    QSet<QByteArray> m_vocabulary;
    qint64 m_folders = 0;
    qint64 m_left = 0;
    QByteArray m_area, m_leaf, m_folder, m_theme, m_extension;
    std::vector<QByteArray> m_topics;
    std::vector<QByteArray> m_names; // this folder's, which copies are taken of
    QSet<QByteArray> m_taken;
    QSet<QByteArray> m_folderPaths;
    std::vector<std::pair<QByteArray, std::vector<QByteArray>>> m_recent; // folders, by leaf
    std::vector<QByteArray> m_backup;    // the names of the folder being copied whole
    std::vector<QByteArray> m_elsewhere; // names of earlier folders, which files are copied from
    int m_casing = 0;                    // lower, Title or UPPER
    char m_separator = '_';
};

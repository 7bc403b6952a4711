// SPDX-License-Identifier: MIT
#include "filerecords.h"

namespace twinsift {

namespace {

template <typename View> View trimSpaces(View text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

} // namespace

void FileRecords::append(QByteArrayView path, qsizetype nameOffset, QStringView stem,
                         QStringView ext, const FileIdentity &identity)
{
    const QByteArray latin1 = stem.toLatin1();
    append(path, nameOffset, QLatin1StringView(latin1), ext, identity);
}

void FileRecords::append(QByteArrayView path, qsizetype nameOffset, QLatin1StringView stem,
                         QStringView ext, const FileIdentity &identity)
{
    const QByteArrayView folderPath = path.first(nameOffset);
    if (m_folders.isEmpty() || text(m_folders.back()) != folderPath)
        m_folders.append(store(folderPath));
    const quint64 name = store(path.sliced(nameOffset));
    const QLatin1StringView trimmed = trimSpaces(stem);
    store(QByteArrayView(trimmed.data(), trimmed.size()));
    const QStringView key = trimSpaces(ext);
    if (m_exts.isEmpty() || m_exts[m_lastExt] != key) {
        auto extIt = m_extIds.constFind(key.toString());
        if (extIt == m_extIds.cend()) {
            extIt = m_extIds.insert(key.toString(), quint32(m_exts.size()));
            m_exts.append(key.toString());
        }
        m_lastExt = *extIt;
    }
    if (identity != FileIdentity{} || !m_identities.isEmpty()) {
        m_identities.resize(m_entries.size());
        m_identities.append(identity);
    }
    m_entries.append(Entry{name, quint32(m_folders.size() - 1), m_lastExt});
}

void FileRecords::pathInto(size_t i, QByteArray &out) const
{
    const QByteArrayView f = folder(i), n = name(i);
    out.resize(f.size() + n.size());
    std::copy(f.begin(), f.end(), out.data());
    std::copy(n.begin(), n.end(), out.data() + f.size());
}

QLatin1StringView FileRecords::stem(size_t i) const
{
    const QByteArrayView bytes = text(afterText(at(i).name));
    return QLatin1StringView(bytes.data(), bytes.size());
}

quint64 FileRecords::store(QByteArrayView bytes)
{
    const auto offset = quint64(m_arena.size());
    auto length = quint64(bytes.size());
    for (; length > 0x7f; length >>= 7)
        m_arena.append(char((length & 0x7f) | 0x80));
    m_arena.append(char(length));
    m_arena.append(bytes);
    return offset;
}

QByteArrayView FileRecords::text(quint64 offset) const
{
    const char *p = m_arena.constData() + offset;
    quint64 length = 0;
    for (int shift = 0;; shift += 7, ++p) {
        length |= quint64(uchar(*p) & 0x7f) << shift;
        if (!(uchar(*p) & 0x80))
            break;
    }
    return QByteArrayView(p + 1, qsizetype(length));
}

quint64 FileRecords::afterText(quint64 offset) const
{
    const QByteArrayView bytes = text(offset);
    return quint64(bytes.data() + bytes.size() - m_arena.constData());
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include "listing/fileidentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>

namespace twinsift {

// The candidates of a duplicate search, in the order they were found, packed so that millions
// fit: names and stems lie in one byte arena, a path is its folder (kept once for a run of
// files in one folder) and its name, and an extension key is a number into the few distinct
// keys. A candidate costs 16 bytes plus its name and stem, and 32 more for its identity once
// any candidate has one (a listing read from a file has none).
class FileRecords {
public:
    // Appends the file at `path`, whose name starts at `nameOffset`, with its name stem and
    // extension key, each without leading and trailing spaces. Stems hold Latin-1 letters
    // only, as lettersOnly gives them.
    void append(QByteArrayView path, qsizetype nameOffset, QStringView stem, QStringView ext,
                const FileIdentity &identity = {});
    void append(QByteArrayView path, qsizetype nameOffset, QLatin1StringView stem, QStringView ext,
                const FileIdentity &identity = {});

    bool isEmpty() const { return m_entries.isEmpty(); }
    size_t count() const { return size_t(m_entries.size()); }

    QByteArrayView folder(size_t i) const { return text(m_folders[qsizetype(at(i).folder)]); }
    QByteArrayView name(size_t i) const { return text(at(i).name); }
    QByteArray path(size_t i) const { return folder(i).toByteArray() + name(i); }
    // Sets `out` to the path without allocating once `out` has grown to fit.
    void pathInto(size_t i, QByteArray &out) const;
    QLatin1StringView stem(size_t i) const;
    quint32 extId(size_t i) const { return at(i).ext; }
    const QString &ext(size_t i) const { return m_exts[qsizetype(at(i).ext)]; }
    size_t extCount() const { return size_t(m_exts.size()); }
    FileIdentity identity(size_t i) const
    {
        return qsizetype(i) < m_identities.size() ? m_identities[qsizetype(i)] : FileIdentity{};
    }

    void clear() { *this = FileRecords(); }

private:
    struct Entry {
        quint64 name; // arena offset of the name; the stem follows it
        quint32 folder;
        quint32 ext;
    };

    const Entry &at(size_t i) const { return m_entries[qsizetype(i)]; }
    // Texts in the arena are prefixed by their length, seven bits a byte, low bits first.
    quint64 store(QByteArrayView bytes);
    QByteArrayView text(quint64 offset) const;
    quint64 afterText(quint64 offset) const;

    QList<Entry> m_entries;           // grows by realloc: no second copy at the peak
    QList<FileIdentity> m_identities; // empty while every identity is unknown
    QByteArray m_arena;
    QList<quint64> m_folders; // arena offsets of the folder paths
    QHash<QString, quint32> m_extIds;
    quint32 m_lastExt = 0; // files in a row often share their key
    QStringList m_exts;
};

} // namespace twinsift

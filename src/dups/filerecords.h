// SPDX-License-Identifier: MIT
#pragma once

#include "listing/fileidentity.h"

#include <QByteArray>
#include <QString>

#include <deque>

namespace twinsift {

// One candidate file of the duplicate search.
struct FileRecord {
    QString filename;      // the name stem: capital letters A to Z, at least two
    QByteArray path;       // raw bytes of the full path
    QString ext;           // the extension key: the name's last three characters, upper-cased
    FileIdentity identity; // unknown for a path that was only read from a listing
};

// The queue of candidates between the walk that finds them and the search that drains
// them: appended at the end, read and removed from the front.
class FileRecords {
public:
    void append(FileRecord record) { m_records.push_back(std::move(record)); }
    bool isEmpty() const { return m_records.empty(); }
    size_t count() const { return m_records.size(); }
    const FileRecord &first() const { return m_records.front(); }
    FileRecord takeFirst()
    {
        FileRecord record = std::move(m_records.front());
        m_records.pop_front();
        return record;
    }
    void clear() { m_records.clear(); }

private:
    std::deque<FileRecord> m_records;
};

} // namespace twinsift

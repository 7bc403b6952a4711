// SPDX-License-Identifier: MIT
#pragma once

#include "columns.h"
#include "folderwalker.h"
#include "runningindex.h"

#include <QLocale>
#include <QStringList>

namespace twinsift {

// One row of the file listing. The texts of the cells derive from the path and the size.
struct ListingRow {
    quint64 number = 0;
    QByteArray path;          // raw bytes of the full path
    qsizetype nameOffset = 0; // where the name starts in `path`
    qint64 size = 0;
    FileIdentity identity;    // what a delete checks the file against
    qsizetype rootLength = 0; // the walk's starting folder in `path`, its "/" included

    QByteArrayView name() const { return QByteArrayView(path).sliced(nameOffset); }
    QString filenameText() const;
    QString sizeText(const QLocale &locale = QLocale::system()) const;
    qint64 hashValue() const;
    QString hashText() const;
    QString pathText() const;
};

inline QStringList listingColumns()
{
    return columns::texts(columns::listing());
}

// Walks `fPath` and hands one numbered row per file to `sink`, numbering on from `index`.
WalkOutcome RecurseFiles2(QByteArrayView fPath, RunningIndex &index,
                          const std::function<void(ListingRow &&)> &sink, std::stop_token stop = {},
                          WalkProgress *progress = nullptr);

} // namespace twinsift

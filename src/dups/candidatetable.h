// SPDX-License-Identifier: MIT
#pragma once

#include "app/keywordlist.h"
#include "filerecords.h"
#include "listing/folderwalker.h"

namespace twinsift {

// Appends a record for the file at `path`, whose name starts at `nameOffset`, when its stem
// has at least two letters and is not a keyword: the one rule for walked and listed files.
void storeCandidate(QByteArrayView path, qsizetype nameOffset, const KeywordList &keywords,
                    FileRecords &records, const FileIdentity &identity = {});

// Walks `fPath` as the listing does and appends a record for every file whose stem has at
// least two letters and is not a keyword.
WalkOutcome storeData(QByteArrayView fPath, const KeywordList &keywords, FileRecords &records,
                      std::stop_token stop = {}, WalkProgress *progress = nullptr);

} // namespace twinsift

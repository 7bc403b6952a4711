// SPDX-License-Identifier: MIT
#pragma once

#include "app/keywordlist.h"
#include "filerecords.h"
#include "listing/folderwalker.h"

namespace twinsift {

// Walks `fPath` as the listing does and appends a record for every file whose stem has at
// least two letters and is not a keyword.
// Appends a record for the file at `path`, whose name starts at `nameOffset`, when its stem
// has at least two letters and is not a keyword: the one rule for walked and listed files.
// With `borrowPath` the record refers to the bytes of `path`, which must then outlive it.
void storeCandidate(QByteArrayView path, qsizetype nameOffset, const KeywordList &keywords,
                    FileRecords &records, bool borrowPath = false,
                    const FileIdentity &identity = {});

WalkOutcome storeData(QByteArrayView fPath, const KeywordList &keywords, FileRecords &records,
                      std::stop_token stop = {}, WalkProgress *progress = nullptr);

} // namespace twinsift

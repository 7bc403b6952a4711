// SPDX-License-Identifier: MIT
#pragma once

#include "../app/keywordlist.h"
#include "../listing/folderwalker.h"
#include "filerecords.h"

namespace twinsift {

// Walks `fPath` as the listing does and appends a record for every file whose stem has at
// least two letters and is not a keyword.
WalkOutcome storeData(QByteArrayView fPath, const KeywordList &keywords, FileRecords &records,
                      std::stop_token stop = {}, WalkProgress *progress = nullptr);

} // namespace twinsift

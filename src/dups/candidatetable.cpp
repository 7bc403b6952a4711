// SPDX-License-Identifier: MIT
#include "candidatetable.h"

#include "../listing/rawname.h"
#include "genmodules.h"

namespace twinsift {

WalkOutcome storeData(QByteArrayView fPath, const KeywordList &keywords, FileRecords &records,
                      std::stop_token stop, WalkProgress *progress)
{
    return FolderWalker::walk(
        fPath,
        [&](const WalkedFile &file) {
            const QString entry = rawname::decode(file.name());
            QString stem = genModules::lettersOnly(entry);
            if (stem.size() > 1 && keywords.notAkeyword(stem))
                records.append(
                    {std::move(stem), file.path.toByteArray(), genModules::extUpper(entry)});
        },
        std::move(stop), progress);
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "candidatetable.h"

#include "genmodules.h"
#include "listing/rawname.h"

namespace twinsift {

void storeCandidate(QByteArrayView path, qsizetype nameOffset, const KeywordList &keywords,
                    FileRecords &records, const FileIdentity &identity)
{
    const QString entry = rawname::decode(path.sliced(nameOffset));
    const QString stem = genModules::lettersOnly(entry);
    if (stem.size() > 1 && keywords.notAkeyword(stem))
        records.append(path, nameOffset, stem, genModules::extUpper(entry), identity);
}

WalkOutcome storeData(QByteArrayView fPath, const KeywordList &keywords, FileRecords &records,
                      std::stop_token stop, WalkProgress *progress)
{
    return FolderWalker::walk(
        fPath,
        [&](const WalkedFile &file) {
            storeCandidate(file.path, file.nameOffset, keywords, records);
        },
        std::move(stop), progress);
}

} // namespace twinsift

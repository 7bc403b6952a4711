// SPDX-License-Identifier: MIT
#include "candidatetable.h"

#include "genmodules.h"
#include "listing/rawname.h"

namespace twinsift {

void storeCandidate(QByteArrayView path, qsizetype nameOffset, const KeywordList &keywords,
                    FileRecords &records, bool borrowPath, const FileIdentity &identity)
{
    const QString entry = rawname::decode(path.sliced(nameOffset));
    QString stem = genModules::lettersOnly(entry);
    if (stem.size() > 1 && keywords.notAkeyword(stem))
        records.append(
            {std::move(stem),
             borrowPath ? QByteArray::fromRawData(path.data(), path.size()) : path.toByteArray(),
             genModules::extUpper(entry), identity});
}

WalkOutcome storeData(QByteArrayView fPath, const KeywordList &keywords, FileRecords &records,
                      std::stop_token stop, WalkProgress *progress)
{
    return FolderWalker::walk(
        fPath,
        [&](const WalkedFile &file) {
            storeCandidate(file.path, file.nameOffset, keywords, records, false, file.identity);
        },
        std::move(stop), progress);
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "candidatetable.h"

#include "genmodules.h"
#include "listing/rawname.h"

namespace twinsift {

namespace {

// False when the name surely has fewer than two letters before its last three characters, so
// that it can never be a candidate and its file needs no look-up. A character takes at least
// one byte, so the stem lies in the bytes before the last three; a byte beyond ASCII may still
// fold to a capital.
bool mayBeCandidate(QByteArrayView name)
{
    int letters = 0;
    for (qsizetype i = 0; i + 3 < name.size() && letters < 2; ++i) {
        const auto c = uchar(name[i]);
        if (c >= 0x80)
            return true;
        letters += (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? 1 : 0;
    }
    return letters >= 2;
}

} // namespace

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
            storeCandidate(file.path, file.nameOffset, keywords, records, file.identity);
        },
        std::move(stop), progress, mayBeCandidate);
}

} // namespace twinsift

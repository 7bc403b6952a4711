// SPDX-License-Identifier: MIT
#include "candidatetable.h"

#include "genmodules.h"
#include "listing/rawname.h"

#include <algorithm>
#include <climits>

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

// Stores a name of ASCII bytes as the general rule below would, without decoding it: each byte
// is one character, and its capital, where it has one, is an ASCII letter. False for any other
// name.
bool storeAsciiCandidate(QByteArrayView path, qsizetype nameOffset, const KeywordList &keywords,
                         FileRecords &records, const FileIdentity &identity)
{
    const QByteArrayView name = path.sliced(nameOffset);
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    char stem[NAME_MAX + 1];
    if (name.size() > qsizetype(sizeof stem))
        return false;
    qsizetype size = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = upper(name[i]);
        if (uchar(c) >= 0x80)
            return false;
        stem[size] = c;
        size += i + 3 < name.size() && c >= 'A' && c <= 'Z' ? 1 : 0;
    }
    const QLatin1StringView letters(stem, size);
    if (size > 1 && keywords.notAkeyword(letters)) {
        char16_t ext[3];
        const QByteArrayView last = name.last(std::min<qsizetype>(name.size(), 3));
        std::transform(last.begin(), last.end(), ext, upper);
        records.append(path, nameOffset, letters, QStringView(ext, last.size()), identity);
    }
    return true;
}

} // namespace

void storeCandidate(QByteArrayView path, qsizetype nameOffset, const KeywordList &keywords,
                    FileRecords &records, const FileIdentity &identity)
{
    if (storeAsciiCandidate(path, nameOffset, keywords, records, identity))
        return;
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

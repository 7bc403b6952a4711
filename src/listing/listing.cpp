// SPDX-License-Identifier: MIT
#include "listing.h"

#include "filehash.h"
#include "rawname.h"
#include "sizetext.h"

#include <algorithm>

namespace twinsift {

QString ListingRow::filenameText() const
{
    return rawname::display(name());
}

QString ListingRow::sizeText(const QLocale &locale) const
{
    return twinsift::sizeText(size, locale);
}

qint64 ListingRow::hashValue() const
{
    const QByteArrayView bytes = name();
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii)
        return filehash::hashValue(QLatin1StringView(bytes.data(), bytes.size()));
    return filehash::hashValue(rawname::decode(bytes));
}

QString ListingRow::hashText() const
{
    return QString::number(hashValue());
}

QString ListingRow::pathText() const
{
    return rawname::display(path);
}

WalkOutcome RecurseFiles2(QByteArrayView fPath, RunningIndex &index,
                          const std::function<void(ListingRow &&)> &sink, std::stop_token stop,
                          WalkProgress *progress)
{
    const qsizetype rootLength = FolderWalker::folderPath(fPath).size();
    return FolderWalker::walk(
        fPath,
        [&](const WalkedFile &file) {
            const quint64 number = index.x();
            sink(ListingRow{number, file.path.toByteArray(), file.nameOffset, file.size,
                            file.identity, rootLength});
            index.store(number);
        },
        std::move(stop), progress);
}

} // namespace twinsift

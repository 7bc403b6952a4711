// SPDX-License-Identifier: MIT
#include "listing.h"

#include "filehash.h"
#include "rawname.h"
#include "sizetext.h"

namespace twinsift {

QString ListingRow::filenameText() const
{
    return rawname::display(name());
}

QString ListingRow::sizeText(const QLocale &locale) const
{
    return twinsift::sizeText(size, locale);
}

QString ListingRow::hashText() const
{
    return filehash::hash(rawname::decode(name()));
}

QString ListingRow::pathText() const
{
    return rawname::display(path);
}

WalkOutcome RecurseFiles2(QByteArrayView fPath, RunningIndex &index,
                          const std::function<void(ListingRow &&)> &sink, std::stop_token stop,
                          WalkProgress *progress)
{
    return FolderWalker::walk(
        fPath,
        [&](const WalkedFile &file) {
            const quint64 number = index.x();
            sink(ListingRow{number, file.path.toByteArray(), file.nameOffset, file.size});
            index.store(number);
        },
        std::move(stop), progress);
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// A short number from the letters of a file name, shown beside each listed file. It is a
// plain sum, so anagrams share it; the duplicate search does not use it.
namespace twinsift::filehash {

// 33 times the alphabet places of the letters, leaving out the last four characters.
qint64 hashValue(QStringView fileNameX);
// The same for a name known to be ASCII, without decoding it first.
qint64 hashValue(QLatin1StringView asciiName);
QString hash(QStringView fileNameX);

} // namespace twinsift::filehash

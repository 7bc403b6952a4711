// SPDX-License-Identifier: MIT
#include "filehash.h"

namespace twinsift::filehash {

namespace {

template <typename Name> qint64 sumOf(Name name)
{
    qint64 sum = 0;
    for (qsizetype k = 0; k < name.size() - 4; ++k) {
        const char16_t upper = QChar(name[k]).toUpper().unicode();
        if (upper >= u'A' && upper <= u'Z')
            sum += upper - u'A' + 1;
    }
    return 33 * sum;
}

} // namespace

qint64 hashValue(QStringView fileNameX)
{
    return sumOf(fileNameX);
}

qint64 hashValue(QLatin1StringView asciiName)
{
    return sumOf(asciiName);
}

QString hash(QStringView fileNameX)
{
    return QString::number(hashValue(fileNameX));
}

} // namespace twinsift::filehash

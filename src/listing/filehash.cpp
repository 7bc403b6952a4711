// SPDX-License-Identifier: MIT
#include "filehash.h"

namespace twinsift::filehash {

qint64 hashValue(QStringView fileNameX)
{
    qint64 sum = 0;
    for (qsizetype k = 0; k < fileNameX.size() - 4; ++k) {
        const char16_t upper = fileNameX[k].toUpper().unicode();
        if (upper >= u'A' && upper <= u'Z')
            sum += upper - u'A' + 1;
    }
    return 33 * sum;
}

QString hash(QStringView fileNameX)
{
    return QString::number(hashValue(fileNameX));
}

} // namespace twinsift::filehash

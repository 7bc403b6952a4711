// SPDX-License-Identifier: MIT
#include "sizetext.h"

namespace twinsift {

namespace {

// Up to 15 significant digits, trailing zeros dropped, no grouping, the locale's separator.
QString generalNumber(double value, QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

} // namespace

QString sizeText(qint64 bytes, const QLocale &locale)
{
    if (bytes > 1000000)
        return generalNumber(double(bytes) / 1000000.0, locale).left(5) + QStringLiteral(" MB");
    if (bytes > 1000)
        return generalNumber(double(bytes) / 1000.0, locale).left(5) + QStringLiteral(" KB");
    return generalNumber(double(bytes), locale);
}

} // namespace twinsift

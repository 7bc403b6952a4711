// SPDX-License-Identifier: MIT
#include "sizetext.h"

#include <charconv>

namespace twinsift {

namespace {

// std::to_chars ignores the C locale, so the separator is always "." here.
QString generalNumber(double value, const QString &decimalPoint)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (decimalPoint != u".")
        text.replace(u'.', decimalPoint);
    return text;
}

} // namespace

SizeFormatter::SizeFormatter(const QLocale &locale) : m_decimalPoint(locale.decimalPoint()) {}

QString SizeFormatter::operator()(qint64 bytes) const
{
    if (bytes > 1000000)
        return generalNumber(double(bytes) / 1000000.0, m_decimalPoint).left(5) + u" MB";
    if (bytes > 1000)
        return generalNumber(double(bytes) / 1000.0, m_decimalPoint).left(5) + u" KB";
    return QString::number(bytes);
}

QString sizeText(qint64 bytes, const QLocale &locale)
{
    return SizeFormatter(locale)(bytes);
}

} // namespace twinsift

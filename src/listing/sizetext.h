// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QString>

namespace twinsift {

// The short size text of the listing: decimal units, the number cut to five characters.
// The number text has up to 15 significant digits, no trailing zeros, no grouping, and the
// locale's decimal separator. The formatter reads the locale once, for long listings.
class SizeFormatter {
public:
    explicit SizeFormatter(const QLocale &locale = QLocale::system());
    QString operator()(qint64 bytes) const;

private:
    QString m_decimalPoint;
};

QString sizeText(qint64 bytes, const QLocale &locale = QLocale::system());

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QString>

namespace twinsift {

// The short size text of the listing: decimal units, the number cut to five characters.
QString sizeText(qint64 bytes, const QLocale &locale = QLocale::system());

} // namespace twinsift

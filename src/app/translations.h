// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>

class QCoreApplication;

namespace twinsift {

// Installs the program's texts for `locale` (by default the user's, from LANGUAGE, LC_ALL,
// LC_MESSAGES or LANG) on `app`: always the English plural forms, then the first language
// of the user's list that the program carries, then Qt's own texts for it (dialog buttons).
// Returns the language whose texts were installed, or "en" when none was.
QString installTranslators(QCoreApplication &app, const QLocale &locale = QLocale::system());

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace twinsift {

namespace {

const QString kBuiltIn = QStringLiteral(":/i18n");

// The translator lives as long as the application that uses it.
bool install(QCoreApplication &app, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace

QString installTranslators(QCoreApplication &app, const QLocale &locale)
{
    // English is the source language; its file only carries the plural forms.
    install(app, QStringLiteral("twinsift_en"), kBuiltIn);
    for (const QString &language : locale.uiLanguages()) {
        const QString code = QLocale(language).name().section(u'_', 0, 0);
        if (code == u"en" || code == u"C")
            break;
        if (install(app, QStringLiteral("twinsift_") + code, kBuiltIn)) {
            install(app, QStringLiteral("qtbase_") + code,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            return code;
        }
    }
    return QStringLiteral("en");
}

} // namespace twinsift

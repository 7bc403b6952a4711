// SPDX-License-Identifier: MIT
// twinsift: the window.

#include "app/form1.h"
#include "app/translations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Twinsift"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/twinsift/icon.png")));
    twinsift::installTranslators(app);
    twinsift::Form1 window;
    window.show();
    return QApplication::exec();
}

// SPDX-License-Identifier: MIT
#include "prompter.h"

namespace twinsift {

QMessageBox::StandardButton Prompter::ask(QWidget *parent, const QString &title,
                                          const QString &text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton,
                                          const QString &informative, const QString &detail)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setInformativeText(informative);
    box.setDetailedText(detail);
    return QMessageBox::StandardButton(box.exec());
}

void Prompter::tell(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                    const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>

namespace twinsift {

// The window's message boxes, behind one seam so that tests can answer them.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual QMessageBox::StandardButton
    ask(QWidget *parent, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
        const QString &informative = {}, const QString &detail = {});
    virtual void tell(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                      const QString &text);
};

} // namespace twinsift

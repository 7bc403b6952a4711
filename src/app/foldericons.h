// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractFileIconProvider>

namespace twinsift {

// Icons for a tree that shows only folders. The usual provider reads the start of every
// entry to guess its kind, on the GUI thread, where a read on a hung mount (or of a file in
// /proc that never ends) would freeze the window; a folder needs no such guess.
class FolderIcons : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "foldericons.h"

#include <QCoreApplication>

namespace twinsift {

QIcon FolderIcons::icon(IconType type) const
{
    return QAbstractFileIconProvider::icon(type);
}

QIcon FolderIcons::icon(const QFileInfo &) const
{
    return QAbstractFileIconProvider::icon(Folder);
}

QString FolderIcons::type(const QFileInfo &) const
{
    return QCoreApplication::translate("FolderIcons", "Folder");
}

} // namespace twinsift

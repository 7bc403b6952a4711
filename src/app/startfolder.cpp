// SPDX-License-Identifier: MIT
#include "startfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringList>

namespace twinsift {

// Unset is how every Linux desktop leaves the two variables: only a variable that is set
// and names no folder is worth a word.
StartFolder StartFolder::choose(const QString &homeDrive, const QString &profile,
                                const QString &home)
{
    StartFolder start;
    QStringList wrong;
    if (!homeDrive.isEmpty() && QFileInfo(homeDrive).isDir()) {
        start.drive = QStorageInfo(homeDrive).rootPath();
    } else {
        start.drive = QStorageInfo(home).rootPath();
        if (!homeDrive.isEmpty())
            wrong << tr("HOMEDRIVE (%1) is not a folder").arg(homeDrive);
    }
    if (!profile.isEmpty() && QFileInfo(profile).isDir()) {
        start.folder = QDir::cleanPath(QFileInfo(profile).absoluteFilePath());
    } else {
        start.folder = home;
        if (!profile.isEmpty())
            wrong << tr("USERPROFILE (%1) is not a folder").arg(profile);
    }
    if (!wrong.isEmpty())
        start.note = tr("Starting in %1: %2.").arg(home, wrong.join(QStringLiteral(", ")));
    return start;
}

StartFolder StartFolder::fromEnvironment()
{
    return choose(qEnvironmentVariable("HOMEDRIVE"), qEnvironmentVariable("USERPROFILE"),
                  QDir::homePath());
}

} // namespace twinsift

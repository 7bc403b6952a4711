// SPDX-License-Identifier: MIT
#include "startfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringList>

namespace twinsift {

StartFolder StartFolder::choose(const QString &homeDrive, const QString &profile,
                                const QString &home)
{
    StartFolder start;
    QStringList missing;
    if (!homeDrive.isEmpty() && QFileInfo(homeDrive).isDir()) {
        start.drive = QStorageInfo(homeDrive).rootPath();
    } else {
        start.drive = QStorageInfo(home).rootPath();
        missing << (homeDrive.isEmpty() ? tr("HOMEDRIVE is not set")
                                        : tr("HOMEDRIVE (%1) is not a folder").arg(homeDrive));
    }
    if (!profile.isEmpty() && QFileInfo(profile).isDir()) {
        start.folder = QDir::cleanPath(QFileInfo(profile).absoluteFilePath());
    } else {
        start.folder = home;
        missing << (profile.isEmpty() ? tr("USERPROFILE is not set")
                                      : tr("USERPROFILE (%1) is not a folder").arg(profile));
    }
    if (!missing.isEmpty())
        start.note = tr("%1: starting in %2.").arg(missing.join(QStringLiteral(", ")), home);
    return start;
}

StartFolder StartFolder::fromEnvironment()
{
    return choose(qEnvironmentVariable("HOMEDRIVE"), qEnvironmentVariable("USERPROFILE"),
                  QDir::homePath());
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "startfolder.h"

#include "app/places.h"

#include <QDir>
#include <QStringList>

namespace twinsift {

// Unset is how every Linux desktop leaves the two variables: only a variable that is set
// and names no folder is worth a word.
StartFolder StartFolder::choose(const QString &homeDrive, const QString &profile,
                                const QString &home)
{
    StartFolder start;
    QStringList wrong;
    if (!homeDrive.isEmpty() && places::isFolder(homeDrive)) {
        start.drive = places::volumeRoot(homeDrive);
    } else {
        start.drive = places::volumeRoot(home);
        if (!homeDrive.isEmpty())
            wrong << tr("HOMEDRIVE (%1) is not a folder").arg(homeDrive);
    }
    if (!profile.isEmpty() && places::isFolder(profile)) {
        start.folder = places::absolute(profile);
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

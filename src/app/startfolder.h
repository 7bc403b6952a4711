// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

namespace twinsift {

// Where the window starts: the drive and folder named by HOMEDRIVE and USERPROFILE where
// they name folders, else the volume of the home folder and the home folder itself.
class StartFolder {
    Q_DECLARE_TR_FUNCTIONS(StartFolder)
public:
    QString drive;  // the root of a mounted volume
    QString folder; // the folder to show in it
    QString note;   // what had to be replaced, for the message line; empty when nothing

    static StartFolder choose(const QString &homeDrive, const QString &profile,
                              const QString &home);
    // From the environment and the user's home folder.
    static StartFolder fromEnvironment();
};

} // namespace twinsift

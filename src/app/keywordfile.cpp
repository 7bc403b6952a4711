// SPDX-License-Identifier: MIT
#include "keywordfile.h"

#include "app/keywordlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace twinsift::keywordfile {

QString userFile()
{
    return KeywordList::fileNameFor(
        QString(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

bool ready(const QString &file, const QString &user)
{
    const QFileInfo info(file);
    if (info.exists())
        return info.isFile();
    if (file != user || !QDir().mkpath(info.absolutePath()))
        return false;
    QFile created(file);
    return created.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

} // namespace twinsift::keywordfile

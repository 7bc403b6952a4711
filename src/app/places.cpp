// SPDX-License-Identifier: MIT
#include "places.h"

#include "app/keywordfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QThread>

namespace twinsift::places {

namespace {
void offGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    Q_ASSERT_X(!app || QThread::currentThread() != app->thread(), "places",
               "asks the file system: run it in a job, not on the GUI thread");
}
} // namespace

std::optional<FolderTree::Place> folder(const QString &folder)
{
    offGuiThread();
    const QFileInfo info(folder);
    if (!info.isDir())
        return std::nullopt;
    FolderTree::Place found{
        QDir::cleanPath(info.absoluteFilePath()), {}, info.canonicalFilePath(), {}};
    found.root = QStorageInfo(found.real).rootPath();
    found.listings = FolderModel::readDown(found.root, found.real);
    return found;
}

QStringList mountedRoots()
{
    offGuiThread();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    return roots;
}

bool isFolder(const QString &path)
{
    offGuiThread();
    return QFileInfo(path).isDir();
}

QString volumeRoot(const QString &path)
{
    offGuiThread();
    return QStorageInfo(path).rootPath();
}

QString absolute(const QString &folder)
{
    offGuiThread();
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QUrl keywordFile(const QString &file)
{
    offGuiThread();
    return keywordfile::ready(file) ? QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath())
                                    : QUrl();
}

} // namespace twinsift::places

// SPDX-License-Identifier: MIT
#include "rowactions.h"

#include "app/pathcheck.h"
#include "listing/rawname.h"
#include "view/fileurl.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>

namespace twinsift {

RowActions::RowActions(QObject *parent)
    : QObject(parent), m_open([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
}

// Whether the file is still there is asked in the background: it may be on a hung mount.
void RowActions::openFile(const QByteArray &path)
{
    PathCheck::later(this, path, [this, path](PathCheck::Kind kind) {
        if (kind == PathCheck::Kind::Missing)
            Q_EMIT said(tr("%1 is no longer there.").arg(rawname::display(path)));
        else if (!m_open(fileUrl(path)))
            Q_EMIT said(tr("Unable to open %1.").arg(rawname::display(path)));
    });
}

void RowActions::openFolder(const QByteArray &path)
{
    const QByteArray folder = path.left(path.lastIndexOf('/') + 1);
    PathCheck::later(this, folder, [this, path, folder](PathCheck::Kind kind) {
        if (kind != PathCheck::Kind::Folder)
            Q_EMIT said(tr("The folder of %1 is no longer there.").arg(rawname::display(path)));
        else if (!m_open(fileUrl(folder)))
            Q_EMIT said(tr("Unable to open %1.").arg(rawname::display(folder)));
    });
}

QMimeData *RowActions::pathsData(const QList<QByteArray> &paths)
{
    QStringList lines;
    QByteArray uris;
    for (const QByteArray &path : paths) {
        lines << rawname::display(path);
        uris += fileUrl(path).toEncoded() + "\r\n";
    }
    auto *data = new QMimeData;
    data->setText(lines.join(u'\n'));
    data->setData(QStringLiteral("text/uri-list"), uris);
    return data;
}

// A pair row gives its two paths.
void RowActions::copyPaths(const QList<QByteArray> &paths)
{
    QMimeData *data = pathsData(paths);
    const QString shown = data->text().replace(u'\n', QStringLiteral("  <--->  "));
    QGuiApplication::clipboard()->setMimeData(data);
    Q_EMIT said(tr("%Ln path(s) copied: %1", nullptr, int(paths.size())).arg(shown));
}

} // namespace twinsift

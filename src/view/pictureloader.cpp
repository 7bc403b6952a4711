// SPDX-License-Identifier: MIT
#include "pictureloader.h"

#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace twinsift {

namespace {

QThreadPool *decoders()
{
    // Never deleted: deleting a pool waits for its threads, and one may be hung for good.
    static QThreadPool *const threads = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(2);
        return made;
    }();
    return threads;
}

} // namespace

void PictureLoader::load(const QByteArray &path)
{
    const quint64 request = ++m_latest;
    decoders()->clear();
    auto *watcher = new QFutureWatcher<imagepreview::Preview>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, request] {
        if (request == m_latest && !watcher->isCanceled())
            Q_EMIT loaded(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(decoders(), &imagepreview::load, path));
}

void PictureLoader::cancel()
{
    ++m_latest;
    decoders()->clear();
}

} // namespace twinsift

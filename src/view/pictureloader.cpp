// SPDX-License-Identifier: MIT
#include "pictureloader.h"

#include <QMetaObject>

#include <mutex>
#include <thread>

namespace twinsift {

// What the decoding threads share with the loader: they post their result only while the
// loader lives, under the lock that its destructor takes to let them go.
struct PictureLoader::Shared {
    std::mutex mutex;
    PictureLoader *loader = nullptr;
};

PictureLoader::PictureLoader(QObject *parent)
    : QObject(parent), m_shared(std::make_shared<Shared>())
{
    m_shared->loader = this;
}

PictureLoader::~PictureLoader()
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->loader = nullptr;
}

void PictureLoader::load(const QByteArray &path)
{
    const quint64 request = ++m_latest;
    std::thread([shared = m_shared, request, path] {
        const imagepreview::Preview preview = imagepreview::load(path);
        const std::lock_guard lock(shared->mutex);
        if (PictureLoader *loader = shared->loader)
            QMetaObject::invokeMethod(
                loader, [loader, request, preview] { loader->deliver(request, preview); },
                Qt::QueuedConnection);
    }).detach();
}

void PictureLoader::cancel()
{
    ++m_latest;
}

void PictureLoader::deliver(quint64 request, const imagepreview::Preview &preview)
{
    if (request == m_latest)
        Q_EMIT loaded(preview);
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "workjob.h"

#include <QMetaObject>

namespace twinsift {

WorkJob::~WorkJob()
{
    wait();
}

void WorkJob::start()
{
    m_thread = std::jthread([this](std::stop_token stop) {
        run(std::move(stop));
        // Queued: a job deleted before the event is delivered takes the event with it.
        QMetaObject::invokeMethod(this, &WorkJob::finished, Qt::QueuedConnection);
    });
}

void WorkJob::stop()
{
    m_thread.request_stop();
}

void WorkJob::wait()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "workrunner.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>

#include <limits>

namespace twinsift {

WorkRunner::WorkRunner(QWidget *window, QProgressBar *bar, QLabel *label)
    : QObject(window), m_bar(bar), m_label(label)
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &WorkRunner::showProgress);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), window), &QShortcut::activated, this,
            &WorkRunner::abort);
}

WorkRunner::~WorkRunner()
{
    shutdown();
}

bool WorkRunner::begin(std::unique_ptr<WorkJob> job, std::function<void()> finished,
                       std::function<void()> progressed)
{
    if (isBusy() || !job)
        return false;
    m_job = std::move(job);
    m_finished = std::move(finished);
    m_progressed = std::move(progressed);
    const quint64 generation = ++m_generation;
    setBusy(true);
    m_thread = std::jthread([this, job = m_job.get(), generation](std::stop_token stop) {
        job->run(std::move(stop));
        // The runner outlives the thread (it joins it), so `this` is valid here.
        QMetaObject::invokeMethod(
            this, [this, generation] { jobFinished(generation); }, Qt::QueuedConnection);
    });
    return true;
}

bool WorkRunner::abort()
{
    if (!isBusy())
        return false;
    if (!m_job->canStop()) {
        Q_EMIT cannotStop();
        return false;
    }
    m_thread.request_stop();
    Q_EMIT aborting();
    return true;
}

void WorkRunner::shutdown()
{
    if (!isBusy())
        return;
    join();
    m_job.reset();
    m_finished = {};
    m_progressed = {};
    setBusy(false);
}

void WorkRunner::join()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

void WorkRunner::setBusy(bool busy)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        m_timer.start();
    } else {
        QGuiApplication::restoreOverrideCursor();
        m_timer.stop();
    }
    Q_EMIT busyChanged(busy);
}

void WorkRunner::showProgress()
{
    if (m_progressed)
        m_progressed();
    const WorkJob::Progress progress = m_job->progress();
    if (progress.total > 0) {
        // The bar counts in int: large totals are shown in steps.
        const quint64 scale = progress.total / quint64(std::numeric_limits<int>::max()) + 1;
        m_bar->setRange(0, int(progress.total / scale));
        m_bar->setValue(int(std::min(progress.done, progress.total) / scale));
    }
    m_label->setText(progress.text);
}

// The handler may start the next job at once: the runner is idle before it is called.
void WorkRunner::jobFinished(quint64 generation)
{
    if (generation != m_generation || !isBusy())
        return;
    m_stopped = m_thread.get_stop_token().stop_requested();
    join();
    if (m_progressed)
        m_progressed();
    const std::unique_ptr<WorkJob> job = std::move(m_job);
    const std::function<void()> finished = std::exchange(m_finished, {});
    m_progressed = {};
    // The running text ("Starting", "Looking at ...") must not outlive the job; a handler
    // that has a last word writes it.
    m_label->clear();
    setBusy(false);
    finished();
}

} // namespace twinsift

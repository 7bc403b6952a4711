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

bool WorkRunner::start(std::unique_ptr<WorkJob> job)
{
    if (isBusy() || !job)
        return false;
    m_job = std::move(job);
    connect(m_job.get(), &WorkJob::finished, this, &WorkRunner::jobFinished);
    setBusy(true);
    m_job->start();
    return true;
}

bool WorkRunner::abort()
{
    if (!isBusy())
        return false;
    m_job->stop();
    Q_EMIT aborting();
    return true;
}

void WorkRunner::shutdown()
{
    if (!isBusy())
        return;
    m_job->disconnect(this);
    m_job.reset(); // joins the thread; its end is not told
    setBusy(false);
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
    Q_EMIT progressed(m_job.get());
    const WorkJob::Progress progress = m_job->progress();
    if (progress.total > 0) {
        // The bar counts in int: large totals are shown in steps.
        const quint64 scale = progress.total / quint64(std::numeric_limits<int>::max()) + 1;
        m_bar->setRange(0, int(progress.total / scale));
        m_bar->setValue(int(std::min(progress.done, progress.total) / scale));
    }
    m_label->setText(progress.text);
}

void WorkRunner::jobFinished()
{
    Q_EMIT progressed(m_job.get());
    std::unique_ptr<WorkJob> job = std::move(m_job);
    setBusy(false);
    Q_EMIT finished(job.get());
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include "app/workjob.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QLabel;
class QProgressBar;
class QWidget;

namespace twinsift {

// Runs one WorkJob at a time for the window: shows the busy pointer while it runs, puts its
// progress into the bar and the label every 100 ms, stops it on Esc, and tells its end.
class WorkRunner : public QObject {
    Q_OBJECT
public:
    // Esc anywhere in `window` aborts the work; `bar` and `label` show its progress.
    WorkRunner(QWidget *window, QProgressBar *bar, QLabel *label);
    ~WorkRunner() override;

    // False, and `job` dropped unstarted, while other work runs.
    bool start(std::unique_ptr<WorkJob> job);
    // Asks the work to stop; it still ends through finished(). False when idle.
    bool abort();
    // Stops the work and waits for it, telling nothing: for a window that closes.
    void shutdown();

    bool isBusy() const { return m_job != nullptr; }
    WorkJob *job() const { return m_job.get(); }

Q_SIGNALS:
    void busyChanged(bool busy);
    // Sent on every tick, before the progress is shown: the moment to take a job's rows.
    void progressed(twinsift::WorkJob *job);
    void aborting();
    // The work has ended and the runner is idle; `job` is deleted once this returns.
    void finished(twinsift::WorkJob *job);

private:
    void showProgress();
    void jobFinished();
    void setBusy(bool busy);

    QProgressBar *m_bar;
    QLabel *m_label;
    QTimer m_timer;
    std::unique_ptr<WorkJob> m_job;
};

} // namespace twinsift

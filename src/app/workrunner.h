// SPDX-License-Identifier: MIT
#pragma once

#include "app/workjob.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QProgressBar;
class QWidget;

namespace twinsift {

// Runs one WorkJob at a time for the window: shows the busy pointer while it runs, puts its
// progress into the bar and the label every 100 ms, stops it on Esc, and hands it, ended,
// to the handler it was started with.
class WorkRunner : public QObject {
    Q_OBJECT
public:
    // Esc anywhere in `window` aborts the work; `bar` and `label` show its progress.
    WorkRunner(QWidget *window, QProgressBar *bar, QLabel *label);
    ~WorkRunner() override;

    // Runs `job`; `finished` gets it once run() has returned and the runner is idle again, and
    // `progressed`, when given, gets it on every tick and once more before `finished`: the
    // moment to take what it found so far. False, and `job` dropped unstarted, while other
    // work runs.
    template <typename Job>
    bool start(std::unique_ptr<Job> job, std::function<void(Job &)> finished,
               std::function<void(Job &)> progressed = {})
    {
        Job *typed = job.get();
        return begin(
            std::move(job), [typed, finished = std::move(finished)] { finished(*typed); },
            progressed ? std::function<void()>([typed, progressed] { progressed(*typed); })
                       : std::function<void()>());
    }
    // Asks the work to stop; it still ends through its handler. False when idle, and when
    // the work cannot stop (then cannotStop() is sent instead of aborting()).
    bool abort();
    // Stops the work and waits for it, telling nothing: for a window that closes.
    void shutdown();

    bool isBusy() const { return m_job != nullptr; }
    // In a job's handler: whether the job was asked to stop, even after its work was done.
    bool wasStopped() const { return m_stopped; }

Q_SIGNALS:
    void busyChanged(bool busy);
    void aborting();
    void cannotStop();

private:
    bool begin(std::unique_ptr<WorkJob> job, std::function<void()> finished,
               std::function<void()> progressed);
    void showProgress();
    void jobFinished(quint64 generation);
    // Joins the job's thread: the one place that waits for a job before it is deleted.
    void join();
    void setBusy(bool busy);

    QProgressBar *m_bar;
    QLabel *m_label;
    QTimer m_timer;
    std::unique_ptr<WorkJob> m_job;
    std::function<void()> m_finished;
    std::function<void()> m_progressed;
    std::jthread m_thread;
    quint64 m_generation = 0; // a finished job's late word is not taken for the next one's
    bool m_stopped = false;
};

} // namespace twinsift

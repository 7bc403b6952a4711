// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <thread>

namespace twinsift {

// One piece of background work (a listing, a search, a delete), run once on a thread of its
// own. A job is used like this:
//
//   class RestoreJob : public WorkJob {
//       ~RestoreJob() override { wait(); }               // run() uses this class's members
//       Progress progress() const override;              // read by the GUI thread's timer
//       void run(std::stop_token stop) override;         // the work; check `stop` often
//   };
//
// start() runs run() on the job's thread; finished() is then sent on the job's own (GUI)
// thread once run() has returned, so results that run() stored are complete and may be read
// without locks. stop() asks run() to end early; what it did so far stays done. A job is
// normally started by WorkRunner, which shows its progress and deletes it when it ends.
class WorkJob : public QObject {
    Q_OBJECT
public:
    // What the window shows of the work: `text` in lblWorking and, when `total` is not 0,
    // `done` of `total` in ProgressBar1. Made by the GUI thread from the job's atomics.
    struct Progress {
        quint64 done = 0;
        quint64 total = 0;
        QString text;
    };

    ~WorkJob() override;

    void start();
    void stop();
    // Blocks until run() has returned (at once when it was never started). Every subclass
    // calls it first in its destructor, as run() may still use the subclass's members.
    void wait();

    virtual Progress progress() const = 0;

Q_SIGNALS:
    void finished();

protected:
    explicit WorkJob(QObject *parent = nullptr) : QObject(parent) {}
    virtual void run(std::stop_token stop) = 0;

private:
    std::jthread m_thread;
};

} // namespace twinsift

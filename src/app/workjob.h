// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <stop_token>

namespace twinsift {

// One piece of background work (a listing, a search, a delete), run once by WorkRunner on a
// thread of the runner's own. The runner joins that thread before it deletes the job, so
// run() may use the job's members until it returns, and the results it stored may be read
// without locks once the runner hands the job to its completion handler.
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

    virtual Progress progress() const = 0;
    // The work; it checks `stop` often and ends early when asked, keeping what it did.
    virtual void run(std::stop_token stop) = 0;
    // False for work that, once begun, is safer finished than left half done.
    virtual bool canStop() const { return true; }

protected:
    explicit WorkJob(QObject *parent = nullptr) : QObject(parent) {}
};

} // namespace twinsift

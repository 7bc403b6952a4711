// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>

// File-system calls the window needs (a look at a path, the mounts, the keyword file) run on
// a pool that nothing ever waits for: a call hung on a dead mount holds up one of its
// threads, never the window nor its closing.
namespace twinsift::background {

QThreadPool *pool();

// Runs `work` on the pool; `done` gets its result on `context`'s thread, unless `context`
// has gone by then.
template <typename T>
void run(QObject *context, std::function<T()> work, std::function<void(const T &)> done)
{
    auto *watcher = new QFutureWatcher<T>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(pool(), std::move(work)));
}

// Runs `work` on the pool and waits for it, or until `stop` is asked for: for a job's
// thread, which its runner joins and so must not hang with the call.
template <typename T> std::optional<T> await(std::function<T()> work, std::stop_token stop)
{
    struct Answer {
        std::mutex mutex;
        std::condition_variable_any ready;
        std::optional<T> value;
    };
    auto answer = std::make_shared<Answer>();
    pool()->start([answer, work = std::move(work)] {
        T value = work();
        const std::lock_guard lock(answer->mutex);
        answer->value = std::move(value);
        answer->ready.notify_all();
    });
    std::unique_lock lock(answer->mutex);
    answer->ready.wait(lock, stop, [&] { return answer->value.has_value(); });
    return answer->value;
}

} // namespace twinsift::background

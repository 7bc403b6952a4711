// SPDX-License-Identifier: MIT
#pragma once

#include "app/workjob.h"

#include <QByteArray>

#include <functional>

namespace twinsift {

// A look at one path, off the GUI thread: what stands there. As a job it shows its progress
// and stops on Esc even while the call hangs on a dead mount; later() answers a handler.
class PathCheck : public WorkJob {
    Q_OBJECT
public:
    enum class Kind { Unanswered, Missing, Folder, File, Other };

    explicit PathCheck(QByteArray path) : m_path(std::move(path)) {}

    // What stands at the raw path `path`, links followed. This is the call that may hang.
    static Kind look(const QByteArray &path);
    // Looks at `path` on a background thread; `done` gets the answer on `context`'s thread.
    static void later(QObject *context, const QByteArray &path, std::function<void(Kind)> done);

    Progress progress() const override;
    void run(std::stop_token stop) override;
    // Unanswered when stopped.
    Kind kind() const { return m_kind; }
    const QByteArray &path() const { return m_path; }

private:
    const QByteArray m_path;
    Kind m_kind = Kind::Unanswered;
};

} // namespace twinsift

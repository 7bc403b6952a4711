// SPDX-License-Identifier: MIT
#pragma once

#include "actions/restore.h"
#include "app/workjob.h"

namespace twinsift {

// Puts the files of the last deletion back from the trash, off the GUI thread like the
// delete itself.
class RestoreJob : public WorkJob {
    Q_OBJECT
public:
    explicit RestoreJob(QList<trash::TrashedFile> files);

    Progress progress() const override;
    bool canStop() const override { return false; }
    // Valid once the job has ended.
    const RestoreOutcome &outcome() const { return m_outcome; }

    void run(std::stop_token stop) override;

private:
    const QList<trash::TrashedFile> m_files;
    RestoreOutcome m_outcome;
};

} // namespace twinsift

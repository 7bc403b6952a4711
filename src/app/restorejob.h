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
    ~RestoreJob() override;

    Progress progress() const override;
    // Valid once finished() has been sent.
    const RestoreOutcome &outcome() const { return m_outcome; }

protected:
    void run(std::stop_token stop) override;

private:
    const QList<trash::TrashedFile> m_files;
    RestoreOutcome m_outcome;
};

} // namespace twinsift

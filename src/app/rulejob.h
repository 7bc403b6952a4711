// SPDX-License-Identifier: MIT
#pragma once

#include "actions/tickrules.h"
#include "app/workjob.h"

#include <vector>

namespace twinsift {

// Reads what a tick rule needs of each file (modification times, for the time rules) off the
// GUI thread; the window then ticks the rows in one step.
class RuleJob : public WorkJob {
    Q_OBJECT
public:
    RuleJob(tickrules::Rule rule, std::vector<QByteArray> files, QByteArray folder);

    Progress progress() const override;
    // Reading the times is short and leaves nothing half done: it runs to its end.
    bool canStop() const override { return false; }
    // Valid once the job has ended: one key a file, in the order given.
    const std::vector<qint64> &keys() const { return m_keys; }
    const std::vector<quint32> &targets() const { return m_targets; } // see tickrules::plan

    size_t fileCount() const { return m_files.size(); }

    void run(std::stop_token stop) override;

private:
    const tickrules::Rule m_rule;
    const std::vector<QByteArray> m_files;
    const QByteArray m_folder;
    std::vector<qint64> m_keys;
    std::vector<quint32> m_targets;
};

} // namespace twinsift

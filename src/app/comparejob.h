// SPDX-License-Identifier: MIT
#pragma once

#include "app/workjob.h"
#include "dups/contentcomparer.h"

#include <memory>
#include <vector>

namespace twinsift {

// Compares the contents of the list's pairs off the GUI thread, for "Co&mpare Contents".
// The comparer is the window's, so what one compare read serves the next.
class CompareJob : public WorkJob {
    Q_OBJECT
public:
    // `pairs` join `files`, which were `identities` when they were listed; `numbers` are the
    // rows' numbers, one a pair.
    CompareJob(std::shared_ptr<ContentComparer> comparer, std::vector<QByteArray> files,
               std::vector<FileIdentity> identities, std::vector<ContentPair> pairs,
               std::vector<quint64> numbers);
    Progress progress() const override;
    const std::vector<quint64> &numbers() const { return m_numbers; }
    // Valid once the job has ended.
    const ContentComparer::Outcome &outcome() const { return m_outcome; }

    void run(std::stop_token stop) override;

private:
    const std::shared_ptr<ContentComparer> m_comparer;
    const std::vector<QByteArray> m_files;
    const std::vector<FileIdentity> m_identities;
    const std::vector<ContentPair> m_pairs;
    const std::vector<quint64> m_numbers;
    ContentProgress m_progress;
    ContentComparer::Outcome m_outcome;
};

} // namespace twinsift

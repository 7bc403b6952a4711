// SPDX-License-Identifier: MIT
#pragma once

#include "app/batchqueue.h"
#include "app/keywordlist.h"
#include "app/pairindices.h"
#include "app/workjob.h"
#include "dups/duplicatesearch.h"
#include "listing/folderwalker.h"
#include "listing/identitylist.h"
#include "listing/runningindex.h"

#include <memory>

namespace twinsift {

// Gathers the candidates of one folder and searches them for pairs, for "&Find Duplicates".
// Pairs are numbered on from the running index the job was given; once the list would hold
// `maxRows` rows the job only counts the pairs it finds.
class SearchJob : public WorkJob {
    Q_OBJECT
public:
    struct Result {
        WalkOutcome walk;
        SearchStats stats;
        bool searched = false; // false when the walk failed or was stopped
        quint64 listed = 0;    // pairs handed to the list
    };
    using Paths = std::shared_ptr<const std::vector<QByteArray>>;
    using Identities = std::shared_ptr<const IdentityList>;

    SearchJob(QByteArray folder, KeywordList keywords, int percent, quint64 lastNumber,
              quint64 rowsBefore, quint64 maxRows);

    // The pairs found since the last call, and the paths that their indices refer to.
    std::vector<PairIndices> takePairs();
    const Paths &paths() const { return m_paths; }
    // What each of paths() was when found, and the searched folder's part of every path.
    const Identities &identities() const { return m_identities; }
    qsizetype rootLength() const { return FolderWalker::folderPath(m_folder).size(); }
    Progress progress() const override;

    // Valid once the job has ended.
    const Result &result() const { return m_result; }

    void run(std::stop_token stop) override;

private:
    const QByteArray m_folder;
    const KeywordList m_keywords;
    const int m_percent;
    RunningIndex m_index;
    const quint64 m_rowsBefore;
    const quint64 m_maxRows;
    std::shared_ptr<std::vector<QByteArray>> m_searchPaths;
    Paths m_paths;
    std::shared_ptr<IdentityList> m_searchIdentities;
    Identities m_identities;
    std::atomic<bool> m_searching{false};
    WalkProgress m_walkProgress;
    SearchProgress m_searchProgress;
    Result m_result;
    BatchQueue<PairIndices> m_pairs;
};

} // namespace twinsift

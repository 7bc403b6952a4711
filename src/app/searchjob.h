// SPDX-License-Identifier: MIT
#pragma once

#include "app/keywordlist.h"
#include "batchqueue.h"
#include "dups/duplicatesearch.h"
#include "listing/folderwalker.h"
#include "resultmodel.h"

#include <QObject>

#include <thread>

namespace twinsift {

// Gathers the candidates of one folder and searches them for pairs off the GUI thread, for
// "&Find Duplicates". Pairs are numbered on from the running index the job was given; once
// the list would hold `maxRows` rows the job only counts the pairs it finds.
class SearchJob : public QObject {
    Q_OBJECT
public:
    struct Result {
        WalkOutcome walk;
        SearchStats stats;
        bool searched = false; // false when the walk failed or was stopped
        quint64 listed = 0;    // pairs handed to the list
    };

    SearchJob(QByteArray folder, KeywordList keywords, int percent, quint64 lastNumber,
              quint64 rowsBefore, quint64 maxRows, QObject *parent = nullptr);
    ~SearchJob() override;

    void start();
    void stop() { m_thread.request_stop(); }

    // The pairs found since the last call, and the paths that their indices refer to.
    std::vector<PairIndices> takePairs();
    const ResultModel::Paths &paths() const { return m_paths; }

    bool searching() const { return m_searching.load(std::memory_order_acquire); }
    quint64 filesSeen() const { return m_walkProgress.files.load(std::memory_order_relaxed); }
    quint64 workDone() const { return m_searchProgress.done.load(std::memory_order_relaxed); }
    quint64 workTotal() const { return m_searchProgress.total.load(std::memory_order_relaxed); }

    // Valid once finished() has been sent.
    const Result &result() const { return m_result; }

Q_SIGNALS:
    void finished();

private:
    void run(std::stop_token stop);

    const QByteArray m_folder;
    const KeywordList m_keywords;
    const int m_percent;
    RunningIndex m_index;
    const quint64 m_rowsBefore;
    const quint64 m_maxRows;
    std::shared_ptr<std::vector<QByteArray>> m_searchPaths;
    ResultModel::Paths m_paths;
    std::atomic<bool> m_searching{false};
    WalkProgress m_walkProgress;
    SearchProgress m_searchProgress;
    Result m_result;
    BatchQueue<PairIndices> m_pairs;
    std::jthread m_thread; // last, so that it is joined before the members it uses go
};

} // namespace twinsift

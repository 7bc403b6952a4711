// SPDX-License-Identifier: MIT
#pragma once

#include "app/foldertree.h"
#include "app/keywordlist.h"
#include "app/startfolder.h"
#include "app/workjob.h"

namespace twinsift {

// What the window needs from the file system to start: the folder to show and the keyword
// list. Read off the GUI thread, so that a hung home or keyword folder shows progress and
// gives way to Esc instead of freezing the window.
class StartJob : public WorkJob {
    Q_OBJECT
public:
    struct Result {
        StartFolder start;
        std::optional<FolderTree::Place> place; // of start.folder
        KeywordList keywords;
        KeywordList::LoadResult loaded;
    };

    explicit StartJob(QString keywordFile) : m_keywordFile(std::move(keywordFile)) {}

    Progress progress() const override;
    void run(std::stop_token stop) override;
    // Valid once the job has ended; false when it was stopped first.
    bool answered() const { return m_answered; }
    const Result &result() const { return m_result; }
    const QString &keywordFile() const { return m_keywordFile; }

private:
    const QString m_keywordFile;
    Result m_result;
    bool m_answered = false;
};

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include "actions/deletion.h"
#include "actions/restore.h"
#include "actions/tickrules.h"
#include "app/keywordlist.h"
#include "listing/runningindex.h"
#include "listmode.h"
#include "resultmodel.h"

#include <QHash>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class Form1;
}

namespace twinsift {

class ListingJob;
class Prompter;
class RowMenu;
class SearchJob;

// The one window. Its handlers turn the user's clicks into calls of the engine and changes
// of the result list; the listing and the search run on a worker while the window stays
// responsive, with the buttons that change the list disabled.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // At most this many pair rows are kept in the list.
    static constexpr quint64 kMaxPairRows = 5'000'000;

    explicit Form1(const QString &keywordFile = KeywordList::defaultFileName(),
                   QWidget *parent = nullptr);
    ~Form1() override;

    // Seams: the message boxes, the desktop's opener, the trash and the size of the list.
    void setPrompter(std::unique_ptr<Prompter> prompter);
    void setUrlOpener(std::function<bool(const QUrl &)> opener);
    void setTrasher(Trasher trasher);
    void setMaxPairRows(quint64 rows) { m_maxPairRows = rows; }

    ListMode listMode() const { return m_listMode; }
    // Ticked rows by row number: the path each was ticked with.
    const QHash<quint64, QByteArray> &checkedFiles() const { return m_checkedFiles; }
    QByteArray pickedPath() const { return m_pickedPath; }
    const KeywordList &keywordList() const { return m_keywordList; }
    const RunningIndex &runningIndex() const { return m_index; }
    ResultModel *resultModel() const { return m_model; }
    bool isWorking() const;

public Q_SLOTS:
    void Drive1_Change();
    void CheckImage_Click();
    void chkKeywords_Click();
    void ListView1_ColumnClick(const QString &header);
    void ListView1_ItemClick(int row);
    void ListView1_ItemCheck(int row);
    void WMPlayer_OpenStateChange(const QByteArray &path);
    void cmdSearch_Click();
    void cmdClear_Click();
    void cmdDups_Click();
    void cmdSwitchItems_Click();
    void cmdDelete_Click();
    // Esc: stops the listing or the search and keeps the rows found so far.
    void stopWork();
    // The desktop's conveniences on a row: its menu, Enter, and what the menu offers.
    void ListView1_RowMenu(int row, int column, const QPoint &globalPos);
    void openRow(int row);
    void openFile(const QByteArray &path);
    void openFolder(const QByteArray &path);
    void copyPaths(const QList<QByteArray> &paths);
    // Reviewing many pairs: a rule ticks one file in every pair; ticks can all go at once.
    void tickRule(tickrules::Rule rule, const QByteArray &folder);
    void untickAll();
    // Ctrl+Z: puts the files of the last "&Delete" back, once, and makes the list again.
    void restoreLastDeletion();

Q_SIGNALS:
    // A listing or a search has ended and the window is idle again.
    void workFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    QString startFolders();
    void fillDrives();
    void selectDrive(const QString &root);
    void setColumns(ListMode kind, const QList<ColumnSpec> &columns);
    void storeIndex(quint64 number);
    QByteArray walkFolder() const;
    bool walkFolderReady();
    bool keywordFileReady();
    void setWorking(bool working);
    void showProgress();
    void takeRows();
    void listingFinished();
    void searchFinished();
    void reportWalk(const WalkOutcome &outcome, const QString &what);
    void reportDeletion();
    void rebuildList();
    void display(const QString &message, const QString &detail = {});
    QString imageStep(int row, QString &message);
    void say(const QString &text);
    void tell(QMessageBox::Icon icon, const QString &text);

    std::unique_ptr<Ui::Form1> m_ui;
    ResultModel *m_model;
    RowMenu *m_rowMenu;
    std::unique_ptr<Prompter> m_prompter;
    std::function<bool(const QUrl &)> m_openUrl;
    Trasher m_trasher;
    QString m_keywordFile;
    quint64 m_maxPairRows = kMaxPairRows;

    ListMode m_listMode = ListMode::Search;
    RunningIndex m_index;
    KeywordList m_keywordList;
    QHash<quint64, QByteArray> m_checkedFiles;
    QByteArray m_pickedPath;
    int m_imagePreviewShown = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_switchAllowed = false;
    QList<TrashFailure> m_trashFailures;
    int m_movedToTrash = 0;
    // Where the last deletion's files went: one level of undo, in memory only.
    QList<trash::TrashedFile> m_lastDeletion;
    std::optional<RestoreOutcome> m_restored;

    QTimer m_progressTimer;
    std::unique_ptr<ListingJob> m_listingJob;
    std::unique_ptr<SearchJob> m_searchJob;
};

} // namespace twinsift

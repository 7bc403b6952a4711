// SPDX-License-Identifier: MIT
#pragma once

#include "actions/deletion.h"
#include "actions/tickrules.h"
#include "app/keywordlist.h"
#include "app/listmode.h"
#include "app/resultmodel.h"
#include "listing/runningindex.h"

#include <QHash>
#include <QMessageBox>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class Form1;
}

namespace twinsift {

class DesignedLayout;
class ListingJob;
class PictureLoader;
class Prompter;
class RowActions;
class RowMenu;
class SearchJob;
class TrashJob;
class RestoreJob;
class RuleJob;
class CompareJob;
class ContentComparer;
class StartJob;
class WorkRunner;
namespace imagepreview {
struct Preview;
}

// The one window: its handlers turn the user's clicks into work for the engine and changes
// of the result list. Listing, searching and deleting run as jobs off the GUI thread while
// the window stays responsive, with the buttons that change the list disabled.
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
    void setTrasher(Trasher trasher) { m_trasher = std::move(trasher); }
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
    void ListView1_ColumnClick(int column);
    void ListView1_ItemClick(int row);
    void ListView1_ItemCheck(int row);
    void WMPlayer_OpenStateChange(const QByteArray &path);
    void cmdSearch_Click();
    void cmdClear_Click();
    void cmdDups_Click();
    void cmdSwitchItems_Click();
    void cmdDelete_Click();
    void ListView1_RowMenu(int row, int column, const QPoint &globalPos);
    // Reviewing many pairs: a rule ticks one file in every pair; ticks can all go at once.
    void tickRule(tickrules::Rule rule, const QByteArray &folder);
    // Tells for every pair whether its two files hold the same bytes, in a fifth column.
    void compareContents();
    void untickAll();
    // Ctrl+Z: puts the files of the last "&Delete" back, once, and makes the list again.
    void restoreLastDeletion();

Q_SIGNALS:
    // A listing, a search, or a delete and the list made again, has ended: the window is idle.
    void workFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeControls();
    void Form_Load();
    void Form_Unload();
    void started(const StartJob &job);
    void fillDrives();
    void selectDrive(const QString &root);
    void setColumns(ListMode kind, std::span<const Column> columns);
    void storeIndex(quint64 number);
    void checkFolder(std::function<void(const QByteArray &)> walk);
    void setWorking(bool working);
    void takeRows(ListingJob &job);
    void takePairs(SearchJob &job);
    void offerMusic(const QByteArray &path);
    void listingFinished(const ListingJob &job);
    void searchFinished(const SearchJob &job);
    void trashFinished(const TrashJob &job);
    void restoreFinished(const RestoreJob &job);
    void ruleFinished(const RuleJob &job);
    void compareFinished(const CompareJob &job);
    void rebuildList();
    void pictureLoaded(const imagepreview::Preview &preview);
    void reportDeletion();
    void display(const QString &message);
    void say(const QString &text);
    // Says how work was stopped; the note goes when work starts again.
    void sayWorkNote(const QString &text);
    void offerWholeMessage();
    void tell(QMessageBox::Icon icon, const QString &text);

    std::unique_ptr<Ui::Form1> m_ui;
    DesignedLayout *m_layout = nullptr;
    QAction *m_more = nullptr; // shows a message that does not fit the line
    ResultModel *m_model;
    RowMenu *m_rowMenu;
    RowActions *m_rowActions;
    PictureLoader *m_pictures;
    WorkRunner *m_runner;
    std::unique_ptr<Prompter> m_prompter;
    std::function<bool(const QUrl &)> m_openUrl;
    Trasher m_trasher; // empty: the desktop's trash, one session a delete
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
    QStringList m_deletionReport;
    QString m_deletionNote; // for txtSong once the list is made again
    QString m_workNote;
    // Where the last deletion's files went: one level of undo, in memory only.
    QList<trash::TrashedFile> m_lastDeletion;
    // What compares read, kept for the session: comparing again reads no unchanged file.
    std::shared_ptr<ContentComparer> m_comparer;
};

} // namespace twinsift

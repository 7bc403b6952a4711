// SPDX-License-Identifier: MIT
#include "form1.h"

#include "app/background.h"
#include "app/comparejob.h"
#include "app/designedlayout.h"
#include "app/listingjob.h"
#include "app/messages.h"
#include "app/pathcheck.h"
#include "app/places.h"
#include "app/prompter.h"
#include "app/restorejob.h"
#include "app/rulejob.h"
#include "app/searchjob.h"
#include "app/startjob.h"
#include "app/trashjob.h"
#include "app/workrunner.h"
#include "listing/rawname.h"
#include "ui_form1.h"
#include "view/imagepreview.h"
#include "view/musicplaylist.h"
#include "view/pathdelegate.h"
#include "view/pictureloader.h"
#include "view/rowactions.h"
#include "view/rowmenu.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QShortcut>

#include <QStyleOptionButton>
#include <algorithm>

namespace twinsift {

namespace {

constexpr qsizetype kNamedMoved = 10;
const QColor kMessageColour(255, 0, 0);
const QPoint kMessageAt(0, 25);

// The boxes end where the list begins: a caption longer than the room left beside the check
// mark (in some fonts and languages) ends in "..." rather than losing letters unseen; the
// whole caption stays the tooltip and the name a screen reader speaks.
void elideToFit(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const int room =
        box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
    const QString caption = box->accessibleName();
    box->setText(box->fontMetrics().elidedText(caption, Qt::ElideRight, room - 2));
}

} // namespace

Form1::Form1(const QString &keywordFile, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_model(new ResultModel(this)),
      m_rowMenu(new RowMenu(this)), m_rowActions(new RowActions(this)),
      m_pictures(new PictureLoader(this)), m_prompter(std::make_unique<Prompter>()),
      m_openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); }),
      m_keywordFile(keywordFile), m_comparer(std::make_shared<ContentComparer>())
{
    m_ui->setupUi(this);
    placeControls();
    m_runner = new WorkRunner(this, m_ui->ProgressBar1, m_ui->lblWorking);
    m_ui->ListView1->setModel(m_model);
    for (QCheckBox *box : {m_ui->CheckImage, m_ui->chkKeywords, m_ui->chkMsgBox}) {
        box->setAccessibleName(box->text().remove(u'&'));
        box->setToolTip(box->accessibleName());
    }
    const std::pair<QWidget *, QString> names[]{
        {m_ui->Drive1, tr("Volume")},         {m_ui->Dir1, tr("Folder to list or search")},
        {m_ui->ListView1, tr("Results")},     {m_ui->Picture1, tr("Image preview")},
        {m_ui->Slider1, tr("Similarity")},    {m_ui->ProgressBar1, tr("Progress")},
        {m_ui->lblWorking, tr("Progress")},   {m_ui->txtSong, tr("Message line")},
        {m_ui->WMPlayer, tr("Music player")},
    };
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(name);
    // A message longer than the line is shown whole on hover and behind this button.
    m_more =
        m_ui->txtSong->addAction(style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton),
                                 QLineEdit::TrailingPosition);
    m_more->setText(tr("Show the whole message"));
    m_more->setToolTip(m_more->text());
    m_more->setVisible(false);
    connect(m_more, &QAction::triggered, this,
            [this] { tell(QMessageBox::Information, m_ui->txtSong->text()); });
    m_ui->ListView1->setAccessibleDescription(
        tr("Files or pairs of alike names; Space ticks a row, Enter opens its file"));
    m_ui->Slider1->setAccessibleDescription(tr("How alike two names must be, in percent"));
    m_ui->ListView1->setItemDelegate(new PathDelegate(m_ui->ListView1));
    fillDrives();

    // The event table of the window.
    connect(m_ui->Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(m_ui->CheckImage, &QCheckBox::clicked, this, &Form1::CheckImage_Click);
    connect(m_ui->chkKeywords, &QCheckBox::toggled, this, &Form1::chkKeywords_Click);
    connect(m_ui->ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Form1::ListView1_ColumnClick);
    connect(m_ui->ListView1, &ResultView::itemClick, this, &Form1::ListView1_ItemClick);
    connect(m_model, &ResultModel::itemCheck, this, &Form1::ListView1_ItemCheck);
    connect(m_ui->WMPlayer, &MusicPanel::openStateChanged, this, &Form1::WMPlayer_OpenStateChange);
    connect(m_ui->cmdSearch, &QPushButton::clicked, this, &Form1::cmdSearch_Click);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &Form1::cmdClear_Click);
    connect(m_ui->cmdDups, &QPushButton::clicked, this, &Form1::cmdDups_Click);
    connect(m_ui->cmdSwitchItems, &QPushButton::clicked, this, &Form1::cmdSwitchItems_Click);
    connect(m_ui->cmdDelete, &QPushButton::clicked, this, &Form1::cmdDelete_Click);
    // What the platform adds: work off the GUI thread, the player's own troubles, a typed
    // folder on another volume, pictures decoded in the background.
    connect(m_runner, &WorkRunner::busyChanged, this, &Form1::setWorking);
    connect(m_runner, &WorkRunner::aborting, this, [this] { say(tr("Stopping...")); });
    connect(m_runner, &WorkRunner::cannotStop, this,
            [this] { sayWorkNote(tr("This cannot be stopped halfway: it ends by itself soon.")); });
    connect(m_pictures, &PictureLoader::loaded, this, &Form1::pictureLoaded);
    connect(m_ui->WMPlayer, &MusicPanel::problem, this, &Form1::say);
    connect(m_ui->Dir1, &FolderTree::rootChanged, this, &Form1::selectDrive);
    connect(m_ui->Dir1, &FolderTree::rejected, this,
            [this](const QString &typed) { say(tr("%1 is not a folder.").arg(typed)); });
    // The desktop's conveniences: a row's menu, and the keys that work the list.
    connect(m_ui->ListView1, &ResultView::rowMenuRequested, this, &Form1::ListView1_RowMenu);
    connect(m_ui->ListView1, &ResultView::openRequested, this,
            [this](int row) { m_rowActions->openFile(m_model->pathCell(row)); });
    connect(m_ui->ListView1, &ResultView::deleteRequested, this, &Form1::cmdDelete_Click);
    connect(m_rowMenu, &RowMenu::openFile, m_rowActions, &RowActions::openFile);
    connect(m_rowMenu, &RowMenu::openFolder, m_rowActions, &RowActions::openFolder);
    connect(m_rowMenu, &RowMenu::copyPaths, m_rowActions, &RowActions::copyPaths);
    connect(m_rowMenu, &RowMenu::compareContents, this, &Form1::compareContents);
    connect(m_rowMenu, &RowMenu::tickRule, this, &Form1::tickRule);
    connect(m_rowMenu, &RowMenu::untickAll, this, &Form1::untickAll);
    connect(m_rowMenu, &RowMenu::restoreLastDeletion, this, &Form1::restoreLastDeletion);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this,
            &Form1::restoreLastDeletion);
    connect(m_rowActions, &RowActions::said, this, &Form1::say);

    Form_Load();
}

// At the designed size every control stands where the form puts it; a larger window gives
// the list its extra room, and what stands below or right of the list follows its edges.
void Form1::placeControls()
{
    using Follow = DesignedLayout::Follow;
    const DesignedLayout::Follows below = Follow::MovesDown;
    const DesignedLayout::Follows corner = Follow::MovesDown | Follow::MovesRight;
    m_layout = new DesignedLayout(this, size());
    const std::pair<QWidget *, DesignedLayout::Follows> places[]{
        {m_ui->Drive1, Follow::Stays},
        {m_ui->Dir1, Follow::GrowsTall},
        {m_ui->CheckImage, below},
        {m_ui->chkKeywords, below},
        {m_ui->chkMsgBox, below},
        {m_ui->Frame2, below},
        {m_ui->ListView1, Follow::GrowsWide | Follow::GrowsTall},
        {m_ui->Picture1, corner},
        {m_ui->Picture2, Follow::MovesRight},
        {m_ui->Label1, below},
        {m_ui->lblWorking, below},
        {m_ui->ProgressBar1, below},
        {m_ui->txtSong, below | Follow::GrowsWide},
        {m_ui->WMPlayer, corner},
        {m_ui->cmdSearch, below},
        {m_ui->cmdClear, below},
        {m_ui->cmdDups, below},
        {m_ui->cmdSwitchItems, below},
        {m_ui->cmdDelete, below},
        {m_ui->txtIndex, Follow::Stays},
    };
    for (const auto &[widget, follows] : places)
        m_layout->add(widget, follows);
    auto *frame = new DesignedLayout(m_ui->Frame2, m_ui->Frame2->size());
    for (QWidget *widget :
         {static_cast<QWidget *>(m_ui->Label2), static_cast<QWidget *>(m_ui->Slider1),
          static_cast<QWidget *>(m_ui->Label3)})
        frame->add(widget, Follow::Stays);
    resize(m_layout->sizeHint());
}

// The layout has placed the controls by now: the check boxes' captions and the message fit
// their new room.
void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (QCheckBox *box : {m_ui->CheckImage, m_ui->chkKeywords, m_ui->chkMsgBox})
        elideToFit(box);
    offerWholeMessage();
}

// A font set later (the desktop's, or a larger one) scales the form with it.
void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_layout->invalidate();
        resize(size().expandedTo(m_layout->minimumSize()));
    }
}

// The runner goes with the window's children, after the members its signals reach.
Form1::~Form1()
{
    m_runner->shutdown();
}

void Form1::setPrompter(std::unique_ptr<Prompter> prompter)
{
    m_prompter = std::move(prompter);
}

void Form1::setUrlOpener(std::function<bool(const QUrl &)> opener)
{
    m_rowActions->setOpener(opener);
    m_openUrl = std::move(opener);
}

bool Form1::isWorking() const
{
    return m_runner->isBusy();
}

void Form1::Form_Load()
{
    m_listMode = ListMode::Search;
    storeIndex(0);
    setColumns(ListMode::Search, columns::startup());
    fillDrives();
    m_imagePreviewShown = 0;
    m_ui->Picture1->hide();
    // The start folder and the keyword file may lie on a slow mount: read in the background.
    m_runner->start<StartJob>(std::make_unique<StartJob>(m_keywordFile),
                              [this](StartJob &job) { started(job); });
    m_ui->Dir1->setFocus();
}

void Form1::started(const StartJob &job)
{
    if (!job.answered()) {
        sayWorkNote(tr("Start stopped: type or paste a folder above the tree."));
        Q_EMIT workFinished();
        return;
    }
    const StartJob::Result &result = job.result();
    selectDrive(result.start.drive);
    if (result.place)
        m_ui->Dir1->show(*result.place);
    m_keywordList = result.keywords;
    QStringList notes;
    if (!result.start.note.isEmpty())
        notes << result.start.note;
    const QString name = m_keywordFile.mid(m_keywordFile.lastIndexOf(u'/') + 1);
    if (result.loaded.status == KeywordList::Status::Missing)
        notes << tr("%1 is missing: no keywords are left out.").arg(name);
    else if (result.loaded.status == KeywordList::Status::Unreadable)
        notes << tr("%1 cannot be read (%2): no keywords are left out.")
                     .arg(name, result.loaded.error);
    if (!notes.isEmpty())
        say(notes.join(u' '));
    Q_EMIT workFinished();
}

// The mounts are read in the background, as a hung one answers no call about it.
void Form1::fillDrives()
{
    background::run<QStringList>(
        this, [] { return places::mountedRoots(); },
        [this](const QStringList &mounted) {
            const QString current = m_ui->Drive1->currentData().toString();
            QStringList roots = mounted;
            if (!current.isEmpty() && !roots.contains(current))
                roots << current;
            roots.sort();
            const QSignalBlocker blocker(m_ui->Drive1);
            m_ui->Drive1->clear();
            for (const QString &root : std::as_const(roots))
                m_ui->Drive1->addItem(root, root);
            m_ui->Drive1->setCurrentIndex(m_ui->Drive1->findData(current));
        });
}

// Shows the volume rooted at `root` in Drive1; changing the drive moves Dir1 to it.
void Form1::selectDrive(const QString &root)
{
    int index = m_ui->Drive1->findData(root);
    if (index < 0) {
        const QSignalBlocker blocker(m_ui->Drive1);
        m_ui->Drive1->addItem(root, root);
        index = m_ui->Drive1->count() - 1;
    }
    if (sender() == m_ui->Dir1) {
        const QSignalBlocker blocker(m_ui->Drive1);
        m_ui->Drive1->setCurrentIndex(index);
    } else if (index == m_ui->Drive1->currentIndex()) {
        Drive1_Change();
    } else {
        m_ui->Drive1->setCurrentIndex(index);
    }
}

void Form1::Drive1_Change()
{
    const QString root = m_ui->Drive1->currentData().toString();
    if (!root.isEmpty())
        m_ui->Dir1->setRootPath(root);
}

void Form1::CheckImage_Click()
{
    m_pictures->cancel();
    if (m_imagePreviewShown == 1) {
        m_imagePreviewShown = 0;
        m_ui->Picture1->hide();
    } else {
        m_imagePreviewShown = 1;
        m_ui->Picture1->show();
    }
}

// Made and opened in the background: the keyword folder may be slow, or not there yet.
void Form1::chkKeywords_Click()
{
    if (!m_ui->chkKeywords->isChecked())
        return;
    m_ui->chkKeywords->setChecked(false);
    background::run<QUrl>(
        this, [file = m_keywordFile] { return places::keywordFile(file); },
        [this](const QUrl &url) {
            if (url.isEmpty() || !m_openUrl(url))
                tell(QMessageBox::Warning, tr("Unable to open."));
        });
}

void Form1::setColumns(ListMode kind, std::span<const Column> columns)
{
    m_model->setColumns(kind, columns);
    m_ui->ListView1->horizontalHeader()->setSortIndicatorShown(false);
    m_ui->ListView1->fitColumns();
}

void Form1::storeIndex(quint64 number)
{
    m_index.store(number);
    m_ui->txtIndex->setText(QString::number(number));
}

// The chosen folder may have gone, or become a file, since it was picked: say so before
// anything in the list changes. The look runs as a job, so a hung mount gives way to Esc.
void Form1::checkFolder(std::function<void(const QByteArray &)> walk)
{
    m_ui->lblWorking->clear();
    m_runner->start<PathCheck>(
        std::make_unique<PathCheck>(QFile::encodeName(m_ui->Dir1->path())),
        [this, walk = std::move(walk)](PathCheck &job) {
            const QString shown = rawname::display(job.path());
            // Esc may come after the answer, before this handler: it stops the walk too.
            switch (m_runner->wasStopped() ? PathCheck::Kind::Unanswered : job.kind()) {
            case PathCheck::Kind::Folder:
                walk(job.path());
                return;
            case PathCheck::Kind::Unanswered:
                sayWorkNote(tr("Stopped: %1 was not walked.").arg(shown));
                break;
            case PathCheck::Kind::Missing:
                tell(QMessageBox::Warning,
                     tr("The folder %1 no longer exists. Choose another folder.").arg(shown));
                break;
            default:
                tell(QMessageBox::Warning,
                     tr("%1 is no longer a folder. Choose another folder.").arg(shown));
            }
            reportDeletion();
            Q_EMIT workFinished();
        });
}

void Form1::setWorking(bool working)
{
    if (working) { // a note on stopped work is stale once work starts again
        if (!m_workNote.isEmpty() && m_ui->txtSong->text() == m_workNote)
            say({});
        m_workNote.clear();
    }
    for (QWidget *button : {m_ui->cmdSearch, m_ui->cmdClear, m_ui->cmdDups, m_ui->cmdDelete})
        button->setEnabled(!working);
    m_ui->cmdSwitchItems->setEnabled(!working && m_switchAllowed);
}

void Form1::cmdSearch_Click()
{
    if (isWorking())
        return;
    checkFolder([this](const QByteArray &folder) {
        if (m_listMode != ListMode::Search) {
            m_listMode = ListMode::Search;
            cmdClear_Click();
            setColumns(ListMode::Search, columns::listing());
        }
        m_ui->lblWorking->clear();
        m_runner->start<ListingJob>(
            std::make_unique<ListingJob>(folder, m_index.value()),
            [this](ListingJob &job) { listingFinished(job); },
            [this](ListingJob &job) { takeRows(job); });
    });
}

void Form1::cmdDups_Click()
{
    if (isWorking())
        return;
    checkFolder([this](const QByteArray &folder) {
        if (m_listMode != ListMode::Duplicate) {
            m_listMode = ListMode::Duplicate;
            cmdClear_Click();
            setColumns(ListMode::Duplicate, columns::pairs());
        }
        m_ui->ProgressBar1->setRange(0, 100);
        m_ui->ProgressBar1->setValue(0);
        m_ui->lblWorking->clear();
        m_runner->start<SearchJob>(
            std::make_unique<SearchJob>(folder, m_keywordList, m_ui->Slider1->value(),
                                        m_index.value(), quint64(m_model->rowCount()),
                                        m_maxPairRows),
            [this](SearchJob &job) { searchFinished(job); },
            [this](SearchJob &job) { takePairs(job); });
    });
}

// Moves what the worker found so far into the list.
void Form1::takeRows(ListingJob &job)
{
    std::vector<ListingRow> rows = job.takeRows();
    if (rows.empty())
        return;
    const quint64 last = rows.back().number;
    m_model->appendFiles(std::move(rows));
    storeIndex(last);
}

void Form1::takePairs(SearchJob &job)
{
    const std::vector<PairIndices> pairs = job.takePairs();
    if (pairs.empty())
        return;
    if (m_model->appendPairs(job.paths(), pairs, job.identities(), job.rootLength())) {
        storeIndex(pairs.back().number);
    } else {
        m_runner->abort();
        say(tr("The list holds the pairs of too many searches: press Clear first."));
    }
}

void Form1::listingFinished(const ListingJob &job)
{
    const WalkOutcome &outcome = job.outcome();
    m_switchAllowed = false;
    setWorking(false);
    m_ui->lblWorking->setText(Messages::files(outcome.files));
    if (const QString errors = Messages::walkErrors(outcome, false); !errors.isEmpty())
        tell(QMessageBox::Warning, errors);
    if (outcome.stopped)
        sayWorkNote(tr("Listing stopped: the files found so far stay in the list."));
    reportDeletion();
    Q_EMIT workFinished();
}

void Form1::searchFinished(const SearchJob &job)
{
    const SearchJob::Result &result = job.result();
    const bool stopped = result.walk.stopped || result.stats.stopped;
    if (result.searched && !stopped && result.stats.candidates > 0) {
        m_ui->ProgressBar1->setValue(m_ui->ProgressBar1->maximum());
        m_ui->lblWorking->setText(Messages::percent(100));
    } else if (result.searched && !stopped) {
        m_ui->ProgressBar1->setValue(0);
        m_ui->lblWorking->clear();
    }
    m_switchAllowed = true;
    setWorking(false);
    if (const QString errors = Messages::walkErrors(result.walk, true); !errors.isEmpty())
        tell(QMessageBox::Warning, errors);
    if (stopped)
        sayWorkNote(tr("Search stopped: the pairs found so far stay in the list."));
    const auto pairs = int(std::min<quint64>(result.stats.pairs, INT_MAX));
    if (result.searched && result.stats.pairs > result.listed && result.listed > 0)
        tell(QMessageBox::Information,
             tr("The search found %Ln pair(s), more than the list can hold: it shows the first "
                "%L1 of them. Raise the Similarity slider or add keywords to find fewer pairs.",
                nullptr, pairs)
                 .arg(result.listed));
    else if (result.searched && result.stats.pairs > 0 && result.listed == 0)
        tell(QMessageBox::Information,
             tr("The list already holds %L1 rows, the most it can: none of the %Ln pair(s) the "
                "search found could be added. Press Clear first.",
                nullptr, pairs)
                 .arg(m_model->rowCount()));
    if (result.searched && !stopped && m_ui->chkMsgBox->isChecked())
        tell(QMessageBox::NoIcon, statisticsLines(result.stats).join(u'\n'));
    reportDeletion();
    Q_EMIT workFinished();
}

// The files moved stay moved whatever happened after: the list is made again from the
// folder as it is now, and what went wrong is told at the end of that.
void Form1::trashFinished(const TrashJob &job)
{
    const DeletionOutcome &outcome = job.outcome();
    if (outcome.stopped) {
        QStringList moved;
        for (const QByteArray &path : outcome.moved)
            moved << rawname::display(path);
        m_deletionReport << Messages::namedList(
            tr("Deleting stopped: %Ln file(s) had been moved to the trash:", nullptr,
               int(moved.size())),
            moved, kNamedMoved);
    }
    if (const QString failures = failureMessage(outcome.failures); !failures.isEmpty())
        m_deletionReport << failures;
    m_lastDeletion = outcome.trashed;
    if (!outcome.trashed.isEmpty())
        m_deletionNote = tr("%Ln file(s) moved to the trash; Ctrl+Z restores them.", nullptr,
                            int(outcome.trashed.size()));
    rebuildList();
}

void Form1::restoreFinished(const RestoreJob &job)
{
    m_deletionNote = tr("%Ln file(s) restored.", nullptr, job.outcome().restored);
    if (!job.outcome().message.isEmpty())
        m_deletionReport << job.outcome().message;
    rebuildList();
}

// Empties the list and makes it again from the folder as it is now, as "&Delete" does; what
// is to be told comes at the end of that.
void Form1::rebuildList()
{
    cmdClear_Click();
    if (m_listMode == ListMode::Search)
        cmdSearch_Click();
    else
        cmdDups_Click();
}

void Form1::reportDeletion()
{
    if (!m_deletionNote.isEmpty())
        say(std::exchange(m_deletionNote, {}));
    if (m_deletionReport.isEmpty())
        return;
    const QString message = m_deletionReport.join(QStringLiteral("\n\n"));
    m_deletionReport.clear();
    tell(QMessageBox::Warning, message);
}

void Form1::cmdClear_Click()
{
    storeIndex(0);
    m_checkedFiles.clear();
    m_ui->ProgressBar1->setValue(0);
    m_model->clearRows();
    // The rows that come next come in walk order.
    m_ui->ListView1->horizontalHeader()->setSortIndicatorShown(false);
    m_ui->WMPlayer->close();
    m_ui->WMPlayer->playlist()->clear();
    m_switchAllowed = false;
    m_ui->cmdSwitchItems->setEnabled(false);
}

void Form1::ListView1_ColumnClick(int column)
{
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    const std::span<const Column> shown = m_model->columns();
    if (column < 0 || size_t(column) >= shown.size() ||
        shown[size_t(column)].sort == SortKind::None)
        return;
    m_model->sortRows(shown[size_t(column)].sort, m_sortOrder);
    QHeaderView *header = m_ui->ListView1->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, m_sortOrder);
}

void Form1::ListView1_ItemClick(int row)
{
    if (m_ui->CheckImage->isChecked()) {
        // The message comes when the picture has been read: see pictureLoaded().
        m_ui->Picture1->clear();
        m_pictures->load(m_model->pathCell(row));
        return;
    }
    m_pictures->cancel();
    if (m_model->isChecked(row)) {
        // Already picked: a click never unticks; it only shows which file the row holds.
        display(rawname::display(m_model->pathCell(row)));
        return;
    }
    m_pickedPath = m_model->pathCell(row);
    m_model->setChecked(row, true);
    m_checkedFiles.insert(m_model->number(row), m_pickedPath);
    offerMusic(m_pickedPath);
    display(rawname::display(m_pickedPath));
}

// The image step's end: the picture drawn and its size told, or why it cannot be shown.
void Form1::pictureLoaded(const imagepreview::Preview &preview)
{
    if (!preview.ok) {
        // Why comes in the line itself: "too large to preview" is not a damaged file.
        display(preview.error.isEmpty() ? tr("Can't read image")
                                        : tr("Can't read image: %1").arg(preview.error));
        return;
    }
    m_ui->Picture2->setPixmap(QPixmap::fromImage(preview.image));
    m_ui->Picture1->drawPicture(preview.image, preview.drawn);
    const QString size = imagepreview::sizeText(preview.pixels);
    display(preview.incomplete ? tr("%1: the picture is incomplete").arg(size) : size);
}

void Form1::display(const QString &message)
{
    say(message);
    m_ui->Picture1->printLine(message, kMessageColour, kMessageAt);
}

void Form1::ListView1_ItemCheck(int row)
{
    m_pickedPath = m_model->pathCell(row);
    const quint64 number = m_model->number(row);
    if (m_model->isChecked(row)) {
        m_checkedFiles.insert(number, m_pickedPath);
        offerMusic(m_pickedPath);
    } else {
        m_checkedFiles.remove(number);
        m_ui->WMPlayer->removeMusic(m_pickedPath);
    }
}

// Only a regular file reaches the player: opening a pipe or a device named ".mp3" would block
// it until someone writes, and the look happens in the background as the file may be on a
// hung mount. A file unticked, or a list cleared, while it is looked at is not added.
void Form1::offerMusic(const QByteArray &path)
{
    if (!MusicPlaylist::isMusic(path))
        return;
    PathCheck::later(this, path, [this, path](PathCheck::Kind kind) {
        if (!std::ranges::any_of(m_checkedFiles,
                                 [&](const QByteArray &file) { return file == path; }))
            return;
        if (kind == PathCheck::Kind::File)
            m_ui->WMPlayer->addMusic(path);
        else
            say(tr("%1 is not a file that can be played.").arg(rawname::display(path)));
    });
}

void Form1::WMPlayer_OpenStateChange(const QByteArray &path)
{
    say(rawname::display(path));
}

void Form1::cmdSwitchItems_Click()
{
    const int row = m_ui->ListView1->activeRow();
    if (row < 0 || m_listMode != ListMode::Duplicate) {
        say(tr("Select a pair first: Switch Items swaps its two files."));
        return;
    }
    m_model->switchItems(row);
    m_pickedPath = m_model->pathCell(row);
    // A ticked pair now marks the other file for deletion.
    if (m_model->isChecked(row))
        m_checkedFiles.insert(m_model->number(row), m_pickedPath);
}

void Form1::cmdDelete_Click()
{
    if (isWorking())
        return;
    const QList<QByteArray> paths = m_model->tickedPaths();
    const QMessageBox::StandardButton answer =
        m_prompter->ask(this, tr("Confirm"), tr("Click *Yes* to delete files"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                        confirmationCount(paths), confirmationNames(paths));
    if (answer != QMessageBox::Yes || paths.isEmpty())
        return;
    m_ui->lblWorking->clear();
    m_runner->start<TrashJob>(std::make_unique<TrashJob>(m_model->tickedFiles(), m_trasher),
                              [this](TrashJob &job) { trashFinished(job); });
}

// A row's menu acts on the file under the pointer: "File2" on that cell of a pair, else the
// row's path cell. "Copy Path" copies every path of the row.
void Form1::ListView1_RowMenu(int row, int column, const QPoint &globalPos)
{
    const bool restorable = !m_lastDeletion.isEmpty() && !isWorking();
    if (row < 0) { // no row there: the menu offers what needs none
        m_rowMenu->showFor({}, {}, globalPos, false, restorable);
        return;
    }
    const bool pair = m_model->kind() == ListMode::Duplicate;
    const bool second = pair && m_model->columns()[size_t(column)].cell == Cell::File2;
    QList<QByteArray> paths{m_model->pathCell(row)};
    if (pair)
        paths << m_model->secondPath(row);
    m_rowMenu->showFor(second ? paths.back() : paths.front(), paths, globalPos,
                       pair && !isWorking(), restorable);
}

void Form1::tickRule(tickrules::Rule rule, const QByteArray &folder)
{
    if (isWorking() || m_listMode != ListMode::Duplicate)
        return;
    m_ui->lblWorking->clear();
    m_runner->start<RuleJob>(std::make_unique<RuleJob>(rule, m_model->pairGraph().files, folder),
                             [this](RuleJob &job) { ruleFinished(job); });
}

// The rows may have been sorted while the files were read; the files are the same.
void Form1::ruleFinished(const RuleJob &job)
{
    const ResultModel::PairGraph graph = m_model->pairGraph();
    if (graph.files.size() == job.fileCount()) {
        const tickrules::Plan plan = tickrules::plan(
            graph.rows, job.keys(), job.targets(),
            m_rowMenu->onlySameContents() ? m_model->sameContents() : std::vector<bool>());
        m_model->applyTicks(plan.actions);
        // The same record as a tick by the user, without offering music.
        for (size_t row = 0; row < plan.actions.size(); ++row) {
            if (plan.actions[row] != tickrules::Action::None)
                m_checkedFiles.insert(m_model->number(int(row)), m_model->pathCell(int(row)));
        }
        say(tickrules::message(plan));
    }
    Q_EMIT workFinished();
}

void Form1::compareContents()
{
    if (isWorking() || m_listMode != ListMode::Duplicate || m_model->rowCount() == 0)
        return;
    ResultModel::PairGraph graph = m_model->pairGraph(true);
    std::vector<ContentPair> pairs;
    std::vector<quint64> numbers;
    pairs.reserve(graph.rows.size());
    numbers.reserve(graph.rows.size());
    for (size_t row = 0; row < graph.rows.size(); ++row) {
        pairs.push_back({graph.rows[row].first, graph.rows[row].second});
        numbers.push_back(m_model->number(int(row)));
    }
    m_ui->lblWorking->clear();
    m_runner->start<CompareJob>(std::make_unique<CompareJob>(m_comparer, std::move(graph.files),
                                                             std::move(graph.identities),
                                                             std::move(pairs), std::move(numbers)),
                                [this](CompareJob &job) { compareFinished(job); });
}

// Stopped or not, the pairs told so far show what they are.
void Form1::compareFinished(const CompareJob &job)
{
    const ContentComparer::Outcome &outcome = job.outcome();
    const int shown = m_model->columnCount();
    m_model->setVerdicts(job.numbers(), outcome.verdicts);
    if (m_model->columnCount() != shown)
        m_ui->ListView1->fitColumns();
    qint64 same = 0, different = 0, untold = 0;
    for (const ContentVerdict &verdict : outcome.verdicts) {
        same += verdict.kind == ContentVerdict::Kind::Same;
        different += verdict.kind == ContentVerdict::Kind::Different;
        untold += verdict.kind > ContentVerdict::Kind::Different;
    }
    if (outcome.stopped) {
        say(tr("Comparing stopped: the contents compared so far are shown."));
    } else {
        m_ui->lblWorking->setText(Messages::percent(100));
        say(tr("Compared the contents of %Ln pair(s): %1 the same, %2 different, %3 could not be "
               "compared",
               nullptr, int(outcome.verdicts.size()))
                .arg(same)
                .arg(different)
                .arg(untold));
    }
    Q_EMIT workFinished();
}

void Form1::untickAll()
{
    m_model->untickAll();
    m_checkedFiles.clear();
}

void Form1::restoreLastDeletion()
{
    if (isWorking() || m_lastDeletion.isEmpty())
        return;
    m_ui->lblWorking->clear();
    m_runner->start<RestoreJob>(std::make_unique<RestoreJob>(std::exchange(m_lastDeletion, {})),
                                [this](RestoreJob &job) { restoreFinished(job); });
}

void Form1::say(const QString &text)
{
    m_ui->txtSong->setText(text);
    m_ui->txtSong->setToolTip(text);
    m_ui->txtSong->setCursorPosition(0);
    offerWholeMessage();
}

void Form1::sayWorkNote(const QString &text)
{
    say(text);
    m_workNote = text;
}

void Form1::offerWholeMessage()
{
    const QLineEdit *line = m_ui->txtSong;
    const int room = line->contentsRect().width() - line->height(); // the button's square
    m_more->setVisible(line->fontMetrics().horizontalAdvance(line->text()) > room);
}

void Form1::tell(QMessageBox::Icon icon, const QString &text)
{
    m_prompter->tell(this, icon, QStringLiteral("Twinsift"), text);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

// The work ends with the window, and tells nothing: no box may outlive it.
void Form1::Form_Unload()
{
    m_ui->WMPlayer->close();
    m_checkedFiles.clear();
    m_pictures->cancel();
    m_runner->shutdown();
}

} // namespace twinsift

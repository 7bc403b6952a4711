// SPDX-License-Identifier: MIT
#include "form1.h"

#include "listing/rawname.h"
#include "listingjob.h"
#include "prompter.h"
#include "resultmodel.h"
#include "searchjob.h"
#include "ui_form1.h"
#include "view/fileurl.h"
#include "view/imagepreview.h"
#include "view/pathdelegate.h"
#include "view/rowmenu.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QShortcut>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <limits>
#include <optional>

#include <unistd.h>

namespace twinsift {

namespace {

constexpr qsizetype kNamedWalkErrors = 5;
const QColor kMessageColour(255, 0, 0);
const QPoint kMessageAt(0, 25);

ColumnSpec left(const char16_t *text, int width)
{
    return {QString::fromUtf16(text), width, Qt::AlignLeft};
}

ColumnSpec right(const char16_t *text, int width)
{
    return {QString::fromUtf16(text), width, Qt::AlignRight};
}

QList<ColumnSpec> startupColumns()
{
    return {left(u"No.", 100), left(u"Filename", 300), right(u"Size", 100), left(u"Hash", 100),
            left(u"Path", 300)};
}

QList<ColumnSpec> listingColumnSpecs()
{
    return {left(u"No.", 100), left(u"Filename", 300), right(u"Size", 90), right(u"Hash", 100),
            left(u"Path", 550)};
}

QList<ColumnSpec> pairColumnSpecs()
{
    return {left(u"No.", 80), left(u"File1", 280), left(u"File2", 280),
            right(u"Similarity(%)", 100)};
}

QString programName()
{
    return QStringLiteral("Twinsift");
}

// Where an installed program, whose own folder the user cannot write, keeps the keyword file.
QString userKeywordFile()
{
    return KeywordList::fileNameFor(
        QString(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace

Form1::Form1(const QString &keywordFile, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_model(new ResultModel(this)),
      m_rowMenu(new RowMenu(this)), m_prompter(std::make_unique<Prompter>()),
      m_openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); }),
      m_trasher(&trash::moveToTrash), m_keywordFile(keywordFile)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    // The layout is fixed in pixels and was drawn for 8 point text: keep the desktop's
    // family at that size so that every caption fits its place.
    QFont text = font();
    text.setPointSizeF(8);
    setFont(text);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    m_ui->ListView1->setModel(m_model);
    m_ui->ListView1->setItemDelegate(new PathDelegate(m_ui->ListView1));
    m_progressTimer.setInterval(100);
    fillDrives();

    // The event table of the window.
    connect(m_ui->Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(m_ui->CheckImage, &QCheckBox::clicked, this, &Form1::CheckImage_Click);
    connect(m_ui->chkKeywords, &QCheckBox::toggled, this, &Form1::chkKeywords_Click);
    connect(m_ui->ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) {
                ListView1_ColumnClick(m_model->headerData(section, Qt::Horizontal).toString());
            });
    connect(m_ui->ListView1, &ResultView::itemClick, this, &Form1::ListView1_ItemClick);
    connect(m_model, &ResultModel::itemCheck, this, &Form1::ListView1_ItemCheck);
    connect(m_ui->WMPlayer, &MusicPanel::openStateChanged, this, &Form1::WMPlayer_OpenStateChange);
    connect(m_ui->cmdSearch, &QPushButton::clicked, this, &Form1::cmdSearch_Click);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &Form1::cmdClear_Click);
    connect(m_ui->cmdDups, &QPushButton::clicked, this, &Form1::cmdDups_Click);
    connect(m_ui->cmdSwitchItems, &QPushButton::clicked, this, &Form1::cmdSwitchItems_Click);
    connect(m_ui->cmdDelete, &QPushButton::clicked, this, &Form1::cmdDelete_Click);
    // What the platform adds: Esc, the player's own troubles, a typed folder on another volume.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &Form1::stopWork);
    connect(m_ui->WMPlayer, &MusicPanel::problem, this, &Form1::say);
    connect(m_ui->Dir1, &FolderTree::rootChanged, this, &Form1::selectDrive);
    connect(m_ui->Dir1, &FolderTree::rejected, this, [this](const QString &typed) {
        say(QStringLiteral("%1 is not a folder.").arg(typed));
    });
    connect(&m_progressTimer, &QTimer::timeout, this, &Form1::showProgress);
    // The desktop's conveniences: a row's menu, and the keys that work the list.
    connect(m_ui->ListView1, &ResultView::rowMenuRequested, this, &Form1::ListView1_RowMenu);
    connect(m_ui->ListView1, &ResultView::openRequested, this, &Form1::openRow);
    connect(m_ui->ListView1, &ResultView::deleteRequested, this, &Form1::cmdDelete_Click);
    connect(m_rowMenu, &RowMenu::openFile, this, &Form1::openFile);
    connect(m_rowMenu, &RowMenu::openFolder, this, &Form1::openFolder);
    connect(m_rowMenu, &RowMenu::copyPaths, this, &Form1::copyPaths);
    connect(m_rowMenu, &RowMenu::tickRule, this, &Form1::tickRule);
    connect(m_rowMenu, &RowMenu::untickAll, this, &Form1::untickAll);
    connect(m_rowMenu, &RowMenu::restoreLastDeletion, this, &Form1::restoreLastDeletion);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this,
            &Form1::restoreLastDeletion);

    Form_Load();
}

Form1::~Form1()
{
    if (isWorking())
        QGuiApplication::restoreOverrideCursor();
}

void Form1::setPrompter(std::unique_ptr<Prompter> prompter)
{
    m_prompter = std::move(prompter);
}

void Form1::setUrlOpener(std::function<bool(const QUrl &)> opener)
{
    m_openUrl = std::move(opener);
}

void Form1::setTrasher(Trasher trasher)
{
    m_trasher = std::move(trasher);
}

bool Form1::isWorking() const
{
    return m_listingJob || m_searchJob;
}

void Form1::Form_Load()
{
    m_listMode = ListMode::Search;
    storeIndex(0);
    setColumns(ListMode::Search, startupColumns());
    QStringList notes;
    const QString folders = startFolders();
    if (!folders.isEmpty())
        notes << folders;
    m_imagePreviewShown = 0;
    m_ui->Picture1->hide();

    const KeywordList::LoadResult loaded = m_keywordList.load(m_keywordFile);
    if (loaded.status == KeywordList::Status::Missing)
        notes << QStringLiteral("%1 is missing: no keywords are left out.")
                     .arg(QFileInfo(m_keywordFile).fileName());
    else if (loaded.status == KeywordList::Status::Unreadable)
        notes << QStringLiteral("%1 cannot be read (%2): no keywords are left out.")
                     .arg(QFileInfo(m_keywordFile).fileName(), loaded.error);
    if (!notes.isEmpty())
        say(notes.join(u' '));
    m_ui->Dir1->setFocus();
}

// The starting drive and folder come from HOMEDRIVE and USERPROFILE where they name folders,
// else from the home folder. Returns what had to be replaced, for the message line.
QString Form1::startFolders()
{
    const QString home = QDir::homePath();
    QStringList missing;
    const QString drive = qEnvironmentVariable("HOMEDRIVE");
    if (!drive.isEmpty() && QFileInfo(drive).isDir()) {
        selectDrive(QStorageInfo(drive).rootPath());
    } else {
        selectDrive(QStorageInfo(home).rootPath());
        missing << (drive.isEmpty() ? QStringLiteral("HOMEDRIVE is not set")
                                    : QStringLiteral("HOMEDRIVE (%1) is not a folder").arg(drive));
    }
    const QString profile = qEnvironmentVariable("USERPROFILE");
    if (profile.isEmpty() || !m_ui->Dir1->setPath(profile)) {
        m_ui->Dir1->setPath(home);
        missing << (profile.isEmpty()
                        ? QStringLiteral("USERPROFILE is not set")
                        : QStringLiteral("USERPROFILE (%1) is not a folder").arg(profile));
    }
    if (missing.isEmpty())
        return {};
    return QStringLiteral("%1: starting in %2.").arg(missing.join(QStringLiteral(", ")), home);
}

void Form1::fillDrives()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    roots.sort();
    const QSignalBlocker blocker(m_ui->Drive1);
    for (const QString &root : roots)
        m_ui->Drive1->addItem(root, root);
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
    if (m_imagePreviewShown == 1) {
        m_imagePreviewShown = 0;
        m_ui->Picture1->hide();
    } else {
        m_imagePreviewShown = 1;
        m_ui->Picture1->show();
    }
}

void Form1::chkKeywords_Click()
{
    if (!m_ui->chkKeywords->isChecked())
        return;
    if (!keywordFileReady() ||
        !m_openUrl(QUrl::fromLocalFile(QFileInfo(m_keywordFile).absoluteFilePath())))
        tell(QMessageBox::Warning, QStringLiteral("Unable to open."));
    m_ui->chkKeywords->setChecked(false);
}

// True when the keyword file is there to be opened. In the user's configuration nothing may
// have made it yet: an empty one is made there, so that the editor opens a file the user may
// change and save. Beside the program the build makes it; a missing one stays missing.
bool Form1::keywordFileReady()
{
    const QFileInfo file(m_keywordFile);
    if (file.exists())
        return file.isFile();
    if (m_keywordFile != userKeywordFile() || !QDir().mkpath(file.absolutePath()))
        return false;
    QFile created(m_keywordFile);
    return created.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

void Form1::setColumns(ListMode kind, const QList<ColumnSpec> &columns)
{
    m_model->setColumns(kind, columns);
    m_ui->ListView1->horizontalHeader()->setSortIndicatorShown(false);
    for (int i = 0; i < columns.size(); ++i)
        m_ui->ListView1->setColumnWidth(i, columns[i].width);
}

void Form1::storeIndex(quint64 number)
{
    m_index.store(number);
    m_ui->txtIndex->setText(QString::number(number));
}

QByteArray Form1::walkFolder() const
{
    return QFile::encodeName(m_ui->Dir1->path());
}

// The chosen folder may have gone, or become a file, since it was picked: say so before
// anything in the list changes.
bool Form1::walkFolderReady()
{
    const QFileInfo folder(m_ui->Dir1->path());
    if (folder.isDir())
        return true;
    const QString shown = m_ui->Dir1->path();
    tell(QMessageBox::Warning,
         folder.exists()
             ? QStringLiteral("%1 is no longer a folder. Choose another folder.").arg(shown)
             : QStringLiteral("The folder %1 no longer exists. Choose another folder.").arg(shown));
    return false;
}

void Form1::setWorking(bool working)
{
    for (QWidget *button : {m_ui->cmdSearch, m_ui->cmdClear, m_ui->cmdDups, m_ui->cmdDelete})
        button->setEnabled(!working);
    m_ui->cmdSwitchItems->setEnabled(!working && m_switchAllowed);
    if (working) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        m_progressTimer.start();
    } else {
        QGuiApplication::restoreOverrideCursor();
        m_progressTimer.stop();
    }
}

void Form1::cmdSearch_Click()
{
    if (isWorking() || !walkFolderReady())
        return;
    if (m_listMode != ListMode::Search) {
        m_listMode = ListMode::Search;
        cmdClear_Click();
        setColumns(ListMode::Search, listingColumnSpecs());
    }
    m_ui->lblWorking->clear();
    m_listingJob = std::make_unique<ListingJob>(walkFolder(), m_index.value());
    connect(m_listingJob.get(), &ListingJob::finished, this, &Form1::listingFinished,
            Qt::QueuedConnection);
    setWorking(true);
    m_listingJob->start();
}

void Form1::cmdDups_Click()
{
    if (isWorking() || !walkFolderReady())
        return;
    if (m_listMode != ListMode::Duplicate) {
        m_listMode = ListMode::Duplicate;
        cmdClear_Click();
        setColumns(ListMode::Duplicate, pairColumnSpecs());
    }
    m_ui->ProgressBar1->setRange(0, 100);
    m_ui->ProgressBar1->setValue(0);
    m_ui->lblWorking->clear();
    m_searchJob =
        std::make_unique<SearchJob>(walkFolder(), m_keywordList, m_ui->Slider1->value(),
                                    m_index.value(), quint64(m_model->rowCount()), m_maxPairRows);
    connect(m_searchJob.get(), &SearchJob::finished, this, &Form1::searchFinished,
            Qt::QueuedConnection);
    setWorking(true);
    m_searchJob->start();
}

void Form1::stopWork()
{
    if (!isWorking())
        return;
    if (m_listingJob)
        m_listingJob->stop();
    if (m_searchJob)
        m_searchJob->stop();
    say(QStringLiteral("Stopping..."));
}

// Moves what the worker found so far into the list.
void Form1::takeRows()
{
    if (m_listingJob) {
        std::vector<ListingRow> rows = m_listingJob->takeRows();
        if (!rows.empty()) {
            const quint64 last = rows.back().number;
            m_model->appendFiles(std::move(rows));
            storeIndex(last);
        }
    }
    if (m_searchJob) {
        const std::vector<PairIndices> pairs = m_searchJob->takePairs();
        if (!pairs.empty()) {
            if (m_model->appendPairs(m_searchJob->paths(), pairs)) {
                storeIndex(pairs.back().number);
            } else {
                m_searchJob->stop();
                say(QStringLiteral("The list holds the pairs of too many searches: press Clear "
                                   "first."));
            }
        }
    }
}

void Form1::showProgress()
{
    takeRows();
    if (m_listingJob) {
        m_ui->lblWorking->setText(QStringLiteral("%1 files").arg(m_listingJob->filesSeen()));
    } else if (m_searchJob) {
        const quint64 total = m_searchJob->workTotal();
        if (!m_searchJob->searching() || total == 0) {
            m_ui->lblWorking->setText(QStringLiteral("%1 files").arg(m_searchJob->filesSeen()));
            return;
        }
        const quint64 done = std::min(m_searchJob->workDone(), total);
        const quint64 scale = std::max<quint64>(1, total / std::numeric_limits<int>::max() + 1);
        m_ui->ProgressBar1->setRange(0, int(total / scale));
        m_ui->ProgressBar1->setValue(int(done / scale));
        m_ui->lblWorking->setText(locale().toString(100.0 * double(done) / double(total), 'f', 0) +
                                  u'%');
    }
}

void Form1::listingFinished()
{
    takeRows();
    const WalkOutcome outcome = m_listingJob->outcome();
    m_listingJob.reset();
    m_switchAllowed = false;
    setWorking(false);
    m_ui->lblWorking->setText(QStringLiteral("%1 files").arg(outcome.files));
    reportWalk(outcome, QStringLiteral("listed"));
    if (outcome.stopped)
        say(QStringLiteral("Listing stopped: the files found so far stay in the list."));
    reportDeletion();
    Q_EMIT workFinished();
}

void Form1::searchFinished()
{
    takeRows();
    const SearchJob::Result result = m_searchJob->result();
    m_searchJob.reset();
    const bool stopped = result.walk.stopped || result.stats.stopped;
    if (result.searched && !stopped && result.stats.candidates > 0) {
        m_ui->ProgressBar1->setValue(m_ui->ProgressBar1->maximum());
        m_ui->lblWorking->setText(locale().toString(100) + u'%');
    } else if (result.searched && !stopped) {
        m_ui->ProgressBar1->setValue(0);
        m_ui->lblWorking->clear();
    }
    m_switchAllowed = true;
    setWorking(false);
    reportWalk(result.walk, QStringLiteral("searched"));
    if (stopped)
        say(QStringLiteral("Search stopped: the pairs found so far stay in the list."));
    if (result.searched && result.stats.pairs > result.listed && result.listed > 0)
        tell(QMessageBox::Information,
             QStringLiteral("The search found %1 pairs, more than the list can hold: it shows "
                            "the first %2 of them. Raise the Similarity slider or add keywords "
                            "to find fewer pairs.")
                 .arg(result.stats.pairs)
                 .arg(result.listed));
    else if (result.searched && result.stats.pairs > 0 && result.listed == 0)
        tell(QMessageBox::Information,
             QStringLiteral("The list already holds %1 rows, the most it can: none of the %2 "
                            "pairs the search found could be added. Press Clear first.")
                 .arg(m_model->rowCount())
                 .arg(result.stats.pairs));
    if (result.searched && !stopped && m_ui->chkMsgBox->isChecked())
        tell(QMessageBox::NoIcon, statisticsLines(result.stats).join(u'\n'));
    reportDeletion();
    Q_EMIT workFinished();
}

// Says once, at the end of a walk, what could not be read.
void Form1::reportWalk(const WalkOutcome &outcome, const QString &what)
{
    if (outcome.errors.empty())
        return;
    if (outcome.rootFailed) {
        const WalkError &error = outcome.errors.front();
        tell(QMessageBox::Warning, QStringLiteral("The folder %1 cannot be read: %2")
                                       .arg(rawname::display(error.path), error.reason));
        return;
    }
    const auto count = qsizetype(outcome.errors.size());
    QStringList lines;
    lines << QStringLiteral("%1 folders or files could not be read and were not %2:")
                 .arg(count)
                 .arg(what);
    for (qsizetype i = 0; i < count && i < kNamedWalkErrors; ++i) {
        const WalkError &error = outcome.errors[size_t(i)];
        lines << QStringLiteral("%1: %2").arg(rawname::display(error.path), error.reason);
    }
    if (count > kNamedWalkErrors)
        lines << QStringLiteral("and %1 more.").arg(count - kNamedWalkErrors);
    tell(QMessageBox::Warning, lines.join(u'\n'));
}

// After the list is made again: what the last delete or restore did.
void Form1::reportDeletion()
{
    if (m_movedToTrash > 0)
        say(tr("%n file(s) moved to the trash; Ctrl+Z restores them.", nullptr, m_movedToTrash));
    m_movedToTrash = 0;
    if (m_restored) {
        say(tr("%n file(s) restored.", nullptr, m_restored->restored));
        if (!m_restored->message.isEmpty())
            tell(QMessageBox::Warning, m_restored->message);
        m_restored.reset();
    }
    if (m_trashFailures.isEmpty())
        return;
    const QString message = failureMessage(m_trashFailures);
    m_trashFailures.clear();
    tell(QMessageBox::Warning, message);
}

void Form1::cmdClear_Click()
{
    storeIndex(0);
    m_checkedFiles.clear();
    m_ui->ProgressBar1->setValue(0);
    m_model->clearRows();
    m_ui->WMPlayer->close();
    m_ui->WMPlayer->playlist()->clear();
    m_switchAllowed = false;
    m_ui->cmdSwitchItems->setEnabled(false);
}

void Form1::ListView1_ColumnClick(const QString &header)
{
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    std::optional<ResultModel::SortKey> key;
    if (header == QStringLiteral("Similarity(%)"))
        key = ResultModel::SortKey::Similarity;
    else if (header == QStringLiteral("Size"))
        key = ResultModel::SortKey::Size;
    if (!key)
        return;
    m_model->sortRows(*key, m_sortOrder);
    QHeaderView *headerView = m_ui->ListView1->horizontalHeader();
    for (int section = 0; section < m_model->columnCount(); ++section) {
        if (m_model->headerData(section, Qt::Horizontal).toString() == header) {
            headerView->setSortIndicatorShown(true);
            headerView->setSortIndicator(section, m_sortOrder);
        }
    }
}

void Form1::ListView1_ItemClick(int row)
{
    QString message = QStringLiteral("Can't read image");
    QString why;
    if (!m_ui->CheckImage->isChecked()) {
        if (m_model->isChecked(row)) {
            // Already picked: a click never unticks; it only shows which file the row holds.
            display(rawname::display(m_model->pathCell(row)));
            return;
        }
        m_pickedPath = m_model->pathCell(row);
        m_model->setChecked(row, true);
        m_checkedFiles.insert(m_model->number(row), m_pickedPath);
        m_ui->WMPlayer->addMusic(m_pickedPath);
        message = rawname::display(m_pickedPath);
    } else {
        why = imageStep(row, message);
    }
    display(message, why);
}

// Draws the row's file into the preview; `message` becomes its size text when it loads.
// Returns why it did not load, or an empty text.
QString Form1::imageStep(int row, QString &message)
{
    m_ui->Picture1->clear();
    const imagepreview::Preview preview = imagepreview::load(m_model->pathCell(row));
    if (!preview.ok)
        return preview.error;
    m_ui->Picture2->setPixmap(QPixmap::fromImage(preview.image));
    m_ui->Picture1->drawPicture(preview.image, preview.drawn);
    message = imagepreview::sizeText(preview.pixels);
    return {};
}

// The message line keeps the designed text; `detail`, why, goes to its tooltip.
void Form1::display(const QString &message, const QString &detail)
{
    m_ui->txtSong->setText(message);
    m_ui->txtSong->setToolTip(detail.isEmpty() ? message : message + QStringLiteral(": ") + detail);
    m_ui->txtSong->setCursorPosition(0);
    m_ui->Picture1->printLine(message, kMessageColour, kMessageAt);
}

void Form1::ListView1_ItemCheck(int row)
{
    m_pickedPath = m_model->pathCell(row);
    const quint64 number = m_model->number(row);
    if (m_model->isChecked(row)) {
        m_checkedFiles.insert(number, m_pickedPath);
        m_ui->WMPlayer->addMusic(m_pickedPath);
    } else {
        m_checkedFiles.remove(number);
        m_ui->WMPlayer->removeMusic(m_pickedPath);
    }
}

void Form1::WMPlayer_OpenStateChange(const QByteArray &path)
{
    say(rawname::display(path));
}

void Form1::cmdSwitchItems_Click()
{
    const QModelIndexList selected = m_ui->ListView1->selectionModel()->selectedRows();
    if (selected.isEmpty() || m_listMode != ListMode::Duplicate) {
        say(QStringLiteral("Select a pair first: Switch Items swaps its two files."));
        return;
    }
    const int row = selected.front().row();
    const quint64 number = m_model->number(row);
    const bool ticked = m_model->isChecked(row);
    if (ticked)
        m_checkedFiles.remove(number);
    m_model->switchItems(row);
    m_pickedPath = m_model->pathCell(row);
    if (ticked)
        m_checkedFiles.insert(number, m_pickedPath);
}

void Form1::cmdDelete_Click()
{
    if (isWorking())
        return;
    const QList<QByteArray> files = tickedFiles(*m_model);
    const QMessageBox::StandardButton answer = m_prompter->ask(
        this, QStringLiteral("Confirm"), QStringLiteral("Click *Yes* to delete files"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        confirmationCount(files), confirmationNames(files));
    if (answer != QMessageBox::Yes)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const DeletionOutcome outcome = deleteTicked(*m_model, m_trasher);
    QGuiApplication::restoreOverrideCursor();
    if (!outcome.requested)
        return;
    m_trashFailures = outcome.failures;
    m_movedToTrash = outcome.moved;
    m_lastDeletion = outcome.trashed;
    rebuildList();
}

// Empties the list and makes it again from the disk, in its mode, as "&Delete" does.
void Form1::rebuildList()
{
    cmdClear_Click();
    if (m_listMode == ListMode::Search)
        cmdSearch_Click();
    else
        cmdDups_Click();
    // No rebuild started (the folder has gone): the failures are told now, not at its end.
    if (!isWorking())
        reportDeletion();
}

// A row's menu acts on the file under the pointer: "File2" on that cell of a pair, else the
// row's path cell. "Copy Path" copies every path of the row.
void Form1::ListView1_RowMenu(int row, int column, const QPoint &globalPos)
{
    if (row < 0) { // no row there: the menu offers what needs none
        m_rowMenu->showFor({}, {}, globalPos, false, !m_lastDeletion.isEmpty() && !isWorking());
        return;
    }
    const bool pair = m_model->kind() == ListMode::Duplicate;
    const QByteArray file = pair && column == 2 ? m_model->secondPath(row) : m_model->pathCell(row);
    QList<QByteArray> paths{m_model->pathCell(row)};
    if (pair)
        paths << m_model->secondPath(row);
    m_rowMenu->showFor(file, paths, globalPos, pair && !isWorking(),
                       !m_lastDeletion.isEmpty() && !isWorking());
}

void Form1::tickRule(tickrules::Rule rule, const QByteArray &folder)
{
    if (isWorking() || m_listMode != ListMode::Duplicate)
        return;
    const ResultModel::PairGraph graph = m_model->pairGraph();
    const tickrules::Plan plan =
        tickrules::plan(graph.rows, tickrules::keys(rule, graph.files, folder));
    m_model->applyTicks(plan.actions);
    // The same record as a tick by the user, without offering music.
    for (size_t row = 0; row < plan.actions.size(); ++row) {
        if (plan.actions[row] != tickrules::Action::None)
            m_checkedFiles.insert(m_model->number(int(row)), m_model->pathCell(int(row)));
    }
    say(tickrules::message(plan));
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
    m_restored = restoreAll(std::exchange(m_lastDeletion, {}));
    rebuildList();
}

void Form1::openRow(int row)
{
    openFile(m_model->pathCell(row));
}

void Form1::openFile(const QByteArray &path)
{
    if (::access(path.constData(), F_OK) != 0)
        say(QStringLiteral("%1 is no longer there.").arg(rawname::display(path)));
    else if (!m_openUrl(fileUrl(path)))
        say(QStringLiteral("Unable to open %1.").arg(rawname::display(path)));
}

void Form1::openFolder(const QByteArray &path)
{
    const QByteArray folder = path.left(path.lastIndexOf('/') + 1);
    if (folder.isEmpty() || ::access(folder.constData(), F_OK) != 0)
        say(QStringLiteral("The folder of %1 is no longer there.").arg(rawname::display(path)));
    else if (!m_openUrl(fileUrl(folder)))
        say(QStringLiteral("Unable to open %1.").arg(rawname::display(folder)));
}

// One path a line, as people read them; a pair row gives its two.
void Form1::copyPaths(const QList<QByteArray> &paths)
{
    QStringList lines;
    for (const QByteArray &path : paths)
        lines << rawname::display(path);
    QGuiApplication::clipboard()->setText(lines.join(u'\n'));
    const QString shown = lines.join(QStringLiteral("  <--->  "));
    say(paths.size() == 1 ? QStringLiteral("Path copied: %1").arg(shown)
                          : QStringLiteral("Paths copied: %1").arg(shown));
}

void Form1::say(const QString &text)
{
    m_ui->txtSong->setText(text);
    m_ui->txtSong->setToolTip(text);
    m_ui->txtSong->setCursorPosition(0);
}

void Form1::tell(QMessageBox::Icon icon, const QString &text)
{
    m_prompter->tell(this, icon, programName(), text);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload()
{
    m_ui->WMPlayer->close();
    m_checkedFiles.clear();
    stopWork();
}

} // namespace twinsift

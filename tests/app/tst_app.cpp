// SPDX-License-Identifier: MIT
// The window's logic without the window: the work runner and its jobs, the result model,
// the start folder, the keyword file that "Edit Keywords" makes, and the message texts.

#include "actions/deletion.h"
#include "app/foldermodel.h"
#include "app/keywordfile.h"
#include "app/messages.h"
#include "app/resultmodel.h"
#include "app/startfolder.h"
#include "app/workrunner.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

using namespace twinsift;
using namespace Qt::StringLiterals;

// Counts to `total`, a step a millisecond, until stopped (unless it is one that cannot stop).
struct Steps : WorkJob {
    explicit Steps(quint64 steps, bool canBeStopped = true) : total(steps), stoppable(canBeStopped)
    {
    }
    Progress progress() const override { return {done.load(), total, u"counting"_s}; }
    bool canStop() const override { return stoppable; }
    void run(std::stop_token stop) override
    {
        for (; done < total && !(stoppable && stop.stop_requested()); ++done)
            QThread::msleep(1);
    }
    std::atomic<quint64> done{0};
    const quint64 total;
    const bool stoppable;
};

class TestApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One job at a time, with the busy pointer and the progress shown while it runs (its text
    // only while it runs); its own handler gets it ended. abort ends it early through that
    // handler, but not a job that cannot stop; shutdown() ends it and tells nothing.
    void workRunner()
    {
        QWidget window;
        QProgressBar bar(&window);
        QLabel label(&window);
        WorkRunner runner(&window, &bar, &label);
        QSignalSpy busy(&runner, &WorkRunner::busyChanged);
        QSignalSpy refused(&runner, &WorkRunner::cannotStop);
        QList<quint64> ended;
        const auto start = [&](quint64 steps, bool stoppable = true) {
            return runner.start<Steps>(std::make_unique<Steps>(steps, stoppable),
                                       [&](Steps &job) { ended << job.done; });
        };
        QVERIFY(!runner.abort());
        QVERIFY(start(300));
        QVERIFY(!start(1) && QGuiApplication::overrideCursor());
        QTRY_COMPARE(label.text(), u"counting"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.isBusy(), 10000);
        QCOMPARE(ended, QList<quint64>{300});
        QCOMPARE(busy, (QList<QVariantList>{{true}, {false}}));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(label.text() + QString::number(bar.maximum()), u"300"_s); // the text goes
        QVERIFY(start(200, false) && !runner.abort() && refused.size() == 1);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.isBusy(), 10000);
        QCOMPARE(ended.last(), 200u);
        for (const bool abort : {true, false}) {
            QVERIFY(start(1'000'000));
            QVERIFY(abort ? runner.abort() : (runner.shutdown(), true));
            QTRY_VERIFY_WITH_TIMEOUT(!runner.isBusy(), 10000);
        }
        QTest::qWait(50);
        QCOMPARE(ended.size(), 3);
        QVERIFY(ended.last() < 1'000'000 && !QGuiApplication::overrideCursor());
    }

    // Each path once, in order; stopped, it ends between two files and keeps what moved.
    void deleteFiles()
    {
        for (const int stopAfter : {-1, 0, 1}) {
            std::stop_source stop;
            QList<QByteArray> sent;
            auto trasher = [&](const ListedFile &file) {
                if ((sent << file.path).size() == stopAfter)
                    stop.request_stop();
                return trash::TrashResult{file.path != "b", u"busy"_s, {}};
            };
            QList<ListedFile> files;
            for (const char *path : {"a", "b", "a", "c"})
                files.append({path, 0, {}});
            if (stopAfter == 0)
                stop.request_stop();
            std::atomic<quint64> done{0};
            const DeletionOutcome outcome =
                twinsift::deleteFiles(files, trasher, stop.get_token(), &done);
            const QByteArray moved[]{"a c", "", "a"};
            QCOMPARE(outcome.moved.join(' '), moved[stopAfter + 1]);
            QCOMPARE(outcome.failures.size(), stopAfter < 0 ? 1 : 0);
            QCOMPARE(done.load(), stopAfter < 0 ? 4u : quint64(stopAfter));
            QCOMPARE(outcome.stopped, stopAfter >= 0);
        }
        QCOMPARE(failureMessage({{"/x", u"busy"_s}}).section(u'\n', 1), u"/x: busy"_s);
    }

    void messagesAndStart()
    {
        const QStringList lines{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QCOMPARE(Messages::namedList(u"H"_s, lines.mid(0, 3), 3), u"H\n1\n2\n3"_s);
        QCOMPARE(Messages::namedList(u"H"_s, lines, 3), u"H\n1\n2\n3\nand 2 more."_s);
        const QString home = m_dir.path();
        const auto choose = [&home](const QString &drive, const QString &profile) {
            // It looks at the disk, so it runs off the GUI thread as the start job runs it.
            return std::async(std::launch::async, StartFolder::choose, drive, profile, home).get();
        };
        StartFolder start = choose(u"/"_s, u"."_s);
        QCOMPARE(start.drive + start.folder + start.note, u"/"_s + QDir::currentPath());
        start = choose({}, {}); // as on every Linux desktop: nothing to say
        QCOMPARE(start.folder + start.note, home);
        start = choose({}, u"/nonexistent/p"_s);
        QCOMPARE(start.folder, home);
        QCOMPARE(start.note,
                 u"Starting in %1: USERPROFILE (/nonexistent/p) is not a folder."_s.arg(home));
    }

    // The user's keyword file is made empty, with its folder, when missing; one beside the
    // program never is; one that is there is never changed, nor is a folder taken for it.
    void keywordFileReady()
    {
        QFile kept(m_dir.filePath(u"kept"_s));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("REMIX\n") && kept.flush());
        const struct {
            const char *file, *user;
            bool ready;
            QByteArray content;
        } cases[]{{"p/K.txt", "c/K.txt", false, {}},
                  {"c/t/K.txt", "c/t/K.txt", true, ""},
                  {"kept", "kept", true, "REMIX\n"},
                  {"kept/K", "kept/K", false, {}},
                  {"c", "c", false, {}}};
        for (const auto &c : cases) {
            const QString file = m_dir.filePath(QString::fromLatin1(c.file));
            QCOMPARE(keywordfile::ready(file, m_dir.filePath(QString::fromLatin1(c.user))),
                     c.ready);
            QFile made(file);
            QCOMPARE(made.open(QIODevice::ReadOnly) ? made.readAll() : QByteArray(), c.content);
        }
    }

    // The tree's folders, read off the GUI thread: hidden ones, links and files left out, in
    // the order a person counts; a folder read again shows what changed and keeps what is open
    // below it; one that cannot be read says why; the way down to a folder is read from its
    // volume's root without following a link.
    void folderModel()
    {
        const QString root = m_dir.filePath(u"tree"_s);
        for (const char *folder : {"b10", "B2", "a/x", "a/y", ".hidden", "gone"})
            QVERIFY(QDir().mkpath(root + u'/' + QLatin1StringView(folder)));
        QVERIFY(QFile(root + u"/f"_s).open(QIODevice::WriteOnly) &&
                QFile::link(root + u"/a"_s, root + u"/link"_s));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        FolderModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRootPath(root);
        const auto shown = [&model](const QModelIndex &parent) {
            QStringList names;
            for (int row = 0; row < model.rowCount(parent); ++row)
                names << model.index(row, 0, parent).data().toString();
            return names.join(u' ');
        };
        QCOMPARE(shown({}), u"Reading..."_s);
        model.fetchMore({});
        QTRY_COMPARE(shown({}), u"a B2 b10 gone"_s);
        QCOMPARE(model.index(0, 0).data(Qt::DecorationRole).typeId(), QMetaType::QIcon);
        QTRY_COMPARE(shown(model.index(root + u"/a"_s)), u"x y"_s);
        const QPersistentModelIndex opened = model.index(root + u"/a/x"_s);
        QVERIFY(QDir(root).rmdir(u"gone"_s) && QDir(root).mkpath(u"c/d"_s));
        model.reread({});
        QTRY_COMPARE(shown({}), u"a B2 b10 c"_s);
        QCOMPARE(model.filePath(opened), root + u"/a/x"_s);
        const QModelIndex gone = model.index(root + u"/B2"_s);
        QVERIFY(QDir(root).rmdir(u"B2"_s));
        model.reread(gone);
        QTRY_COMPARE(shown(gone), u"Cannot be read: No such file or directory"_s);
        QCOMPARE(model.flags(model.index(0, 0, gone)) & Qt::ItemIsEnabled, Qt::NoItemFlags);

        const auto listings = FolderModel::readDown(root, root + u"/a/x"_s);
        QVERIFY(FolderModel::readDown(root, root + u"/link/x"_s).back().error != 0);
        FolderModel fresh;
        QVERIFY(fresh.rowCount() == 0 && !fresh.canFetchMore({})); // no root yet: nothing to read
        fresh.setRootPath(root);
        fresh.adopt(root + u"/a/x"_s, listings);
        QCOMPARE(fresh.filePath(fresh.index(root + u"/a/x"_s)), root + u"/a/x"_s);
        QVERIFY(!fresh.index(m_dir.path()).isValid() && !fresh.canFetchMore(fresh.index(0, 0)));
        QLocale::setDefault(QLocale::c());
    }

    // Cells come from the column table; ticks live on the number only; sorts are stable.
    void model()
    {
        ResultModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setLocale(QLocale::c());
        model.setColumns(ListMode::Search, columns::listing());
        model.appendFiles({{1, "/d/f1", 3, 9000, {9, 1, 9000, 5}, 3},
                           {2, "/d/caf\xe9", 3, 1500, {}, 0},
                           {3, "/d/f3", 3, 999, {}, 0},
                           {4, "/d/f4", 3, 9000, {}, 0}});
        QCOMPARE(texts(model, 1), u"2|caf\uFFFD|1.5 KB|/d/caf\uFFFD|Size"_s);
        QCOMPARE(model.pathCell(1), "/d/caf\xe9"_ba);
        QCOMPARE(model.index(0, 3).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                 int(Qt::AlignRight));
        const QPersistentModelIndex second(model.index(1, 1));
        model.sortRows(SortKind::Size, Qt::AscendingOrder);
        QCOMPARE(numbers(model), u"3 2 1 4"_s);
        model.sortRows(SortKind::Size, Qt::DescendingOrder);
        model.sortRows(SortKind::Similarity, Qt::AscendingOrder); // not for files: no change
        QCOMPARE(numbers(model), u"1 4 2 3"_s);
        QCOMPARE(model.number(second.row()), 2u);
        QSignalSpy checks(&model, &ResultModel::itemCheck);
        QVERIFY(!model.setData(model.index(0, 1), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(3, 0), Qt::Checked, Qt::CheckStateRole));
        model.setChecked(0, true);
        QCOMPARE(checks, QList<QVariantList>{{3}});
        QCOMPARE(model.tickedPaths(), (QList<QByteArray>{"/d/f1", "/d/f3"}));
        const ListedFile first = model.tickedFiles().front();
        QCOMPARE(first.identity, (FileIdentity{9, 1, 9000, 5}));
        QCOMPARE(first.rootLength, 3);
        QVERIFY(!model.tickedFiles().back().identity.isKnown());
        auto paths = [](std::initializer_list<QByteArray> list) {
            return std::make_shared<const std::vector<QByteArray>>(list);
        };
        QVERIFY(model.appendPairs(paths({"/a", "/b"}), {{0, 1, 1, 87}})); // never into a listing
        QCOMPARE(model.rowCount(), 4);

        model.setColumns(ListMode::Duplicate, columns::pairs());
        QVERIFY(model.appendPairs(paths({"/a", "/b"}), {{0, 1, 1, 87}}));
        QVERIFY(model.appendPairs(paths({"/c", "/d", "/e"}), {{0, 2, 2, 100}, {1, 2, 3, 9}}));
        model.sortRows(SortKind::Similarity, Qt::AscendingOrder);
        QCOMPARE(texts(model, 0) + model.toolTipText(1).section(u'\n', 0, 0),
                 u"3|/d|/e|9|Similarity(%)/a  <--->  /b"_s);
        // Compared, a fifth column sorts same first; clearing takes it away.
        model.setVerdicts({3, 1},
                          {{ContentVerdict::Kind::Same}, {ContentVerdict::Kind::Different}});
        model.setVerdicts({3}, {{}}); // a compare stopped before the pair keeps its verdict
        model.sortRows(SortKind::Content, Qt::AscendingOrder);
        QCOMPARE(texts(model, 0) + numbers(model), u"3|/d|/e|9|same|Similarity(%)|Content3 1 2"_s);
        model.clearRows();
        QCOMPARE(model.columnCount(), 4);
    }

private:
    // The row's cells but the hash, and the header of the column that sorts.
    static QString texts(const ResultModel &model, int row)
    {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            if (model.columns()[size_t(column)].cell != Cell::Hash)
                cells << model.index(row, column).data().toString();
        for (int column = 0; column < model.columnCount(); ++column)
            if (model.columns()[size_t(column)].sort != SortKind::None)
                cells << model.headerData(column, Qt::Horizontal).toString();
        return cells.join(u'|');
    }
    static QString numbers(const ResultModel &model)
    {
        QStringList numbers;
        for (int row = 0; row < model.rowCount(); ++row)
            numbers << QString::number(model.number(row));
        return numbers.join(u' ');
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"

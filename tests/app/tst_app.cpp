// SPDX-License-Identifier: MIT
// The window's logic without the window: the work runner and its jobs, the result model,
// the start folder, the keyword file that "Edit Keywords" makes, and the message texts.

#include "actions/deletion.h"
#include "app/keywordfile.h"
#include "app/messages.h"
#include "app/resultmodel.h"
#include "app/startfolder.h"
#include "app/workrunner.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace twinsift;
using namespace Qt::StringLiterals;

// Counts to `total`, a step a millisecond, until stopped.
struct Steps : WorkJob {
    explicit Steps(quint64 steps) : total(steps) {}
    ~Steps() override { wait(); }
    Progress progress() const override { return {done.load(), total, u"counting"_s}; }
    void run(std::stop_token stop) override
    {
        for (; done < total && !stop.stop_requested(); ++done)
            QThread::msleep(1);
    }
    std::atomic<quint64> done{0};
    const quint64 total;
};

class TestApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One job at a time, with the busy pointer and the progress shown while it runs; abort
    // ends it early through finished(), shutdown() ends it and tells nothing.
    void workRunner()
    {
        QWidget window;
        QProgressBar bar(&window);
        QLabel label(&window);
        WorkRunner runner(&window, &bar, &label);
        QSignalSpy finished(&runner, &WorkRunner::finished);
        QSignalSpy busy(&runner, &WorkRunner::busyChanged);
        QVERIFY(!runner.abort());
        QVERIFY(runner.start(std::make_unique<Steps>(300)));
        QVERIFY(!runner.start(std::make_unique<Steps>(1)));
        QVERIFY(QGuiApplication::overrideCursor());
        QVERIFY(finished.wait(10000));
        QCOMPARE(busy, (QList<QVariantList>{{true}, {false}}));
        QVERIFY(!runner.isBusy() && !QGuiApplication::overrideCursor());
        QCOMPARE(label.text(), u"counting"_s);
        QCOMPARE(bar.maximum(), 300);

        auto endless = std::make_unique<Steps>(1'000'000);
        const Steps *job = endless.get();
        QVERIFY(runner.start(std::move(endless)));
        QSignalSpy aborting(&runner, &WorkRunner::aborting);
        QVERIFY(runner.abort());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.size(), 2);
        QCOMPARE(finished.back().front().value<WorkJob *>(), job);
        QCOMPARE(aborting.size(), 1);

        QVERIFY(runner.start(std::make_unique<Steps>(1'000'000)));
        runner.shutdown();
        QVERIFY(!runner.isBusy() && !QGuiApplication::overrideCursor());
        QTest::qWait(50);
        QCOMPARE(finished.size(), 2);
    }

    // Each path once, in order; stopped, it ends between two files and keeps what moved.
    void deleteFiles_data()
    {
        QTest::addColumn<int>("stopAfter"); // -1: never
        QTest::addColumn<QString>("moved");
        QTest::addColumn<QString>("failed");
        QTest::addColumn<quint64>("done");
        QTest::newRow("all") << -1 << u"a c"_s << u"b: busy"_s << quint64(4);
        QTest::newRow("stopped before") << 0 << QString() << QString() << quint64(0);
        QTest::newRow("stopped after one") << 1 << u"a"_s << QString() << quint64(1);
    }
    void deleteFiles()
    {
        QFETCH(int, stopAfter);
        QFETCH(QString, moved);
        QFETCH(QString, failed);
        QFETCH(quint64, done);
        std::stop_source stop;
        QList<QByteArray> sent;
        auto trasher = [&](const QByteArray &path) {
            sent << path;
            if (sent.size() == stopAfter)
                stop.request_stop();
            return trash::TrashResult{path != "b", path == "b" ? u"busy"_s : QString()};
        };
        if (stopAfter == 0)
            stop.request_stop();
        std::atomic<quint64> count{0};
        const DeletionOutcome outcome =
            twinsift::deleteFiles({"a", "b", "a", "c"}, trasher, stop.get_token(), &count);
        QCOMPARE(QString::fromLatin1(outcome.moved.join(' ')), moved);
        QStringList failures;
        for (const TrashFailure &failure : outcome.failures)
            failures << QString::fromLatin1(failure.path) + u": "_s + failure.reason;
        QCOMPARE(failures.join(u' '), failed);
        QCOMPARE(outcome.stopped, stopAfter >= 0);
        QCOMPARE(count.load(), done);
    }

    void namedList_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("fewer than shown") << 2 << u"H|1|2"_s;
        QTest::newRow("as many as shown") << 3 << u"H|1|2|3"_s;
        QTest::newRow("more") << 5 << u"H|1|2|3|and 2 more."_s;
    }
    void namedList()
    {
        QFETCH(int, lines);
        QFETCH(QString, text);
        QStringList numbers;
        for (int i = 1; i <= lines; ++i)
            numbers << QString::number(i);
        QCOMPARE(Messages::namedList(u"H"_s, numbers, 3).replace(u'\n', u'|'), text);
    }

    void startFolder_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("home");
        QTest::addColumn<QString>("note");
        const QString box = m_dir.path(), gone = u"/nonexistent/p"_s;
        QTest::newRow("both name folders") << u"/"_s << box << false << QString();
        QTest::newRow("profile unset")
            << u"/"_s << QString() << true << u"USERPROFILE is not set"_s;
        QTest::newRow("profile not a folder")
            << u"/"_s << gone << true << u"USERPROFILE (/nonexistent/p) is not a folder"_s;
        QTest::newRow("drive unset, profile relative")
            << QString() << u"."_s << false << u"HOMEDRIVE is not set: starting in /"_s;
    }
    void startFolder()
    {
        QFETCH(QString, drive);
        QFETCH(QString, profile);
        QFETCH(bool, home);
        QFETCH(QString, note);
        const StartFolder start = StartFolder::choose(drive, profile, m_dir.path());
        QCOMPARE(start.drive, u"/"_s);
        QCOMPARE(start.folder, home ? m_dir.path() : QDir(profile).absolutePath());
        QVERIFY2(note.isEmpty() ? start.note.isEmpty() : start.note.contains(note),
                 qPrintable(start.note));
    }

    // The user's keyword file is made empty, with its folder, when missing; one beside the
    // program never is; one that is there is never changed.
    void keywordFileReady_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<QByteArray>("content"); // null: no file after
        QTest::newRow("beside the program, missing")
            << u"p/K.txt"_s << u"c/K.txt"_s << false << QByteArray();
        QTest::newRow("user's, missing") << u"c/t/K.txt"_s << u"c/t/K.txt"_s << true << ""_ba;
        QTest::newRow("user's, present") << u"kept"_s << u"kept"_s << true << "REMIX\n"_ba;
        QTest::newRow("user's, cannot be made")
            << u"kept/K.txt"_s << u"kept/K.txt"_s << false << QByteArray();
        QTest::newRow("a folder") << u"c"_s << u"c"_s << false << QByteArray();
    }
    void keywordFileReady()
    {
        const QTemporaryDir dir;
        QFile kept(dir.filePath(u"kept"_s));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("REMIX\n") && kept.flush());
        QVERIFY(QDir(dir.path()).mkdir(u"c"_s));
        QFETCH(QString, file);
        QFETCH(QString, user);
        QFETCH(bool, ready);
        QFETCH(QByteArray, content);
        QCOMPARE(keywordfile::ready(dir.filePath(file), dir.filePath(user)), ready);
        QFile made(dir.filePath(file));
        QCOMPARE(made.open(QIODevice::ReadOnly) ? made.readAll() : QByteArray(), content);
    }

    void modelRows()
    {
        ResultModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setLocale(QLocale::c());
        model.setColumns(ListMode::Search, columns::listing());
        model.appendFiles({{1, "/d/f1", 3, 9000},
                           {2, "/d/caf\xe9", 3, 1500},
                           {3, "/d/f3", 3, 999},
                           {4, "/d/f4", 3, 9000}});
        QCOMPARE(texts(model, 1), u"2|caf\uFFFD|1.5 KB|/d/caf\uFFFD"_s);
        QCOMPARE(model.pathCell(1), "/d/caf\xe9"_ba);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), u"Size"_s);
        QCOMPARE(model.index(0, 3).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                 int(Qt::AlignRight));
        const QPersistentModelIndex second(model.index(1, 1));
        model.sortRows(SortKind::Size, Qt::AscendingOrder); // ties keep their order
        QCOMPARE(numbers(model), u"3 2 1 4"_s);
        model.sortRows(SortKind::Size, Qt::DescendingOrder);
        model.sortRows(SortKind::Similarity, Qt::AscendingOrder); // not for files: no change
        QCOMPARE(numbers(model), u"1 4 2 3"_s);
        QCOMPARE(model.number(second.row()), 2u);

        // Ticks: only the number cell holds one; the user's are reported, the program's not.
        QSignalSpy checks(&model, &ResultModel::itemCheck);
        QVERIFY(!model.setData(model.index(0, 1), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(3, 0), Qt::Checked, Qt::CheckStateRole));
        model.setChecked(0, true);
        QCOMPARE(checks, QList<QVariantList>{{3}});
        QCOMPARE(model.tickedPaths(), (QList<QByteArray>{"/d/f1", "/d/f3"}));
    }

    void modelPairs()
    {
        ResultModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(ListMode::Duplicate, columns::pairs());
        auto paths = [](std::initializer_list<QByteArray> list) {
            return std::make_shared<const std::vector<QByteArray>>(list);
        };
        QVERIFY(model.appendPairs(paths({"/a", "/b"}), {{0, 1, 1, 87}}));
        QVERIFY(model.appendPairs(paths({"/c", "/d", "/e"}), {{0, 2, 2, 100}, {1, 2, 3, 9}}));
        QCOMPARE(texts(model, 2), u"3|/d|/e|9"_s);
        QCOMPARE(model.toolTipText(0), u"/a  <--->  /b"_s);
        model.switchItems(1);
        QCOMPARE(model.pathCell(1) + model.secondPath(1), "/e/c"_ba);
        model.sortRows(SortKind::Similarity, Qt::AscendingOrder);
        QCOMPARE(numbers(model), u"3 1 2"_s);
        model.clearRows();
        QCOMPARE(model.columnCount(), 4);
    }

private:
    static QString texts(const ResultModel &model, int row)
    {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            if (model.columns()[size_t(column)].cell != Cell::Hash)
                cells << model.index(row, column).data().toString();
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

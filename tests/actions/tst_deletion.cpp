// SPDX-License-Identifier: MIT
// Ticks and "&Switch Items", the set of ticked files they keep, and "&Delete": one
// confirmation, the ticked rows' files to a trash of the test's own, a rebuild.

#include "formfixture.h"

#include "view/musicpanel.h"

#include <QHeaderView>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>

using namespace twinsift;
using namespace twinsift::testing;

class TestDeletion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // Before any call into GIO, which reads the variable once.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        // GIO uses the trash under XDG_DATA_HOME only for files on the device of the home
        // folder; elsewhere (a /tmp of its own) it would use one at the top of that device.
        qputenv("HOME", QFile::encodeName(m_home.path()));
    }

    // Each test finds in the trash only what it sent there. QDir cannot remove names that
    // are not UTF-8; find can.
    void cleanup()
    {
        QCOMPARE(
            QProcess::execute(u"find"_s, {m_home.path(), u"-mindepth"_s, u"1"_s, u"-delete"_s}), 0);
    }

    void switchItems_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("sorted"); // by "Similarity(%)", ascending: 83, 91, 91
        QTest::newRow("unticked row") << true << false << false;
        QTest::newRow("ticked row") << true << true << false;
        QTest::newRow("ticked row, sorted elsewhere") << true << true << true;
        QTest::newRow("no row selected: nothing changes") << false << false << false;
    }

    // A row keeps its number, and its entry in the ticked set, wherever a sort puts it; the
    // entry follows the row's File1 through a switch.
    void switchItems()
    {
        QFETCH(bool, selected);
        QFETCH(bool, ticked);
        QFETCH(bool, sorted);
        const Sandbox box({u"report.doc"_s, u"reports.doc"_s, u"reportx.doc"_s}, m_home.path());
        Window w;
        QVERIFY(w.findDuplicates(box.root()));
        QHeaderView *header = w.view()->horizontalHeader();
        for (int click = 0; sorted && click < 2; ++click) // descending first, then ascending
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        const int row = sorted ? 1 : 0;
        QCOMPARE(w.model()->number(row), 1u);
        selected ? w.view()->selectRow(row) : w.view()->clearSelection();
        if (ticked)
            w.clickCheckBox(row);
        using Ticked = QHash<quint64, QByteArray>;
        const Ticked before = w.form.checkedFiles();
        QCOMPARE(before, (ticked ? Ticked{{1, box.raw(u"report.doc"_s)}} : Ticked()));
        QVERIFY(!ticked || w.form.pickedPath() == box.raw(u"report.doc"_s));
        const int playlist = w.child<MusicPanel>("WMPlayer")->playlist()->count();
        const QString asFound = u"1|report.doc|reports.doc|91"_s;

        w.button("cmdSwitchItems")->click();
        if (!selected) {
            QCOMPARE(w.rows({0, 1, 2, 3}, box.root()).value(row), asFound);
            VERIFY_HOLDS(w.child<QLineEdit>("txtSong")->text(), u"Select a pair"_s);
            return;
        }
        QCOMPARE(w.rows({0, 1, 2, 3}, box.root()).value(row), u"1|reports.doc|report.doc|91"_s);
        QCOMPARE(w.form.pickedPath(), box.raw(u"reports.doc"_s));
        QCOMPARE(w.model()->isChecked(row), ticked);
        QCOMPARE(w.form.checkedFiles(), (ticked ? Ticked{{1, box.raw(u"reports.doc"_s)}} : before));
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), playlist);
        w.button("cmdSwitchItems")->click();
        QCOMPARE(w.rows({0, 1, 2, 3}, box.root()).value(row), asFound);
        if (ticked)
            w.clickCheckBox(row);
        QVERIFY(w.form.checkedFiles().isEmpty() && !w.model()->isChecked(row));
    }

    void answers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("ticks");
        QTest::addColumn<QString>("after");
        const QList<int> ticks{1, 2, 4}; // the second file stands in rows 2 and 5
        const QString kept = u"files in 5 columns: 1 .. 6; index 6; ticked %1; idle: Search Dups "
                             "Clear Delete"_s;
        QTest::newRow("yes") << int(QMessageBox::Yes) << ticks
                             << u"files in 5 columns: 1; index 1; ticked none; idle: Search Dups "
                                "Clear Delete"_s;
        QTest::newRow("no") << int(QMessageBox::No) << ticks << kept.arg(u"2 3 5"_s);
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << ticks << kept.arg(u"2 3 5"_s);
        QTest::newRow("yes, nothing ticked")
            << int(QMessageBox::Yes) << QList<int>() << kept.arg(u"none"_s);
    }

    // Deleted, the ticked files are in the trash whatever their names, and the list shows the
    // folder as it is now, numbered from 1, nothing ticked; the path that stood in two ticked
    // rows was moved once and is no failure. Not deleted, the list stays and is not made again.
    void answers()
    {
        QFETCH(int, answer);
        QFETCH(QList<int>, ticks);
        QFETCH(QString, after);
        const Sandbox box({u"a.txt"_s, u"b r\u00e9sum\u00e9 copy.txt"_s}, m_home.path());
        const QByteArray odd = box.raw(u"c caf"_s) + "\xe9.txt"; // not UTF-8
        QCOMPARE(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644)), 0);
        Window w;
        QVERIFY(w.list(box.root()));
        QVERIFY(w.list(box.root()));
        for (const int row : std::as_const(ticks))
            w.clickCheckBox(row);
        // A tick taken back leaves the others as they were; a ticked row records its path.
        w.clickCheckBox(0);
        w.clickCheckBox(0);
        QCOMPARE(w.form.pickedPath(), box.raw(u"a.txt"_s));
        QCOMPARE(w.form.checkedFiles().value(3), ticks.isEmpty() ? QByteArray() : odd);
        w.log->answer = QMessageBox::StandardButton(answer);
        const bool deletes = answer == QMessageBox::Yes && !ticks.isEmpty();

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button("cmdDelete")->click();
        QCOMPARE(w.log->asked.size(), 1);
        const Question &question = w.log->asked[0];
        QCOMPARE(question.title + u": "_s + question.text,
                 u"Confirm: Click *Yes* to delete files"_s);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QVERIFY(!deletes || finished.wait(30000));
        QCOMPARE(w.state(), after);
        const QString names = u"a.txt b r\u00e9sum\u00e9 copy.txt c caf\ufffd.txt"_s;
        QCOMPARE(w.rows({1}).join(u' '), deletes ? u"a.txt"_s : names + u' ' + names);
        for (const QByteArray &path : {box.raw(u"b r\u00e9sum\u00e9 copy.txt"_s), odd}) {
            QCOMPARE(::access(path.constData(), F_OK) == 0, !deletes);
            QCOMPARE(inTrash(path), deletes);
        }
        QVERIFY(w.log->told.isEmpty());
    }

    void onlyFile1OfAPairGoes_data()
    {
        QTest::addColumn<bool>("switched");
        QTest::addColumn<bool>("twice"); // the same File1 ticked in a second pair too
        QTest::newRow("as found") << false << false;
        QTest::newRow("after Switch Items") << true << false;
        QTest::newRow("the same File1 in two ticked pairs goes once") << false << true;
    }

    void onlyFile1OfAPairGoes()
    {
        QFETCH(bool, switched);
        QFETCH(bool, twice);
        const QStringList files{u"report.doc"_s, u"report1.doc"_s, u"reports.doc"_s};
        const Sandbox box(files, m_home.path());
        Window w;
        QVERIFY(w.findDuplicates(box.root()));
        QCOMPARE(
            w.rows({0, 1, 2, 3}, box.root()).mid(0, 2),
            (QStringList{u"1|report.doc|report1.doc|100"_s, u"2|report.doc|reports.doc|91"_s}));
        w.clickRow(0); // ticks "File1" and selects the row
        if (switched)
            w.button("cmdSwitchItems")->click();
        if (twice)
            w.clickCheckBox(1);
        int trashed = 0;
        w.form.setTrasher([&trashed](const QByteArray &path) {
            ++trashed;
            return trash::moveToTrash(path);
        });
        QVERIFY(w.press("cmdDelete"));
        QCOMPARE(trashed, 1);
        const QString gone = switched ? u"report1.doc"_s : u"report.doc"_s;
        for (const QString &name : files)
            QCOMPARE(box.exists(name), name != gone);
        QVERIFY(inTrash(box.raw(gone)));
        QVERIFY(w.log->told.isEmpty());
        // The search ran again over the folder as it is now: the two left are a pair.
        QVERIFY2(w.state().startsWith(u"pairs in 4 columns: 1; "_s), qPrintable(w.state()));
    }

    void whatStandsThereNow_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason"); // told for the changed file, where it stays
        QTest::addColumn<QString>("after");  // the list made again
        const QString gone = u"No such file or directory"_s;
        QTest::newRow("a folder in its place") << "folder"
                                               << "it is a folder now"
                                               << "keep.txt ticked-folder.txt/inside.txt";
        QTest::newRow("a link in its place") << "link"
                                             << ""
                                             << "keep.txt";
        QTest::newRow("new content") << "content"
                                     << ""
                                     << "keep.txt";
        QTest::newRow("gone already") << "gone" << gone << "keep.txt";
        QTest::newRow("the chosen folder goes during the delete") << "folder goes" << gone << "";
    }

    // Ticked are a file the trash refuses, one that goes, and one that changed between the
    // listing and the delete. Whatever stands at a path now goes to the trash, from where it
    // can be restored, or stays where it is: a folder is never moved, and a link goes without
    // what it points to. The files that stay are told in one message, with their reasons.
    // Where the chosen folder goes during the delete, the list cannot be made again, and the
    // failures are told all the same, after the folder's fate.
    void whatStandsThereNow()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        QFETCH(QString, after);
        const QString name = u"ticked-%1.txt"_s.arg(change);
        const Sandbox box({u"keep.txt"_s, u"move.txt"_s, name}, m_home.path());
        const QString ticked = box.path(name), precious = box.dir.filePath(u"precious.txt"_s);
        makeFiles(box.dir.path(), {u"precious.txt"_s});
        Window w;
        QVERIFY(w.list(box.root()));
        for (int row = 0; row < 3; ++row)
            w.clickCheckBox(row);
        const bool folderGoes = change == u"folder goes"_s;
        w.form.setTrasher([&](const QByteArray &path) {
            if (path == box.raw(u"keep.txt"_s))
                return trash::TrashResult{false, u"Permission denied"_s};
            const trash::TrashResult moved = trash::moveToTrash(path);
            if (folderGoes)
                QDir(box.root()).removeRecursively();
            return moved;
        });
        QVERIFY(folderGoes || QFile::remove(ticked));
        QFile file(ticked);
        if (change == u"folder"_s)
            makeFiles(ticked, {u"inside.txt"_s});
        else if (change == u"link"_s)
            QVERIFY(QFile::link(precious, ticked));
        else if (change == u"content"_s)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("rewritten") > 0 && file.flush());

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button("cmdDelete")->click();
        QVERIFY(finished.wait(30000));
        QVERIFY(QFile::exists(precious) && inTrash(box.raw(u"move.txt"_s)));
        const QStringList told = w.told();
        QCOMPARE(told.size(), folderGoes ? 2 : 1);
        QVERIFY(told.back().startsWith(u"Twinsift: "_s));
        VERIFY_HOLDS(told.back(), box.path(u"keep.txt: Permission denied"_s));
        QVERIFY2(!told.back().contains(u"move.txt"_s), qPrintable(told.back()));
        QCOMPARE(told.back().contains(ticked), !reason.isEmpty());
        if (reason.isEmpty())
            QVERIFY(!QFileInfo::exists(ticked) && inTrash(box.raw(name)));
        else
            VERIFY_HOLDS(told.back(), ticked + u": "_s + reason);
        if (folderGoes) {
            VERIFY_HOLDS(told[0], u"no longer exists"_s);
        } else {
            QVERIFY(box.exists(u"keep.txt"_s));
            QCOMPARE(w.rows({4}, box.root()).join(u' '), after);
        }
    }

private:
    QByteArray trash() const { return QFile::encodeName(m_home.filePath(u"data/Trash"_s)); }
    // True when the file that stood at `path` is in the trash, with a record of where it stood.
    bool inTrash(const QByteArray &path) const
    {
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        const QByteArray file = trash() + "/files/" + name;
        QByteArray info(4096, '\0');
        const int fd =
            ::open(QByteArray(trash() + "/info/" + name + ".trashinfo").constData(), O_RDONLY);
        info.truncate(fd < 0 ? 0 : qMax(qsizetype(::read(fd, info.data(), 4096)), qsizetype(0)));
        ::close(fd);
        return ::access(file.constData(), F_OK) == 0 && info.contains("\nDeletionDate=") &&
               info.contains(QByteArray("\nPath=" + path.toPercentEncoding("/") + '\n'));
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(TestDeletion)
#include "tst_deletion.moc"

// SPDX-License-Identifier: MIT
// Ticks and "&Switch Items", the set of ticked files they keep, and "&Delete": one
// confirmation, the ticked rows' files to a trash of the test's own, a rebuild.

#include "formfixture.h"

#include <QMenu>
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
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        // The home trash takes the files on the home folder's device; /tmp may be another.
        qputenv("HOME", QFile::encodeName(m_home.path()));
    }

    // Each test finds in the trash only what it sent there. QDir cannot remove names that
    // are not UTF-8; find can.
    void cleanup()
    {
        QCOMPARE(
            QProcess::execute(u"find"_s, {m_home.path(), u"-mindepth"_s, u"1"_s, u"-delete"_s}), 0);
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
        // It says how many files will go, and names them.
        VERIFY_HOLDS(question.informative, ticks.isEmpty() ? u"Nothing is ticked"_s : u"2 file"_s);
        const QStringList named{box.path(u"b r\u00e9sum\u00e9 copy.txt"_s),
                                box.path(u"c caf\ufffd.txt"_s)};
        QCOMPARE(question.detail.split(u'\n', Qt::SkipEmptyParts),
                 ticks.isEmpty() ? QStringList() : named);
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

    // The copies ticked by a rule (switched into "File1" where needed), unticked and ticked
    // again, go to the trash; Ctrl+Z brings them back and makes the list again, once.
    void tickTheCopiesDeleteAndRestore()
    {
        const QStringList files{u"budget - Copy.doc"_s, u"budget.doc"_s, u"photo.jpg"_s,
                                u"photo_copy.jpg"_s};
        const Sandbox box(files, m_home.path());
        Window w;
        QVERIFY(w.findDuplicates(box.root()));
        QAction *copies = w.child<QMenu>("tickRules")->actions().front();
        QCOMPARE(copies->text(), u"The &Copy"_s);
        const auto tickCopies = [&] {
            QSignalSpy done(&w.form, &Form1::workFinished);
            copies->trigger(); // the rule reads the files off the GUI thread
            return done.wait(30000);
        };
        QVERIFY(tickCopies());
        w.child<QAction>("untickAll")->trigger();
        QVERIFY(w.form.checkedFiles().isEmpty() && !w.model()->isChecked(0));
        QVERIFY(tickCopies());
        VERIFY_HOLDS(w.child<QLineEdit>("txtSong")->text(), u"Ticked 2 file"_s);
        QCOMPARE(w.rows({0, 1, 2}, box.root()), (QStringList{u"1|budget - Copy.doc|budget.doc"_s,
                                                             u"2|photo_copy.jpg|photo.jpg"_s}));
        QCOMPARE(w.form.checkedFiles().value(2), box.raw(u"photo_copy.jpg"_s));
        // "&Switch Items" on a ticked row: the entry follows "File1".
        w.view()->selectRow(1);
        w.button("cmdSwitchItems")->click();
        QCOMPARE(w.form.checkedFiles().value(2), box.raw(u"photo.jpg"_s));
        QCOMPARE(w.form.pickedPath(), box.raw(u"photo.jpg"_s));
        w.button("cmdSwitchItems")->click();
        QVERIFY(w.press("cmdDelete"));
        VERIFY_HOLDS(w.child<QLineEdit>("txtSong")->text(), u"Ctrl+Z"_s);
        QCOMPARE(w.model()->rowCount(), 0);

        QSignalSpy finished(&w.form, &Form1::workFinished);
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(finished.wait(30000));
        for (const QString &name : files)
            QVERIFY(box.exists(name) && !inTrash(box.raw(name)));
        QCOMPARE(w.model()->rowCount(), 2);
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier); // nothing left to restore
        QVERIFY(!w.form.isWorking());
        QVERIFY(w.log->told.isEmpty());
    }

    void whatStandsThereNow_data()
    {
        QTest::addColumn<bool>("folderGoes");
        QTest::newRow("the list made again") << false;
        QTest::newRow("the chosen folder goes during the delete") << true;
    }

    // Ticked are a file the trash refuses, one that goes, and three changed since the
    // listing: a folder took one's place (never moved), a link another's (it goes, without
    // what it points to), and one is gone. Those that could not go are told in one message,
    // with what happened. Where the chosen folder goes during the delete, the list cannot be
    // made again, and the failures are told all the same, after the folder's fate.
    void whatStandsThereNow()
    {
        QFETCH(bool, folderGoes);
        const Sandbox box(
            {u"folder.txt"_s, u"gone.txt"_s, u"keep.txt"_s, u"link.txt"_s, u"move.txt"_s},
            m_home.path());
        const QString precious = box.dir.filePath(u"precious.txt"_s);
        makeFiles(box.dir.path(), {u"precious.txt"_s});
        Window w;
        QVERIFY(w.list(box.root()));
        for (int row = 0; row < 5; ++row)
            w.clickCheckBox(row);
        trash::Session session;
        w.form.setTrasher([&](const ListedFile &file) {
            if (file.path == box.raw(u"keep.txt"_s))
                return trash::TrashResult{false, u"Permission denied"_s, {}};
            const trash::TrashResult moved = session.moveToTrash(file);
            if (folderGoes && file.path == box.raw(u"move.txt"_s))
                QDir(box.root()).removeRecursively();
            return moved;
        });
        for (const QString &name : {u"folder.txt"_s, u"gone.txt"_s, u"link.txt"_s})
            QVERIFY(QFile::remove(box.path(name)));
        makeFiles(box.path(u"folder.txt"_s), {u"inside.txt"_s});
        QVERIFY(QFile::link(precious, box.path(u"link.txt"_s)));

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button("cmdDelete")->click();
        QVERIFY(finished.wait(30000));
        // The link made since the listing is not the one listed: it stays.
        QVERIFY(QFile::exists(precious) && inTrash(box.raw(u"move.txt"_s)) &&
                !inTrash(box.raw(u"link.txt"_s)));
        const QStringList told = w.told();
        QCOMPARE(told.size(), folderGoes ? 2 : 1);
        for (const QString &line :
             {u"Twinsift: 4 file"_s, u"keep.txt: Permission denied"_s,
              u"link.txt: it "_s, // replaced, or changed where its inode came back
              u"gone.txt: it is no longer there"_s, u"folder.txt: it is a folder now"_s})
            VERIFY_HOLDS(told.back(), line);
        QVERIFY(!told.back().contains(u"move.txt"_s));
        if (folderGoes)
            VERIFY_HOLDS(told[0], u"no longer exists"_s);
        else
            QCOMPARE(w.rows({4}, box.root()).join(u' '),
                     u"folder.txt/inside.txt keep.txt link.txt"_s);
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

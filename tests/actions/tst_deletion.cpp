// SPDX-License-Identifier: MIT
// "&Delete": one confirmation, the ticked rows' files to a trash of the test's own, a rebuild.

#include "formfixture.h"

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
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        // GIO uses the trash under XDG_DATA_HOME only for files on the device of the home
        // folder; elsewhere (a /tmp of its own) it would use one at the top of that device.
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", QFile::encodeName(m_home.path()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>(m_home.filePath(QStringLiteral("tree-XXXXXX")));
        QVERIFY(m_dir->isValid());
    }

    void answers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("no") << int(QMessageBox::No) << false;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
    }

    void answers()
    {
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        makeFiles(root(), {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")});
        Window w;
        QVERIFY(w.list(root()));
        QVERIFY(w.list(root())); // b.txt stands in rows 2 and 5
        w.clickCheckBox(1);
        w.clickCheckBox(2);
        w.clickCheckBox(4);
        w.log->answer = QMessageBox::StandardButton(answer);

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdDelete")->click();
        QCOMPARE(w.log->asked.size(), 1);
        const Question &question = w.log->asked.front();
        QCOMPARE(question.title, QStringLiteral("Confirm"));
        QCOMPARE(question.text, QStringLiteral("Click *Yes* to delete files"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);

        if (!deleted) {
            QVERIFY(QFile::exists(root() + QStringLiteral("/b.txt")));
            QVERIFY(QFile::exists(root() + QStringLiteral("/c.txt")));
            QCOMPARE(w.model()->rowCount(), 6);
            QCOMPARE(w.form.checkedFiles().keys().size(), 3);
            QVERIFY(w.model()->isChecked(4));
            QVERIFY(!w.form.isWorking());
            return;
        }
        QVERIFY(finished.wait(30000));
        QVERIFY(!QFile::exists(root() + QStringLiteral("/b.txt")));
        QVERIFY(!QFile::exists(root() + QStringLiteral("/c.txt")));
        QVERIFY(inTrash("b.txt"));
        QVERIFY(inTrash("c.txt"));
        // The list shows the folder as it is now, numbered from 1, nothing ticked; the path
        // that stood in two ticked rows was moved once and is no failure.
        QCOMPARE(w.model()->rowCount(), 1);
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));
        QCOMPARE(w.cell(0, 1), QStringLiteral("a.txt"));
        QVERIFY(w.form.checkedFiles().isEmpty());
        QVERIFY(w.log->told.isEmpty());
    }

    void nothingTickedDeletesNothing()
    {
        makeFiles(root(), {QStringLiteral("a.txt")});
        Window w;
        QVERIFY(w.list(root()));
        w.child<QPushButton>("cmdDelete")->click();
        QCOMPARE(w.log->asked.size(), 1);
        QVERIFY(!w.form.isWorking()); // no rebuild
        QCOMPARE(w.model()->rowCount(), 1);
        QVERIFY(QFile::exists(root() + QStringLiteral("/a.txt")));
    }

    void onlyFile1OfAPairGoes_data()
    {
        QTest::addColumn<bool>("switched");
        QTest::newRow("as found") << false;
        QTest::newRow("after Switch Items") << true;
    }

    void onlyFile1OfAPairGoes()
    {
        QFETCH(bool, switched);
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc")});
        Window w;
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 1);
        w.clickRow(0); // picks "File1" and selects the row
        if (switched)
            w.child<QPushButton>("cmdSwitchItems")->click();
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdDelete")->click();
        QVERIFY(finished.wait(30000));
        const QString gone = switched ? QStringLiteral("reports.doc") : QStringLiteral("report.doc");
        const QString kept = switched ? QStringLiteral("report.doc") : QStringLiteral("reports.doc");
        QVERIFY(!QFile::exists(root() + u'/' + gone));
        QVERIFY(QFile::exists(root() + u'/' + kept));
        QVERIFY(inTrash(gone.toUtf8()));
        // The search ran again over the folder as it is now.
        QCOMPARE(w.form.listMode(), ListMode::Duplicate);
        QCOMPARE(w.model()->rowCount(), 0);
    }

    void failuresAreNamedAndTheFilesStay()
    {
        makeFiles(root(), {QStringLiteral("keep.txt"), QStringLiteral("move.txt"),
                           QStringLiteral("vanished.txt")});
        Window w;
        QVERIFY(w.list(root()));
        for (int row = 0; row < 3; ++row)
            w.clickCheckBox(row);
        const QByteArray refused = QFile::encodeName(root() + QStringLiteral("/keep.txt"));
        w.form.setTrasher([refused](const QByteArray &path) {
            if (path == refused)
                return trash::TrashResult{false, QStringLiteral("Permission denied")};
            return trash::moveToTrash(path);
        });
        QVERIFY(QFile::remove(root() + QStringLiteral("/vanished.txt")));

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdDelete")->click();
        QVERIFY(finished.wait(30000));
        QVERIFY(QFile::exists(root() + QStringLiteral("/keep.txt")));
        QVERIFY(!QFile::exists(root() + QStringLiteral("/move.txt")));
        QCOMPARE(w.model()->rowCount(), 1);
        QCOMPARE(w.cell(0, 1), QStringLiteral("keep.txt"));
        QCOMPARE(w.log->told.size(), 1);
        const QString message = w.log->told.front().text;
        QVERIFY2(message.contains(root() + QStringLiteral("/keep.txt: Permission denied")),
                 qPrintable(message));
        QVERIFY2(message.contains(root() + QStringLiteral("/vanished.txt")), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("move.txt")), qPrintable(message));
        QCOMPARE(w.log->told.front().title, QStringLiteral("Twinsift"));
    }

    void changedSinceListing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("told");

        QTest::newRow("a folder in its place") << "folder" << "it is a folder now";
        QTest::newRow("a link in its place") << "link" << "";
        QTest::newRow("new content") << "content" << "";
    }

    // The ticked file changed between the listing and the delete. Whatever stands at its path
    // now goes to the trash, from where it can be restored, or stays where it is; a folder
    // is never moved, and a link goes without what it points to.
    void changedSinceListing()
    {
        QFETCH(QString, change);
        QFETCH(QString, told);
        const QString name = QStringLiteral("ticked-%1.txt").arg(change);
        makeFiles(root(), {QStringLiteral("keep.txt"), name});
        const QString ticked = root() + u'/' + name;
        const QString precious = m_home.filePath(QStringLiteral("precious.txt"));
        makeFiles(m_home.path(), {QStringLiteral("precious.txt")});
        Window w;
        QVERIFY(w.list(root()));
        w.clickCheckBox(1);
        QVERIFY(QFile::remove(ticked));
        if (change == QStringLiteral("folder")) {
            makeFiles(ticked, {QStringLiteral("inside.txt")});
        } else if (change == QStringLiteral("link")) {
            QVERIFY(QFile::link(precious, ticked));
        } else {
            QFile file(ticked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("rewritten");
        }

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdDelete")->click();
        QVERIFY(finished.wait(30000));
        QVERIFY(QFile::exists(precious));
        QVERIFY(QFile::exists(root() + QStringLiteral("/keep.txt")));
        if (told.isEmpty()) {
            QVERIFY(w.log->told.isEmpty());
            QVERIFY(!QFileInfo::exists(ticked));
            QVERIFY(inTrash(name.toUtf8()));
            QCOMPARE(w.model()->rowCount(), 1);
        } else {
            QCOMPARE(w.log->told.size(), 1);
            QVERIFY2(w.log->told.front().text.contains(ticked + QStringLiteral(": ") + told),
                     qPrintable(w.log->told.front().text));
            QVERIFY(QFile::exists(ticked + QStringLiteral("/inside.txt")));
            // The rebuilt list shows what the folder holds now.
            QCOMPARE(w.model()->rowCount(), 2);
            QCOMPARE(w.cell(1, 4), ticked + QStringLiteral("/inside.txt"));
        }
    }

    // The same "File1" in two ticked pairs: it goes to the trash once, and the second row is
    // no failure to tell.
    void oneFileInTwoTickedPairs()
    {
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("report1.doc"),
                           QStringLiteral("reports.doc")});
        Window w;
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 3);
        const QString shared = root() + QStringLiteral("/report.doc");
        int ticks = 0;
        for (int row = 0; row < w.model()->rowCount(); ++row) {
            if (w.cell(row, 1) == shared) {
                w.clickCheckBox(row);
                ++ticks;
            }
        }
        QCOMPARE(ticks, 2);
        int trashed = 0;
        w.form.setTrasher([&trashed](const QByteArray &path) {
            ++trashed;
            return trash::moveToTrash(path);
        });
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdDelete")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(trashed, 1);
        QVERIFY(inTrash("report.doc"));
        QVERIFY(w.log->told.isEmpty());
        QCOMPARE(w.model()->rowCount(), 1); // report1.doc and reports.doc remain a pair
    }

    // The chosen folder goes away while the files are sent to the trash: the rebuild cannot
    // start, and the files that stayed are told all the same, with the folder's fate.
    void folderGoneDuringDelete()
    {
        const QString folder = root() + QStringLiteral("/chosen");
        makeFiles(folder, {QStringLiteral("busy.txt"), QStringLiteral("moved-first.txt")});
        Window w;
        QVERIFY(w.list(folder));
        w.clickCheckBox(0);
        w.clickCheckBox(1);
        const QByteArray first = QFile::encodeName(folder + QStringLiteral("/busy.txt"));
        w.form.setTrasher([&](const QByteArray &path) {
            if (path == first)
                return trash::TrashResult{false, QStringLiteral("Device or resource busy")};
            const trash::TrashResult moved = trash::moveToTrash(path);
            QDir(folder).removeRecursively();
            return moved;
        });
        w.child<QPushButton>("cmdDelete")->click();
        QVERIFY(!w.form.isWorking());
        QCOMPARE(w.log->told.size(), 2);
        QVERIFY2(w.log->told[0].text.contains(QStringLiteral("no longer exists")),
                 qPrintable(w.log->told[0].text));
        QVERIFY2(w.log->told[1].text.contains(QString::fromUtf8(first) +
                                              QStringLiteral(": Device or resource busy")),
                 qPrintable(w.log->told[1].text));
        QVERIFY(inTrash("moved-first.txt"));
    }

private:
    QString root() const { return m_dir->path(); }
    bool inTrash(const QByteArray &name) const
    {
        const QByteArray base = QFile::encodeName(m_home.filePath(QStringLiteral("data/Trash")));
        const QByteArray file = base + "/files/" + name;
        const QByteArray info = base + "/info/" + name + ".trashinfo";
        return ::access(file.constData(), F_OK) == 0 && ::access(info.constData(), F_OK) == 0;
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestDeletion)
#include "tst_deletion.moc"

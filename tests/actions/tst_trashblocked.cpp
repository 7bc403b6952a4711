// SPDX-License-Identifier: MIT
// "&Delete" when the trash cannot be written: the files stay, the window says why, and the
// list is made again. A program of its own, as GIO reads where the trash is only once.

#include "formfixture.h"

#include <QDirIterator>

using namespace twinsift;
using namespace twinsift::testing;

class TestTrashBlocked : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // The trash would be made below a regular file: that cannot be.
        makeFiles(m_home.path(), {QStringLiteral("blocker")});
        qputenv("XDG_DATA_HOME",
                QFile::encodeName(m_home.filePath(QStringLiteral("blocker/data"))));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", QFile::encodeName(m_home.path()));
    }

    void nothingIsLostAndTheReasonIsTold_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("rows");

        QTest::newRow("file list") << QByteArray("cmdSearch") << 3;
        QTest::newRow("pair list") << QByteArray("cmdDups") << 1;
    }

    void nothingIsLostAndTheReasonIsTold()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, rows);
        const QString tree = m_home.filePath(QStringLiteral("tree"));
        QDir(tree).removeRecursively();
        makeFiles(tree, {QStringLiteral("notes.txt"), QStringLiteral("report.doc"),
                         QStringLiteral("reports.doc")});
        Window w;
        QVERIFY(w.run(button.constData(), tree));
        QCOMPARE(w.model()->rowCount(), rows);
        for (int row = 0; row < rows; ++row)
            w.clickCheckBox(row);

        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdDelete")->click();
        QVERIFY(finished.wait(30000));

        for (const char *name : {"notes.txt", "report.doc", "reports.doc"})
            QVERIFY2(QFile::exists(tree + u'/' + QString::fromLatin1(name)), name);
        QCOMPARE(w.log->told.size(), 1);
        const QString message = w.log->told.front().text;
        QCOMPARE(w.log->told.front().icon, QMessageBox::Warning);
        QVERIFY2(message.contains(QStringLiteral("could not be moved to the trash and ")),
                 qPrintable(message));
        QVERIFY2(message.contains(tree + QStringLiteral("/report.doc: Unable to create trash")),
                 qPrintable(message));
        // Made again, unticked, from what is on disk: every file is still listed.
        QCOMPARE(w.model()->rowCount(), rows);
        QVERIFY(w.form.checkedFiles().isEmpty());
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));
        // No trash was made anywhere under the test's home instead.
        QDirIterator trashes(m_home.path(), {QStringLiteral("*Trash*")},
                             QDir::AllEntries | QDir::Hidden, QDirIterator::Subdirectories);
        QVERIFY2(!trashes.hasNext(), qPrintable(trashes.hasNext() ? trashes.next() : QString()));
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestTrashBlocked)
#include "tst_trashblocked.moc"

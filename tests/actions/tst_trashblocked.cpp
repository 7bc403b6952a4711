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
        makeFiles(m_home.path(), {u"blocker"_s});
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"blocker/data"_s)));
        qputenv("HOME", QFile::encodeName(m_home.path()));
    }

    void nothingIsLostAndTheReasonIsTold_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("rows");
        QTest::newRow("file list") << "cmdSearch"_ba << 3;
        QTest::newRow("pair list") << "cmdDups"_ba << 1;
    }

    void nothingIsLostAndTheReasonIsTold()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, rows);
        const QStringList files{u"notes.txt"_s, u"report.doc"_s, u"reports.doc"_s};
        const Sandbox box(files, m_home.path());
        Window w;
        QVERIFY(w.run(button, box.root()));
        QCOMPARE(w.model()->rowCount(), rows);
        for (int row = 0; row < rows; ++row)
            w.clickCheckBox(row);
        QVERIFY(w.press("cmdDelete"));

        for (const QString &name : files)
            QVERIFY2(box.exists(name), qPrintable(name));
        QCOMPARE(w.log->told.size(), 1);
        QCOMPARE(w.log->told.front().icon, QMessageBox::Warning);
        VERIFY_HOLDS(w.told().front(), u"could not be moved to the trash:"_s);
        VERIFY_HOLDS(w.told().front(), box.path(u"report.doc: the trash cannot be written"_s));
        // Made again, unticked, from what is on disk: every file is still listed.
        QCOMPARE(w.model()->rowCount(), rows);
        QVERIFY(w.form.checkedFiles().isEmpty());
        QCOMPARE(w.cell(0, 0), u"1"_s);
        // No trash was made anywhere under the test's home instead.
        QDirIterator trashes(m_home.path(), {u"*Trash*"_s}, QDir::AllEntries | QDir::Hidden,
                             QDirIterator::Subdirectories);
        QVERIFY2(!trashes.hasNext(), qPrintable(trashes.hasNext() ? trashes.next() : QString()));
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestTrashBlocked)
#include "tst_trashblocked.moc"

// SPDX-License-Identifier: MIT
// Ticking, unticking and "&Switch Items", and the set of ticked files they keep.

#include "formfixture.h"

#include "view/musicpanel.h"

#include <QHeaderView>

using namespace twinsift;
using namespace twinsift::testing;

class TestCheckMarks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", QFile::encodeName(m_dir->path()));
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc"),
                           QStringLiteral("reportx.doc")});
    }

    void tickThenUntickRestores()
    {
        Window w;
        QVERIFY(w.list(root()));
        w.clickCheckBox(0);
        const QHash<quint64, QByteArray> before = w.form.checkedFiles();
        w.clickCheckBox(2);
        QCOMPARE(w.form.checkedFiles().value(3), path("reportx.doc"));
        QVERIFY(w.model()->isChecked(2));
        w.clickCheckBox(2);
        QVERIFY(!w.model()->isChecked(2));
        QCOMPARE(w.form.checkedFiles(), before);
        QCOMPARE(w.form.pickedPath(), path("reportx.doc"));
    }

    void aPairRecordsFile1()
    {
        Window w;
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 3);
        w.clickCheckBox(2); // reports.doc / reportx.doc
        QCOMPARE(w.form.checkedFiles().value(3), path("reports.doc"));
        QCOMPARE(w.form.pickedPath(), path("reports.doc"));
    }

    void switching_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("unticked row") << false;
        QTest::newRow("ticked row") << true;
    }

    void switching()
    {
        QFETCH(bool, ticked);
        Window w;
        QVERIFY(w.findDuplicates(root()));
        w.view()->selectRow(0);
        if (ticked)
            w.clickCheckBox(0);
        const auto before = w.form.checkedFiles();
        const int playlist = w.child<MusicPanel>("WMPlayer")->playlist()->count();

        w.child<QPushButton>("cmdSwitchItems")->click();
        QCOMPARE(w.cell(0, 1), root() + QStringLiteral("/reports.doc"));
        QCOMPARE(w.cell(0, 2), root() + QStringLiteral("/report.doc"));
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));
        QCOMPARE(w.form.pickedPath(), path("reports.doc"));
        QCOMPARE(w.model()->isChecked(0), ticked);
        if (ticked)
            QCOMPARE(w.form.checkedFiles(), (QHash<quint64, QByteArray>{{1, path("reports.doc")}}));
        else
            QCOMPARE(w.form.checkedFiles(), before);
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), playlist);

        w.child<QPushButton>("cmdSwitchItems")->click();
        QCOMPARE(w.cell(0, 1), root() + QStringLiteral("/report.doc"));
        QCOMPARE(w.cell(0, 2), root() + QStringLiteral("/reports.doc"));
    }

    void switchingWithoutASelectionChangesNothing()
    {
        Window w;
        QVERIFY(w.findDuplicates(root()));
        w.view()->clearSelection();
        w.child<QPushButton>("cmdSwitchItems")->click();
        QCOMPARE(w.cell(0, 1), root() + QStringLiteral("/report.doc"));
        QVERIFY(!w.child<QLineEdit>("txtSong")->text().isEmpty());
    }

    void sortedRowsKeepTheirEntries()
    {
        Window w;
        QVERIFY(w.findDuplicates(root()));
        QHeaderView *header = w.view()->horizontalHeader();
        // A click on "Similarity(%)" sorts; the row numbered 3 may stand anywhere.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        const int row = w.rowOf(3);
        QVERIFY(row >= 0);
        w.view()->selectRow(row);
        w.clickCheckBox(row);
        QCOMPARE(w.form.checkedFiles().keys(), QList<quint64>{3});
        w.child<QPushButton>("cmdSwitchItems")->click();
        QCOMPARE(w.form.checkedFiles().value(3), w.model()->pathCell(row));
        QCOMPARE(w.form.checkedFiles().size(), 1);
        w.clickCheckBox(row);
        QVERIFY(w.form.checkedFiles().isEmpty());
    }

private:
    QString root() const { return m_dir->filePath(QStringLiteral("tree")); }
    QByteArray path(const char *name) const
    {
        return QFile::encodeName(root()) + '/' + name;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestCheckMarks)
#include "tst_checkmarks.moc"

// SPDX-License-Identifier: MIT
// The result list's model, checked by QAbstractItemModelTester through every change.

#include "app/resultmodel.h"
#include "dups/duplicatesearch.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace twinsift;

namespace {

ListingRow fileRow(quint64 number, const QByteArray &folder, const QByteArray &name, qint64 size)
{
    return {number, folder + name, folder.size(), size};
}

QList<ColumnSpec> listing()
{
    QList<ColumnSpec> columns;
    for (const QString &text : listingColumns())
        columns.append({text, 100, Qt::AlignLeft});
    return columns;
}

QList<ColumnSpec> pairs()
{
    QList<ColumnSpec> columns;
    for (const QString &text : pairColumns())
        columns.append({text, 100, Qt::AlignLeft});
    return columns;
}

ResultModel::Paths paths(std::initializer_list<const char *> list)
{
    auto vector = std::make_shared<std::vector<QByteArray>>();
    for (const char *path : list)
        vector->emplace_back(path);
    return vector;
}

} // namespace

class TestResultModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_model = std::make_unique<ResultModel>();
        m_model->setLocale(QLocale::c());
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void fileRowsShowTheirCells()
    {
        m_model->setColumns(ListMode::Search, listing());
        std::vector<ListingRow> rows;
        rows.push_back(fileRow(1, "/d/", "report.doc", 1500));
        rows.push_back(fileRow(2, "/d/", QByteArray("caf\xe9.txt"), 5));
        m_model->appendFiles(std::move(rows));
        QCOMPARE(m_model->rowCount(), 2);
        QCOMPARE(m_model->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(m_model->index(0, 1).data().toString(), QStringLiteral("report.doc"));
        QCOMPARE(m_model->index(0, 2).data().toString(), QStringLiteral("1.5 KB"));
        QCOMPARE(m_model->index(0, 4).data().toString(), QStringLiteral("/d/report.doc"));
        QCOMPARE(m_model->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        // A name that is not UTF-8 is shown readable and kept as its bytes.
        QCOMPARE(m_model->index(1, 1).data().toString(), QStringLiteral("caf\uFFFD.txt"));
        QCOMPARE(m_model->pathCell(1), QByteArray("/d/caf\xe9.txt"));
        QCOMPARE(m_model->toolTipText(0), QStringLiteral("/d/report.doc"));
    }

    void pairRowsResolveTheirSearchesPaths()
    {
        m_model->setColumns(ListMode::Duplicate, pairs());
        const auto first = paths({"/a/x.jpg", "/b/x.jpg"});
        const auto second = paths({"/c/y.doc", "/d/y.doc", "/e/ys.doc"});
        QVERIFY(m_model->appendPairs(first, {{0, 1, 1, 100}}));
        QVERIFY(m_model->appendPairs(second, {{0, 2, 2, 91}, {1, 2, 3, 91}}));
        QCOMPARE(m_model->rowCount(), 3);
        QCOMPARE(m_model->index(0, 1).data().toString(), QStringLiteral("/a/x.jpg"));
        QCOMPARE(m_model->index(2, 1).data().toString(), QStringLiteral("/d/y.doc"));
        QCOMPARE(m_model->index(2, 2).data().toString(), QStringLiteral("/e/ys.doc"));
        QCOMPARE(m_model->index(2, 3).data().toString(), QStringLiteral("91"));
        QCOMPARE(m_model->toolTipText(0), QStringLiteral("/a/x.jpg  <--->  /b/x.jpg"));

        m_model->switchItems(2);
        QCOMPARE(m_model->pathCell(2), QByteArray("/e/ys.doc"));
        QCOMPARE(m_model->secondPath(2), QByteArray("/d/y.doc"));
        QCOMPARE(m_model->number(2), 3u);
        m_model->switchItems(2);
        QCOMPARE(m_model->pathCell(2), QByteArray("/d/y.doc"));
    }

    void userTicksAreReportedProgramTicksAreNot()
    {
        m_model->setColumns(ListMode::Search, listing());
        std::vector<ListingRow> rows;
        rows.push_back(fileRow(1, "/d/", "a", 1));
        rows.push_back(fileRow(2, "/d/", "b", 1));
        m_model->appendFiles(std::move(rows));
        QSignalSpy checks(m_model.get(), &ResultModel::itemCheck);

        QVERIFY(m_model->setData(m_model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(checks.size(), 1);
        QCOMPARE(checks.front().front().toInt(), 1);
        QVERIFY(m_model->isChecked(1));

        m_model->setChecked(0, true);
        QCOMPARE(checks.size(), 1);
        QVERIFY(m_model->isChecked(0));
        QVERIFY(!m_model->setData(m_model->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(m_model->flags(m_model->index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(m_model->flags(m_model->index(0, 1)) & Qt::ItemIsUserCheckable));
    }

    void sortsBySizeAsNumbers_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<quint64>>("numbers");

        // 9 KB, 10 KB, 15 MB, 999, 10 KB (a tie keeps the rows' order).
        QTest::newRow("ascending") << int(Qt::AscendingOrder) << QList<quint64>{4, 1, 2, 5, 3};
        QTest::newRow("descending") << int(Qt::DescendingOrder) << QList<quint64>{3, 2, 5, 1, 4};
    }

    void sortsBySizeAsNumbers()
    {
        QFETCH(int, order);
        QFETCH(QList<quint64>, numbers);
        m_model->setColumns(ListMode::Search, listing());
        std::vector<ListingRow> rows;
        const qint64 sizes[] = {9000, 10000, 15000000, 999, 10000};
        for (quint64 n = 1; n <= 5; ++n)
            rows.push_back(fileRow(n, "/d/", "f" + QByteArray::number(n), sizes[n - 1]));
        m_model->appendFiles(std::move(rows));
        const QPersistentModelIndex third(m_model->index(2, 1));

        m_model->sortRows(ResultModel::SortKey::Size, Qt::SortOrder(order));
        QList<quint64> sorted;
        for (int row = 0; row < m_model->rowCount(); ++row)
            sorted << m_model->number(row);
        QCOMPARE(sorted, numbers);
        QCOMPARE(third.data().toString(), QStringLiteral("f3"));

        // A key that does not apply to file rows changes nothing.
        m_model->sortRows(ResultModel::SortKey::Similarity, Qt::AscendingOrder);
        QCOMPARE(m_model->number(0), numbers.front());
    }

    void sortsBySimilarityAsNumbers()
    {
        m_model->setColumns(ListMode::Duplicate, pairs());
        const auto list = paths({"/a", "/b", "/c"});
        QVERIFY(m_model->appendPairs(list, {{0, 1, 1, 87}, {0, 2, 2, 100}, {1, 2, 3, 9}}));
        m_model->sortRows(ResultModel::SortKey::Similarity, Qt::AscendingOrder);
        QCOMPARE(m_model->index(0, 3).data().toString(), QStringLiteral("9"));
        QCOMPARE(m_model->index(1, 3).data().toString(), QStringLiteral("87"));
        QCOMPARE(m_model->index(2, 3).data().toString(), QStringLiteral("100"));
        QCOMPARE(m_model->number(2), 2u);
        QCOMPARE(m_model->pathCell(2), QByteArray("/a"));
        QCOMPARE(m_model->secondPath(2), QByteArray("/c"));
    }

    void clearingKeepsColumns()
    {
        m_model->setColumns(ListMode::Duplicate, pairs());
        QVERIFY(m_model->appendPairs(paths({"/a", "/b"}), {{0, 1, 1, 100}}));
        m_model->clearRows();
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_model->columnCount(), 4);
        m_model->clearRows();
        QVERIFY(m_model->appendPairs(paths({"/c", "/d"}), {{0, 1, 1, 50}}));
        QCOMPARE(m_model->pathCell(0), QByteArray("/c"));
        m_model->setColumns(ListMode::Search, listing());
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_model->columnCount(), 5);
    }

private:
    std::unique_ptr<ResultModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

QTEST_GUILESS_MAIN(TestResultModel)
#include "tst_resultmodel.moc"

// SPDX-License-Identifier: MIT
// The result list's model, checked by QAbstractItemModelTester through every change.

#include "app/resultmodel.h"
#include "dups/duplicatesearch.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace twinsift;

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
        appendFiles({{"report.doc", 1500}, {"caf\xe9.txt", 5}});
        QCOMPARE(m_model->rowCount(), 2);
        QCOMPARE(texts(0, {0, 1, 2, 4}), QStringLiteral("1|report.doc|1.5 KB|/d/report.doc"));
        QCOMPARE(m_model->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m_model->toolTipText(0), QStringLiteral("/d/report.doc"));
        // A name that is not UTF-8 is shown readable and kept as its bytes.
        QCOMPARE(texts(1, {1}), QStringLiteral("caf\uFFFD.txt"));
        QCOMPARE(m_model->pathCell(1), QByteArray("/d/caf\xe9.txt"));
    }

    void pairRowsResolveTheirSearchesPaths()
    {
        appendPairs({"/a/x.jpg", "/b/x.jpg"}, {{0, 1, 1, 100}});
        appendPairs({"/c/y.doc", "/d/y.doc", "/e/ys.doc"}, {{0, 2, 2, 91}, {1, 2, 3, 91}});
        QCOMPARE(m_model->rowCount(), 3);
        QCOMPARE(texts(0, {1}), QStringLiteral("/a/x.jpg"));
        QCOMPARE(texts(2, {1, 2, 3}), QStringLiteral("/d/y.doc|/e/ys.doc|91"));
        QCOMPARE(m_model->toolTipText(0), QStringLiteral("/a/x.jpg  <--->  /b/x.jpg"));
        m_model->switchItems(2);
        QCOMPARE(m_model->pathCell(2) + '|' + m_model->secondPath(2),
                 QByteArray("/e/ys.doc|/d/y.doc"));
        QCOMPARE(m_model->number(2), 3u);
        m_model->switchItems(2);
        QCOMPARE(m_model->pathCell(2), QByteArray("/d/y.doc"));
    }

    void userTicksAreReportedProgramTicksAreNot()
    {
        appendFiles({{"a", 1}, {"b", 1}});
        QSignalSpy checks(m_model.get(), &ResultModel::itemCheck);
        QVERIFY(m_model->setData(m_model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(checks.size(), 1);
        QCOMPARE(checks[0], QVariantList{1});
        QVERIFY(m_model->isChecked(1));
        m_model->setChecked(0, true);
        QCOMPARE(checks.size(), 1);
        QVERIFY(m_model->isChecked(0));
        QVERIFY(!m_model->setData(m_model->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(m_model->flags(m_model->index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(m_model->flags(m_model->index(0, 1)) & Qt::ItemIsUserCheckable));
    }

    // Sizes 9 KB, 10 KB, 15 MB, 999, 10 KB: a tie keeps the rows' order. Rows move whole: a
    // persistent index follows its row.
    void sortsFilesBySizeAsNumbers()
    {
        appendFiles({{"f1", 9000}, {"f2", 10000}, {"f3", 15000000}, {"f4", 999}, {"f5", 10000}});
        const QPersistentModelIndex second(m_model->index(1, 1));
        m_model->sortRows(ResultModel::SortKey::Size, Qt::AscendingOrder);
        QCOMPARE(numbers(), (QList<quint64>{4, 1, 2, 5, 3}));
        m_model->sortRows(ResultModel::SortKey::Size, Qt::DescendingOrder);
        QCOMPARE(numbers(), (QList<quint64>{3, 2, 5, 1, 4}));
        // A key that does not apply to file rows changes nothing.
        m_model->sortRows(ResultModel::SortKey::Similarity, Qt::AscendingOrder);
        QCOMPARE(numbers(), (QList<quint64>{3, 2, 5, 1, 4}));
        QCOMPARE(second.data().toString(), QStringLiteral("f2"));
        QCOMPARE(m_model->number(second.row()), 2u);
    }

    void sortsPairsBySimilarityAsNumbers()
    {
        appendPairs({"/a", "/b", "/c"}, {{0, 1, 1, 87}, {0, 2, 2, 100}, {1, 2, 3, 9}});
        m_model->sortRows(ResultModel::SortKey::Similarity, Qt::AscendingOrder);
        QCOMPARE(numbers(), (QList<quint64>{3, 1, 2}));
        QCOMPARE(texts(0, {3}) + u' ' + texts(1, {3}) + u' ' + texts(2, {3}),
                 QStringLiteral("9 87 100"));
        QCOMPARE(m_model->pathCell(2) + '|' + m_model->secondPath(2), QByteArray("/a|/c"));
    }

    void clearingKeepsColumns()
    {
        appendPairs({"/a", "/b"}, {{0, 1, 1, 100}});
        m_model->clearRows();
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_model->columnCount(), 4);
        m_model->clearRows();
        QVERIFY(m_model->appendPairs(paths({"/c", "/d"}), {{0, 1, 1, 50}}));
        QCOMPARE(m_model->pathCell(0), QByteArray("/c"));
        m_model->setColumns(ListMode::Search, columns(listingColumns()));
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_model->columnCount(), 5);
    }

private:
    static QList<ColumnSpec> columns(const QStringList &texts)
    {
        QList<ColumnSpec> made;
        for (const QString &text : texts)
            made.append({text, 100, Qt::AlignLeft});
        return made;
    }
    static ResultModel::Paths paths(std::initializer_list<QByteArray> list)
    {
        return std::make_shared<std::vector<QByteArray>>(list);
    }
    // File rows numbered from 1, all in the folder "/d/", under the listing's columns.
    void appendFiles(std::initializer_list<std::pair<QByteArray, qint64>> files)
    {
        m_model->setColumns(ListMode::Search, columns(listingColumns()));
        std::vector<ListingRow> rows;
        for (const auto &[name, size] : files)
            rows.push_back({rows.size() + 1, QByteArray("/d/" + name), 3, size});
        m_model->appendFiles(std::move(rows));
    }
    void appendPairs(std::initializer_list<QByteArray> list, const std::vector<PairIndices> &pairs)
    {
        if (m_model->kind() != ListMode::Duplicate)
            m_model->setColumns(ListMode::Duplicate, columns(pairColumns()));
        QVERIFY(m_model->appendPairs(paths(list), pairs));
    }
    QList<quint64> numbers() const
    {
        QList<quint64> numbers;
        for (int row = 0; row < m_model->rowCount(); ++row)
            numbers << m_model->number(row);
        return numbers;
    }
    QString texts(int row, std::initializer_list<int> columns) const
    {
        QStringList cells;
        for (const int column : columns)
            cells << m_model->index(row, column).data().toString();
        return cells.join(u'|');
    }

    std::unique_ptr<ResultModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

QTEST_GUILESS_MAIN(TestResultModel)
#include "tst_resultmodel.moc"

// SPDX-License-Identifier: MIT
// The workers behind "&List Files" and "&Find Duplicates": numbering on, the row limit.

#include "app/listingjob.h"
#include "app/searchjob.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace twinsift;

class TestJobs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name : {"report.doc", "reports.doc", "report1.doc", "other.txt"}) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void listingNumbersOnFromTheIndex()
    {
        ListingJob job(QFile::encodeName(m_dir.path()), 10);
        QSignalSpy finished(&job, &ListingJob::finished);
        job.start();
        QVERIFY(finished.wait(30000));
        const std::vector<ListingRow> rows = job.takeRows();
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows.front().number, 11u);
        QCOMPARE(rows.back().number, 14u);
        QCOMPARE(job.outcome().files, 4u);
        QVERIFY(job.takeRows().empty());
    }

    void pairsPastTheLimitAreCountedNotListed_data()
    {
        QTest::addColumn<quint64>("rowsBefore");
        QTest::addColumn<quint64>("maxRows");
        QTest::addColumn<quint64>("listed");

        QTest::newRow("room for all") << quint64(0) << quint64(100) << quint64(3);
        QTest::newRow("room for two") << quint64(0) << quint64(2) << quint64(2);
        QTest::newRow("the list is full already") << quint64(5) << quint64(5) << quint64(0);
    }

    void pairsPastTheLimitAreCountedNotListed()
    {
        QFETCH(quint64, rowsBefore);
        QFETCH(quint64, maxRows);
        QFETCH(quint64, listed);
        SearchJob job(QFile::encodeName(m_dir.path()), KeywordList(), 60, rowsBefore, rowsBefore,
                      maxRows);
        QSignalSpy finished(&job, &SearchJob::finished);
        job.start();
        QVERIFY(finished.wait(30000));
        const SearchJob::Result &result = job.result();
        QVERIFY(result.searched);
        QCOMPARE(result.stats.candidates, 4u);
        QCOMPARE(result.stats.pairs, 3u);
        QCOMPARE(result.listed, listed);
        const std::vector<PairIndices> pairs = job.takePairs();
        QCOMPARE(pairs.size(), size_t(listed));
        for (size_t i = 0; i < pairs.size(); ++i) {
            QCOMPARE(pairs[i].number, quint32(rowsBefore + i + 1));
            QVERIFY(pairs[i].first < job.paths()->size());
            QVERIFY(pairs[i].second < job.paths()->size());
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestJobs)
#include "tst_jobs.moc"

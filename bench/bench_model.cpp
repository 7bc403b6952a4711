// SPDX-License-Identifier: MIT
// The result list at scale: a listing of 1,000,000 files and a pair list of 5,000,000 rows,
// appended in the window's batches, sorted, ticked, and drawn by the view at the top, the
// middle and the end. Prints the slowest batch, the sort and paint times, and the memory
// each pair row costs. Run with QT_QPA_PLATFORM=offscreen where there is no display.
// Usage: bench_model [FILES] [PAIRS]; NO_VIEW=1 leaves the view out, to weigh the model alone.

#include "actions/tickrules.h"
#include "app/batchqueue.h"
#include "app/resultmodel.h"
#include "view/resultview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>

using namespace twinsift;

namespace {

constexpr size_t kBatch = BatchQueue<int>::kBatch; // as the window's jobs hand rows over

long rssKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

// Bytes of the heap in use, large blocks included: exact where the resident size hides memory
// freed and reused.
qint64 heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Draws the visible rows at three places; returns the slowest paint in ms.
double paintAround(ResultView &view, int rows)
{
    double slowest = 0;
    if (!view.model())
        return slowest;
    for (int row : {0, rows / 2, rows - 1}) {
        view.scrollTo(view.model()->index(row, 0));
        QElapsedTimer timer;
        timer.start();
        view.viewport()->grab();
        slowest = std::max(slowest, ms(timer));
    }
    return slowest;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const int pairs = argc > 2 ? std::atoi(argv[2]) : 5'000'000;

    ResultModel model;
    ResultView view;
    if (!qEnvironmentVariableIsSet("NO_VIEW"))
        view.setModel(&model);
    view.resize(520, 420);
    QElapsedTimer timer;

    // The pairs first, so that no memory freed before muddles what they cost. One search's
    // paths are shared by all rows.
    const int candidates = 100'000;
    const qint64 heapBefore = heapBytes();
    auto paths = std::make_shared<std::vector<QByteArray>>();
    paths->reserve(candidates);
    auto identities = std::make_shared<IdentityList>();
    identities->reserve(candidates);
    for (int i = 0; i < candidates; ++i) {
        paths->push_back("/home/someone/Music/artist " + QByteArray::number(i) +
                         (i % 2 ? " copy.mp3" : ".mp3"));
        identities->append({2049, quint64(1000 + i), 4'000'000 + i, 1'700'000'000'000'000'000});
    }
    const double candidateBytes = double(heapBytes() - heapBefore) / candidates;
    model.setColumns(ListMode::Duplicate, columns::pairs());
    const long before = rssKiB();
    double slowestBatch = 0;
    for (int done = 0; done < pairs;) {
        std::vector<PairIndices> batch;
        for (size_t k = 0; k < kBatch && done < pairs; ++k, ++done)
            batch.push_back({quint32(done % candidates), quint32((done + 1) % candidates),
                             quint32(done + 1), quint8(61 + done % 40)});
        timer.start();
        model.appendPairs(paths, batch, identities, 14);
        slowestBatch = std::max(slowestBatch, ms(timer));
    }
    const long grown = rssKiB() - before;
    timer.start();
    model.sortRows(SortKind::Similarity, Qt::AscendingOrder);
    const double sortPairs = ms(timer);
    timer.start();
    model.setData(model.index(pairs - 1, 0), Qt::Checked, Qt::CheckStateRole);
    const double tickPairs = ms(timer);
    timer.start();
    model.switchItems(pairs / 2);
    const double switchPairs = ms(timer);
    const double paintPairs = paintAround(view, pairs);

    // A tick rule over every pair: the rows as the rules see them, the rule's view of each
    // file, the safe plan (the paths form one ring of pairs), and the model's one update.
    int repaints = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&repaints] { ++repaints; });
    timer.start();
    const ResultModel::PairGraph graph = model.pairGraph();
    const double graphMs = ms(timer);
    timer.start();
    const std::vector<qint64> keys = tickrules::keys(tickrules::Rule::Copy, graph.files);
    const double keysMs = ms(timer);
    timer.start();
    const tickrules::Plan plan = tickrules::plan(graph.rows, keys);
    const double planMs = ms(timer);
    timer.start();
    model.applyTicks(plan.actions);
    const double applyMs = ms(timer);
    std::printf(
        "rule \"The Copy\": %lld pairs ticked, %lld left alone; rows %.1f ms, "
        "keys of %zu files %.1f ms, plan %.1f ms, model %.1f ms (%d update), total %.1f ms\n",
        qlonglong(plan.pairs), qlonglong(plan.leftAlone), graphMs, graph.files.size(), keysMs,
        planMs, applyMs, repaints, graphMs + keysMs + planMs + applyMs);
    std::printf("pairs: %d rows, slowest batch %.2f ms, sort by similarity %.1f ms, tick %.3f ms, "
                "switch %.3f ms, paint %.1f ms, %.1f bytes a row, %.1f bytes a candidate\n",
                pairs, slowestBatch, sortPairs, tickPairs, switchPairs, paintPairs,
                1024.0 * double(grown) / pairs, candidateBytes);

    // The listing.
    model.setColumns(ListMode::Search, columns::listing());
    slowestBatch = 0;
    const qint64 listingBefore = heapBytes();
    for (int done = 0; done < files;) {
        std::vector<ListingRow> batch;
        for (size_t k = 0; k < kBatch && done < files; ++k, ++done) {
            QByteArray path =
                "/home/someone/Pictures/2024/holiday " + QByteArray::number(done) + ".jpg";
            const qint64 size = (done * 7919LL) % 5'000'000;
            batch.push_back({quint64(done + 1), path, 28, size,
                             FileIdentity{2049, quint64(done), size, 1'700'000'000'000'000'000},
                             23});
        }
        timer.start();
        model.appendFiles(std::move(batch));
        slowestBatch = std::max(slowestBatch, ms(timer));
    }
    const double fileBytes = double(heapBytes() - listingBefore) / files;
    timer.start();
    model.sortRows(SortKind::Size, Qt::DescendingOrder);
    const double sortFiles = ms(timer);
    timer.start();
    model.setData(model.index(files / 2, 0), Qt::Checked, Qt::CheckStateRole);
    const double tickFiles = ms(timer);
    const double paintFiles = paintAround(view, files);
    std::printf("listing: %d rows, slowest batch %.2f ms, sort by size %.1f ms, tick %.3f ms, "
                "paint %.1f ms, %.1f bytes a row\n",
                files, slowestBatch, sortFiles, tickFiles, paintFiles, fileBytes);
    return 0;
}

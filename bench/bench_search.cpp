// SPDX-License-Identifier: MIT
// Times the duplicate search against the plain pair loop on generated, realistic names.
// Two baselines: the loop as designed (pair lists built afresh for every comparison), and the
// same loop with the allocation-free scoring that the engine uses, which is the fairer one.
// Usage: bench_search [--no-designed | --fast-only] [--from LISTING] [N...]
//   (default: 20000 100000 generated names; with --from, the names of a listing's paths)

#include "dups/duplicatesearch.h"
#include "dups/genmodules.h"
#include "names.h"
#include "plainsearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

using namespace twinsift;

namespace {

long statusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = field;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return 0;
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Lets the next VmHWM reading show the peak from here on.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    bool designed = true;
    bool plain = true; // without either baseline, for profiling the search alone
    QList<QByteArray> listed;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--from" && i + 1 < argc) {
            QFile file(QString::fromLocal8Bit(argv[++i]));
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            listed = file.readAll().split('\n');
            listed.removeAll(QByteArray());
        } else if (QByteArray(argv[i]) == "--no-designed")
            designed = false;
        else if (QByteArray(argv[i]) == "--fast-only")
            designed = plain = false;
        else
            sizes.append(QByteArray(argv[i]).toInt());
    }
    if (sizes.isEmpty())
        sizes = listed.isEmpty() ? QList<int>{20000, 100000} : QList<int>{int(listed.size())};
    const int percent = 60;

    std::printf("%8s %11s %11s %10s %9s %9s %10s %5s %9s\n", "n", "designed s", "plain s", "fast s",
                "ratio d", "ratio p", "pairs", "same", "fast cpu");
    for (int n : sizes) {
        NameGenerator names(42);
        std::vector<reference::Candidate> candidates;
        for (qsizetype next = 0; int(candidates.size()) < n;) {
            QString name;
            if (listed.isEmpty())
                name = names.next();
            else if (next < listed.size())
                name = QFile::decodeName(listed[next++].split('/').back());
            else
                break;
            QString stem = genModules::lettersOnly(name);
            if (stem.size() > 1)
                candidates.push_back({std::move(stem), genModules::extUpper(name)});
        }

        FileRecords records;
        for (const auto &c : candidates)
            records.append(QByteArray(QByteArray("/home/someone/Pictures/2024/") + c.stem.toUtf8()),
                           28, c.stem, c.ext);
        resetPeak();
        const long before = statusKiB("VmRSS:");
        quint64 fastCount = 0, fastSum = 0;
        QElapsedTimer timer;
        const double cpuBefore = cpuSeconds();
        timer.start();
        const SearchStats stats =
            findDuplicates(records, percent, [&](quint32 a, quint32 b, int pct) {
                ++fastCount;
                fastSum = fastSum * 31 + a * 7 + b * 3 + quint64(pct);
            });
        const double fastSeconds = double(timer.nsecsElapsed()) / 1e9;
        const double fastCpu = cpuSeconds() - cpuBefore;
        const long searchKiB = statusKiB("VmHWM:") - before;

        const auto checksum = [](const std::vector<reference::Pair> &pairs) {
            quint64 sum = 0;
            for (const auto &p : pairs)
                sum = sum * 31 + p.first * 7 + p.second * 3 + quint64(p.percent);
            return sum;
        };
        timer.restart();
        const auto fair = plain ? reference::plainPairs(candidates, percent,
                                                        [](const QString &x, const QString &y) {
                                                            return genModules::commonPairs(x, y);
                                                        })
                                : std::vector<reference::Pair>{};
        const double plainSeconds = double(timer.nsecsElapsed()) / 1e9;
        bool same = !plain || (fair.size() == fastCount && checksum(fair) == fastSum);

        double designedSeconds = 0;
        if (designed) {
            timer.restart();
            const auto literal = reference::plainPairs(candidates, percent);
            designedSeconds = double(timer.nsecsElapsed()) / 1e9;
            same = same && literal == fair;
        }

        std::printf("%8d %11.3f %11.3f %10.4f %9.1f %9.1f %10llu %5s %9.4f\n", n, designedSeconds,
                    plainSeconds, fastSeconds, designedSeconds / fastSeconds,
                    plainSeconds / fastSeconds, static_cast<unsigned long long>(stats.pairs),
                    same ? "yes" : "NO", fastCpu);
        std::printf("%8s search peak beyond the candidate table: %ld KiB, %.0f bytes a candidate\n",
                    "", searchKiB, 1024.0 * double(searchKiB) / n);
        std::fflush(stdout);
        if (!same)
            return 1;
    }
    return 0;
}

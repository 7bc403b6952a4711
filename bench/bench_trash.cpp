// SPDX-License-Identifier: MIT
// Deleting many ticked files: makes FILES files (10,000 by default) in 100 folders under
// WORK_DIR, lists them as the window does, and times one delete of them all into a home
// trash inside WORK_DIR, then the restore. Best of RUNS (3) runs.
// Usage: bench_trash WORK_DIR [FILES]

#include "actions/deletion.h"
#include "actions/restore.h"
#include "listing/listing.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

using namespace twinsift;

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_trash WORK_DIR [FILES]\n");
        return 2;
    }
    const QString work = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int files = argc > 2 ? std::atoi(argv[2]) : 10'000;
    const int runs = qEnvironmentVariableIsSet("RUNS") ? qEnvironmentVariableIntValue("RUNS") : 3;
    qputenv("XDG_DATA_HOME", QFile::encodeName(work + QStringLiteral("/data")));
    double bestDelete = 1e30, bestRestore = 1e30;
    for (int run = 0; run < runs; ++run) {
        QDir(work).removeRecursively();
        for (int i = 0; i < files; ++i) {
            const QString folder = work + QStringLiteral("/tree/folder %1").arg(i % 100);
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/report %1 (1).doc").arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write("copy\n") != 5)
                return 1;
        }
        QList<ListedFile> listed;
        RunningIndex index;
        RecurseFiles2(QFile::encodeName(work + QStringLiteral("/tree")), index,
                      [&](ListingRow &&row) {
                          listed.append({row.path, row.rootLength, row.identity});
                      });
        QElapsedTimer timer;
        timer.start();
        trash::Session session;
        const DeletionOutcome outcome =
            deleteFiles(listed, [&](const ListedFile &file) { return session.moveToTrash(file); });
        bestDelete = std::min(bestDelete, double(timer.nsecsElapsed()) / 1e6);
        if (outcome.moved.size() != files)
            return 1;
        timer.start();
        const RestoreOutcome back = restoreAll(outcome.trashed);
        bestRestore = std::min(bestRestore, double(timer.nsecsElapsed()) / 1e6);
        if (back.restored != files)
            return 1;
    }
    std::printf("%d files: delete %.0f ms, restore %.0f ms (best of %d)\n", files, bestDelete,
                bestRestore, runs);
    QDir(work).removeRecursively();
    return 0;
}

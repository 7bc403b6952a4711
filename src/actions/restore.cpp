// SPDX-License-Identifier: MIT
#include "restore.h"

#include "app/namedlist.h"
#include "listing/rawname.h"

#include <QCoreApplication>
#include <QSet>

namespace twinsift {

namespace {
constexpr qsizetype kNamedFiles = 10;
}

RestoreOutcome restoreAll(const QList<trash::TrashedFile> &files)
{
    RestoreOutcome outcome;
    QStringList lines;
    qsizetype stayed = 0, gone = 0;
    for (const trash::TrashedFile &file : files) {
        const trash::RestoreResult result = trash::restore(file);
        outcome.restored += result.status == trash::RestoreResult::Restored ? 1 : 0;
        stayed += result.status == trash::RestoreResult::InTrash ? 1 : 0;
        gone += result.status == trash::RestoreResult::Gone ? 1 : 0;
        if (result.error.isEmpty())
            continue;
        lines << QStringLiteral("%1: %2").arg(rawname::display(file.path), result.error);
    }
    // Trash folders made for this deletion go again once nothing is left in them.
    QSet<QByteArray> swept;
    for (const trash::TrashedFile &file : files) {
        if (file.made != 0 && !swept.contains(file.trashDir)) {
            swept.insert(file.trashDir);
            trash::removeEmptyMade(file);
        }
    }
    if (lines.isEmpty())
        return outcome;
    lines = namedlist::firstOf(lines, kNamedFiles);
    // Only files still in the trash are said to be left there; a file another program took
    // out of the trash, or one back whose record could not be dropped, is told apart.
    QStringList heads;
    if (stayed > 0)
        heads << QCoreApplication::translate("twinsift", "Left in the trash: %Ln file(s)", nullptr,
                                             int(stayed));
    if (gone > 0)
        heads << QCoreApplication::translate("twinsift", "No longer in the trash: %Ln file(s)",
                                             nullptr, int(gone));
    if (heads.isEmpty())
        heads << QCoreApplication::translate("twinsift", "The files are back, but:");
    lines.prepend(heads.join(QStringLiteral("; ")));
    outcome.message = lines.join(u'\n');
    return outcome;
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "restore.h"

#include "app/namedlist.h"
#include "listing/rawname.h"

#include <QCoreApplication>

namespace twinsift {

namespace {
constexpr qsizetype kNamedFiles = 10;
}

RestoreOutcome restoreAll(const QList<trash::TrashedFile> &files)
{
    RestoreOutcome outcome;
    QStringList lines;
    qsizetype stayed = 0;
    for (const trash::TrashedFile &file : files) {
        const trash::RestoreResult result = trash::restore(file);
        outcome.restored += result.restored ? 1 : 0;
        stayed += result.restored ? 0 : 1;
        if (result.error.isEmpty())
            continue;
        lines << QStringLiteral("%1: %2").arg(rawname::display(file.path), result.error);
    }
    if (lines.isEmpty())
        return outcome;
    lines = namedlist::firstOf(lines, kNamedFiles);
    // A file can be back while its record could not be dropped: that is told, but not as
    // a file left in the trash.
    lines.prepend(stayed > 0
                      ? QCoreApplication::translate("twinsift", "Left in the trash: %n file(s)",
                                                    nullptr, int(stayed))
                      : QCoreApplication::translate("twinsift", "The files are back, but:"));
    outcome.message = lines.join(u'\n');
    return outcome;
}

} // namespace twinsift

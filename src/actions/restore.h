// SPDX-License-Identifier: MIT
#pragma once

#include "trash.h"

#include <QList>

namespace twinsift {

struct RestoreOutcome {
    int restored = 0;
    // One message naming every file that stays in the trash, and why; empty when none.
    QString message;
};

// Puts the files of one deletion back where they were. A file whose place is taken, whose
// folder is gone or was replaced, or whose trash record is missing, damaged or names another
// path stays in the trash; trash folders made for the deletion and empty again are removed.
RestoreOutcome restoreAll(const QList<trash::TrashedFile> &files);

} // namespace twinsift

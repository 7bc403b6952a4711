// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace twinsift::keywordfile {

// Where an installed program, whose own folder the user cannot write, keeps the keyword file.
QString userFile();

// True when the keyword file `file` is there to be opened by "Edit Keywords". In the user's
// configuration (`file` == `user`) nothing may have made it yet: an empty one is made there,
// with its folder, so that the editor opens a file the user may change and save. Beside the
// program the build makes it; a missing one stays missing. A file that is there is never
// changed.
bool ready(const QString &file, const QString &user = userFile());

} // namespace twinsift::keywordfile

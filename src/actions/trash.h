// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Sends files to the desktop's trash (the freedesktop trash that file managers and
// trash-restore read), so that every removal the program makes can be undone.
namespace twinsift::trash {

struct TrashResult {
    bool moved = false;
    QString error; // why the file is still in place, for people
};

// `path` is the raw bytes of the path as the walk read them, so that exactly the file that
// was listed is the one moved, whatever its name's encoding. Only files and links are
// moved: a folder that has taken a listed file's place is left alone.
TrashResult moveToTrash(const QByteArray &path);

} // namespace twinsift::trash

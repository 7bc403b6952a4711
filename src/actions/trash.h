// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Sends files to the desktop's trash (the freedesktop trash that file managers and
// trash-restore read), so that every removal the program makes can be undone, and takes
// them back out. Entries are written here rather than by GIO: GIO does not say under which
// name it kept a file, and it cannot keep a file whose name fills the file system's limit.
namespace twinsift::trash {

// Where one trashed file went: `trashDir` holds `files/keptName` and
// `info/keptName.trashinfo`.
struct TrashedFile {
    QByteArray path;
    QByteArray trashDir;
    QByteArray keptName;
};

struct TrashResult {
    bool moved = false;
    QString error; // what happened, for people; never claims where the file is
    TrashedFile entry;
};

// `path` is the raw bytes of the path as the walk read them, so that exactly the file that
// was listed is the one moved, whatever its name's encoding. Only files and links are
// moved: a folder that has taken a listed file's place is left alone. Files on the home
// folder's file system go to the home trash, others to their volume's trash.
TrashResult moveToTrash(const QByteArray &path);

struct RestoreResult {
    bool restored = false;
    QString error; // why the file stays in the trash
};

// Puts the file back at its path, never over anything, and then drops its trash record.
RestoreResult restore(const TrashedFile &entry);

} // namespace twinsift::trash

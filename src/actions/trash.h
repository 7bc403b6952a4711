// SPDX-License-Identifier: MIT
#pragma once

#include "listing/listedfile.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

// Sends files to the desktop's trash (the freedesktop trash that file managers and
// trash-restore read), so that every removal the program makes can be undone, and takes
// them back out. Entries are written here rather than by GIO: GIO does not say under which
// name it kept a file, and it cannot keep a file whose name fills the file system's limit.
namespace twinsift::trash {

// Where one trashed file went, and what it and its places were, so that a restore puts back
// this very file into this very folder, or nothing.
struct TrashedFile {
    QByteArray path;     // as it was listed, for messages
    QByteArray realPath; // its folder's real path and its name: what the trash record holds
    QByteArray trashDir; // holds `files/keptName` and `info/keptName.trashinfo`
    QByteArray keptName;
    FileIdentity file;   // the file as it went in
    FileIdentity folder; // the folder it came from
    FileIdentity trash;  // the trash folder
    quint8 made = 0;     // which trash folders were made for this delete (Session::Made)
};

struct TrashResult {
    bool moved = false;
    QString error; // what happened, for people; never claims where the file is
    TrashedFile entry{};
};

// One delete's trash. A file is moved only when it is still the one listed: its folder is
// opened from the folder the walk started at without following any link, and the entry's
// device, inode, size and modification time must be those listed. The rename then goes from
// that folder's descriptor into the trash's, so no path text is followed after the check.
// Each volume's trash folders are opened once, without following links, and checked to be
// the user's; trash folders made here and left empty are removed when the session ends.
class Session {
public:
    enum Made : quint8 { MadeTrash = 1, MadeInfo = 2, MadeFiles = 4 };

    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    TrashResult moveToTrash(const ListedFile &file);

    struct Folder;
    struct Place;

private:
    std::shared_ptr<Place> placeFor(int folderFd, const struct stat &folder, QString &error);
    int rootFolder(const QByteArray &root);
    int folderOf(const ListedFile &file, qsizetype nameStart, int &error);

    std::map<QByteArray, int> m_roots;
    QByteArray m_folderPath; // the folder last opened, and its descriptor
    int m_folderFd = -1;
    std::map<quint64, std::shared_ptr<Place>> m_places; // by mount
};

struct RestoreResult {
    enum Status { Restored, InTrash, Gone };
    Status status = InTrash;
    QString error; // why the file is not back, or what went wrong after
};

// Puts the file back into the folder it came from, never over anything, and then drops its
// trash record.
RestoreResult restore(const TrashedFile &entry);

// Removes the trash folders that a delete made and that are empty again.
void removeEmptyMade(const TrashedFile &entry);

} // namespace twinsift::trash

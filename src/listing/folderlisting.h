// SPDX-License-Identifier: MIT
#pragma once

#include "fileidentity.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

namespace twinsift {

// The entries of one folder that a walk lists or enters, read in one go and sorted by name
// (ASCII letters folded to lower case, ties by raw bytes). Names that begin with "." are left
// out; links to folders, broken links, pipes, sockets and devices are dropped; a link to a
// regular file is a file with the target's size.
class FolderListing {
public:
    struct Entry {
        quint32 nameStart = 0; // in names(); each name is followed by a NUL
        quint32 nameSize = 0;
        qint64 size = 0; // bytes, for a file
        bool isFolder = false;
        FileIdentity identity; // a file's own, for a link the link's
    };
    // What could not be examined, in the order met: an entry by its name, or, with an empty
    // name, the folder itself.
    struct Problem {
        QByteArray name;
        int error = 0;
    };

    // Opens the folder `path`, relative to the open folder `anchor`, following no link on the
    // way: a descriptor, or -1 with errno set. Path is split as the kernel needs, so any
    // depth works; at most two descriptors are open at a time.
    static int open(int anchor, QByteArrayView path);
    // False for the name of a file whose size the caller never needs: such files are left out
    // without a look-up. Called on several threads at once.
    using NameFilter = std::function<bool(QByteArrayView name)>;

    // Reads the open folder `fd`.
    static FolderListing read(int fd, const NameFilter &wanted = {});
    // A folder that could not be opened, for `error`.
    static FolderListing failed(int error);

    int openError() const { return m_openError; } // errno when the folder could not be opened
    const std::vector<Entry> &entries() const { return m_entries; }
    const std::vector<Problem> &problems() const { return m_problems; }
    QByteArrayView name(const Entry &entry) const
    {
        return QByteArrayView(m_names).sliced(entry.nameStart, entry.nameSize);
    }
    quint64 entriesMet() const { return m_met; } // not hidden, kept or not
    size_t folderCount() const { return m_folders; }

private:
    void add(int fd, const char *name, unsigned char type, const NameFilter &wanted);
    void sort();

    QByteArray m_names;
    std::vector<Entry> m_entries;
    std::vector<Problem> m_problems;
    quint64 m_met = 0;
    size_t m_folders = 0;
    int m_openError = 0;
};

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "folderwalker.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace twinsift {

bool operator==(const WalkError &a, const WalkError &b)
{
    return a.path == b.path && a.reason == b.reason;
}

namespace {

// Open folders are limited by the process's descriptor limit; deeper levels give theirs
// back and reopen them from an open ancestor when needed.
constexpr size_t kOpenFolderBudget = 64;

struct Entry {
    QByteArray name;
    qint64 size = 0;
    bool isFolder = false;
};

struct Frame {
    int fd = -1;
    QByteArray name;          // as met in the parent; empty for the starting folder
    qsizetype pathLength = 0; // length of this folder's path, trailing "/" included
    std::vector<Entry> entries;
    size_t next = 0;
    size_t foldersLeft = 0; // sub-folders not yet opened; the fd is needed only for them
};

QString errnoText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

int foldLower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

bool nameLess(const Entry &a, const Entry &b)
{
    const auto &x = a.name;
    const auto &y = b.name;
    const qsizetype common = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int fx = foldLower(uchar(x[i]));
        const int fy = foldLower(uchar(y[i]));
        if (fx != fy)
            return fx < fy;
    }
    if (x.size() != y.size())
        return x.size() < y.size();
    return std::memcmp(x.constData(), y.constData(), size_t(x.size())) < 0;
}

int openFolderAt(int parentFd, const char *name, bool followLink)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    int fd;
    do {
        fd = ::openat(parentFd, name, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

class Walk {
public:
    Walk(const FolderWalker::FileSink &sink, std::stop_token stop, WalkProgress *progress)
        : m_sink(sink), m_stop(std::move(stop)), m_progress(progress)
    {
    }

    WalkOutcome run(QByteArrayView root)
    {
        m_path = FolderWalker::folderPath(root);
        const int fd = openFolderAt(AT_FDCWD, m_path.constData(), true);
        if (fd < 0) {
            m_outcome.rootFailed = true;
            report(m_path, errno);
            return std::move(m_outcome);
        }
        if (!push(fd, {}, m_path.size())) {
            m_outcome.rootFailed = true;
            return std::move(m_outcome);
        }
        while (!m_frames.empty()) {
            if (m_stop.stop_requested()) {
                m_outcome.stopped = true;
                break;
            }
            step();
        }
        for (Frame &frame : m_frames)
            closeFd(frame);
        return std::move(m_outcome);
    }

private:
    void step()
    {
        const size_t level = m_frames.size() - 1;
        Frame &top = m_frames.back();
        m_path.truncate(top.pathLength);
        if (top.next == top.entries.size()) {
            closeFd(top);
            m_frames.pop_back();
            return;
        }
        Entry &entry = top.entries[top.next++];
        m_path.append(entry.name);
        if (!entry.isFolder) {
            ++m_outcome.files;
            if (m_progress)
                m_progress->files.fetch_add(1, std::memory_order_relaxed);
            m_sink(WalkedFile{m_path, top.pathLength, entry.size});
            return;
        }
        m_path.append('/');
        QByteArray name = std::move(entry.name);
        --top.foldersLeft;
        const int parentFd = fdOf(level);
        if (parentFd < 0)
            return; // reported by fdOf
        const int fd = openFolderAt(parentFd, name.constData(), false);
        const int openError = errno;
        if (m_frames[level].foldersLeft == 0 && level > 0)
            closeFd(m_frames[level]);
        if (fd < 0) {
            report(m_path, openError);
            return;
        }
        push(fd, std::move(name), m_path.size());
    }

    // Reads a whole folder, sorts it and puts it on the stack. False when it could not be read.
    bool push(int fd, QByteArray name, qsizetype pathLength)
    {
        std::vector<Entry> entries;
        if (!readFolder(fd, entries)) {
            ::close(fd);
            return false;
        }
        ++m_outcome.folders;
        std::sort(entries.begin(), entries.end(), nameLess);
        Frame frame;
        frame.fd = fd;
        frame.name = std::move(name);
        frame.pathLength = pathLength;
        frame.foldersLeft = size_t(std::count_if(entries.begin(), entries.end(),
                                                 [](const Entry &e) { return e.isFolder; }));
        frame.entries = std::move(entries);
        m_frames.push_back(std::move(frame));
        ++m_openFds;
        if (m_frames.back().foldersLeft == 0 && m_frames.size() > 1)
            closeFd(m_frames.back());
        trimOpenFds();
        return true;
    }

    bool readFolder(int fd, std::vector<Entry> &entries)
    {
        const int dirFd = ::dup(fd);
        if (dirFd < 0) {
            report(m_path, errno);
            return false;
        }
        DIR *dir = ::fdopendir(dirFd);
        if (!dir) {
            report(m_path, errno);
            ::close(dirFd);
            return false;
        }
        for (;;) {
            errno = 0;
            const dirent *ent = ::readdir(dir);
            if (!ent) {
                if (errno != 0)
                    report(m_path, errno);
                break;
            }
            if (ent->d_name[0] == '.')
                continue;
            if (m_progress)
                m_progress->entries.fetch_add(1, std::memory_order_relaxed);
            Entry entry;
            if (classify(fd, *ent, entry))
                entries.push_back(std::move(entry));
        }
        ::closedir(dir);
        return true;
    }

    bool classify(int fd, const dirent &ent, Entry &entry)
    {
        entry.name = QByteArray(ent.d_name);
        if (ent.d_type == DT_DIR) {
            entry.isFolder = true;
            return true;
        }
        if (ent.d_type != DT_REG && ent.d_type != DT_LNK && ent.d_type != DT_UNKNOWN)
            return false;
        struct stat st {};
        if (::fstatat(fd, ent.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return statFailed(entry.name, errno);
        if (S_ISDIR(st.st_mode)) {
            entry.isFolder = true;
            return true;
        }
        if (S_ISLNK(st.st_mode)) {
            // Only links to regular files count; a link to a folder is never entered.
            if (::fstatat(fd, ent.d_name, &st, 0) != 0)
                return false;
            if (!S_ISREG(st.st_mode))
                return false;
        } else if (!S_ISREG(st.st_mode)) {
            return false;
        }
        entry.size = st.st_size;
        return true;
    }

    bool statFailed(const QByteArray &name, int code)
    {
        // An entry that vanished since the folder was read is simply gone.
        if (code != ENOENT)
            report(QByteArray(m_path + name), code);
        return false;
    }

    // The descriptor of the folder at `level`, reopened from an open ancestor if it was given
    // back. -1 (reported) when it cannot be reopened.
    int fdOf(size_t level)
    {
        if (m_frames[level].fd >= 0)
            return m_frames[level].fd;
        size_t base = level;
        while (m_frames[base].fd < 0)
            --base; // the starting folder keeps its descriptor to the end
        int fd = m_frames[base].fd;
        for (size_t l = base + 1; l <= level; ++l) {
            const int next = openFolderAt(fd, m_frames[l].name.constData(), false);
            if (fd != m_frames[base].fd)
                ::close(fd);
            if (next < 0) {
                report(m_path.left(m_frames[l].pathLength), errno);
                return -1;
            }
            fd = next;
        }
        m_frames[level].fd = fd;
        ++m_openFds;
        trimOpenFds();
        return fd;
    }

    void trimOpenFds()
    {
        for (size_t l = 1; m_openFds > kOpenFolderBudget && l + 1 < m_frames.size(); ++l)
            closeFd(m_frames[l]);
    }

    void closeFd(Frame &frame)
    {
        if (frame.fd >= 0) {
            ::close(frame.fd);
            frame.fd = -1;
            --m_openFds;
        }
    }

    void report(QByteArrayView path, int code)
    {
        m_outcome.errors.push_back(WalkError{path.toByteArray(), errnoText(code)});
    }

    const FolderWalker::FileSink &m_sink;
    std::stop_token m_stop;
    WalkProgress *m_progress;
    WalkOutcome m_outcome;
    std::vector<Frame> m_frames;
    QByteArray m_path;
    size_t m_openFds = 0;
};

} // namespace

QByteArray FolderWalker::folderPath(QByteArrayView path)
{
    QByteArray folder = path.toByteArray();
    if (folder.isEmpty())
        folder = "./";
    if (!folder.endsWith('/'))
        folder.append('/');
    return folder;
}

WalkOutcome FolderWalker::walk(QByteArrayView root, const FileSink &sink, std::stop_token stop,
                               WalkProgress *progress)
{
    return Walk(sink, std::move(stop), progress).run(root);
}

} // namespace twinsift

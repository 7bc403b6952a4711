// SPDX-License-Identifier: MIT
#include "folderwalker.h"

#include "readahead.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace twinsift {

bool operator==(const WalkError &a, const WalkError &b)
{
    return a.path == b.path && a.reason == b.reason;
}

namespace {

struct Frame {
    ReadAhead::Folder folder;
    size_t next = 0;          // the next entry
    size_t nextFolder = 0;    // the next sub-folder's task
    qsizetype pathLength = 0; // length of this folder's path, trailing "/" included
};

QString errnoText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

class Walk {
public:
    Walk(const FolderWalker::FileSink &sink, const FolderListing::NameFilter &wanted,
         std::stop_token stop, WalkProgress *progress)
        : m_sink(sink), m_wanted(wanted), m_stop(std::move(stop)), m_progress(progress)
    {
    }

    WalkOutcome run(QByteArrayView root)
    {
        m_path = FolderWalker::folderPath(root);
        int fd;
        do {
            fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            m_outcome.rootFailed = true;
            reportFolder(errno);
            return std::move(m_outcome);
        }
        {
            ReadAhead ahead(fd, m_wanted);
            m_ahead = &ahead;
            push(ahead.readRoot());
            while (!m_frames.empty()) {
                if (m_stop.stop_requested()) {
                    m_outcome.stopped = true;
                    break;
                }
                step();
            }
            m_frames.clear();
        }
        ::close(fd);
        return std::move(m_outcome);
    }

private:
    void step()
    {
        Frame &top = m_frames.back();
        m_path.truncate(top.pathLength);
        const auto &entries = top.folder.listing.entries();
        if (top.next == entries.size()) {
            m_frames.pop_back();
            return;
        }
        const FolderListing::Entry &entry = entries[top.next++];
        m_path.append(top.folder.listing.name(entry));
        if (!entry.isFolder) {
            ++m_outcome.files;
            if (m_progress)
                m_progress->files.fetch_add(1, std::memory_order_relaxed);
            m_sink(WalkedFile{m_path, top.pathLength, entry.size, entry.identity});
            return;
        }
        m_path.append('/');
        ReadAhead::Folder folder = m_ahead->take(top.folder.subfolders[top.nextFolder++]);
        if (folder.listing.openError() != 0)
            reportFolder(folder.listing.openError());
        else
            push(std::move(folder));
    }

    // Puts a folder that was read on the stack and tells what in it could not be examined.
    void push(ReadAhead::Folder folder)
    {
        ++m_outcome.folders;
        if (m_progress)
            m_progress->entries.fetch_add(folder.listing.entriesMet(), std::memory_order_relaxed);
        for (const FolderListing::Problem &problem : folder.listing.problems())
            report(QByteArray(m_path + problem.name), problem.error);
        m_frames.push_back(Frame{std::move(folder), 0, 0, m_path.size()});
    }

    // The folder at m_path could not be opened. What turned out not to be a folder is named
    // without the "/" the walk gave it.
    void reportFolder(int code)
    {
        const bool notFolder = code == ENOTDIR || code == ELOOP;
        report(notFolder ? QByteArrayView(m_path).chopped(1) : QByteArrayView(m_path), code);
    }

    void report(QByteArrayView path, int code)
    {
        m_outcome.errors.push_back(WalkError{path.toByteArray(), errnoText(code), code});
    }

    const FolderWalker::FileSink &m_sink;
    const FolderListing::NameFilter &m_wanted;
    std::stop_token m_stop;
    WalkProgress *m_progress;
    WalkOutcome m_outcome;
    ReadAhead *m_ahead = nullptr;
    std::vector<Frame> m_frames;
    QByteArray m_path;
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
                               WalkProgress *progress, const FolderListing::NameFilter &wanted)
{
    return Walk(sink, wanted, std::move(stop), progress).run(root);
}

} // namespace twinsift

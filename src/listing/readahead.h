// SPDX-License-Identifier: MIT
#pragma once

#include "folderlisting.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

namespace twinsift {

// Reads the folders of one walk on worker threads ahead of the walk, those the walk will
// enter first before the others, within a bounded window: memory and descriptors stay
// bounded whatever the tree's width or depth. Workers open folders below the starting one
// by their relative paths, so no folder stays open for its sub-folders' sake.
class ReadAhead {
public:
    struct Task;
    using TaskPtr = std::shared_ptr<Task>;
    // A folder as read, with one task per sub-folder, in listing order.
    struct Folder {
        FolderListing listing;
        std::vector<TaskPtr> subfolders;
    };

    // `root` stays open and owned by the caller until this is destroyed.
    ReadAhead(int root, unsigned workers);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    Folder readRoot();
    // The folder of `task`: handed over by a worker, awaited if one is reading it, else
    // read here.
    Folder take(const TaskPtr &task);

private:
    struct Later {
        bool operator()(const TaskPtr &a, const TaskPtr &b) const;
    };

    Folder readHere(const TaskPtr &task);
    Folder wrap(FolderListing listing, const Task *task) const;
    void queue(const std::vector<TaskPtr> &tasks);
    bool canStart() const;
    void work();

    const int m_root;
    const unsigned m_workers;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::priority_queue<TaskPtr, std::vector<TaskPtr>, Later> m_queue;
    size_t m_aheadFolders = 0; // being read or read, not yet taken
    size_t m_aheadEntries = 0;
    unsigned m_reading = 0;
    bool m_holdOff = false; // a worker ran out of descriptors; wait for the walk to move on
    bool m_paused = false;  // the walk itself needs descriptors
    bool m_shutdown = false;
    std::vector<std::thread> m_threads;
};

struct ReadAhead::Task {
    enum class State { Queued, Deferred, Reading, Done, Taken };
    std::vector<quint32> key; // positions among the sub-folders from the root: the walk's order
    QByteArray path;          // relative to the starting folder
    State state = State::Queued;
    Folder folder;
};

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include "folderlisting.h"

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace twinsift {

// Reads the folders of one walk on reader threads ahead of the walk, in the order the walk
// will enter them, within a bounded window: memory and descriptors stay bounded whatever the
// tree's width or depth. A folder is opened from its parent's descriptor, which is kept open
// until its sub-folders are opened as long as a budget of descriptors allows; past it, from
// the nearest ancestor still open. The walk waits only when it has caught up with a reader,
// and a reader wakes only when there is work for it.
class ReadAhead {
public:
    struct Task;
    using TaskPtr = std::shared_ptr<Task>;
    // A folder as read, with one task per sub-folder, in listing order.
    struct Folder {
        FolderListing listing;
        std::vector<TaskPtr> subfolders;
    };

    // `root` stays open and owned by the caller until this is destroyed. Readers and kept
    // descriptors are sized from the process's descriptor limit.
    ReadAhead(int root, const FolderListing::NameFilter &wanted);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    Folder readRoot();
    // The folder of `task`: handed over by a reader, awaited if one is reading it, else read
    // here.
    Folder take(const TaskPtr &task);

private:
    struct Place;
    struct Job;
    using PlacePtr = std::shared_ptr<Place>;

    void pick(std::vector<Job> &jobs);
    Job prepare(const TaskPtr &task);
    void read(Job &job) const;
    void finish(Job &job);
    void publish(Job &job);
    Folder wrap(FolderListing listing, const PlacePtr &place) const;
    void keep(const PlacePtr &place, int fd, size_t subfolders);
    void reindex();
    void release(Place &place);
    void releaseAll();
    void startReaders(size_t count);
    bool canStart() const;
    void wakeReaders(size_t count);
    void work();

    const PlacePtr m_root;
    const FolderListing::NameFilter &m_wanted;
    unsigned m_maxReaders = 0;
    size_t m_keepBudget = 0;
    std::mutex m_mutex;
    std::condition_variable m_readersWake;
    std::condition_variable m_walkWake;
    std::list<TaskPtr> m_order;   // tasks not yet read, and those being read, in the walk's order
    size_t m_queued = 0;          // tasks in m_order that a reader may start
    std::vector<PlacePtr> m_kept; // places whose descriptor is kept for their sub-folders
    size_t m_aheadFolders = 0;    // being read or read, not yet taken
    size_t m_aheadEntries = 0;
    unsigned m_reading = 0;
    unsigned m_idle = 0;                          // readers waiting for work
    std::atomic<const Task *> m_awaited{nullptr}; // the task the walk waits for
    qint64 m_readNs = 0;                          // how long a folder read takes, smoothed
    bool m_walkWaited = false; // the walk waited for a reader since one was last added
    bool m_holdOff = false;    // a reader ran out of descriptors; wait for the walk to move on
    bool m_paused = false;     // the walk itself needs descriptors
    bool m_shutdown = false;
    std::vector<std::thread> m_threads;
};

// Where a folder is: its parent and its name, and its descriptor while kept open.
struct ReadAhead::Place {
    PlacePtr parent;
    QByteArray name;
    quint32 depth = 0;
    int fd = -1;
    size_t unopened = 0; // sub-folders not yet opened, while the descriptor is kept
    unsigned users = 0;  // opens under way from the descriptor
    size_t keptAt = 0;   // in m_kept
};

struct ReadAhead::Task {
    enum class State { Queued, Reading, Deferred, Done, Taken };
    PlacePtr place;
    State state = State::Queued;
    Folder folder;
    std::list<TaskPtr>::iterator order; // in m_order until read
};

} // namespace twinsift

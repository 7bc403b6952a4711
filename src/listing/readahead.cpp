// SPDX-License-Identifier: MIT
#include "readahead.h"

#include <cerrno>

namespace twinsift {

namespace {

// How far ahead the workers may read: enough to keep them busy, little enough to stay small.
constexpr size_t kAheadFolders = 256;
constexpr size_t kAheadEntries = 1 << 17;

bool outOfDescriptors(const FolderListing &listing)
{
    return listing.openError() == EMFILE || listing.openError() == ENFILE;
}

} // namespace

bool ReadAhead::Later::operator()(const TaskPtr &a, const TaskPtr &b) const
{
    return a->key > b->key;
}

ReadAhead::ReadAhead(int root, unsigned workers) : m_root(root), m_workers(workers) {}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
    }
    m_changed.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

ReadAhead::Folder ReadAhead::readRoot()
{
    Folder folder = wrap(FolderListing::read(m_root, {}), nullptr);
    std::lock_guard lock(m_mutex);
    queue(folder.subfolders);
    return folder;
}

ReadAhead::Folder ReadAhead::take(const TaskPtr &task)
{
    std::unique_lock lock(m_mutex);
    if (m_holdOff) {
        m_holdOff = false;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [&] { return task->state != Task::State::Reading; });
    if (task->state != Task::State::Done) {
        task->state = Task::State::Taken;
        lock.unlock();
        return readHere(task);
    }
    task->state = Task::State::Taken;
    --m_aheadFolders;
    m_aheadEntries -= task->folder.listing.entries().size();
    m_changed.notify_all();
    return std::move(task->folder);
}

ReadAhead::Folder ReadAhead::readHere(const TaskPtr &task)
{
    FolderListing listing = FolderListing::read(m_root, task->path);
    if (outOfDescriptors(listing)) {
        // The workers' folders are open only while they read them: wait for those to close.
        std::unique_lock lock(m_mutex);
        m_paused = true;
        m_changed.wait(lock, [&] { return m_reading == 0; });
        lock.unlock();
        listing = FolderListing::read(m_root, task->path);
        lock.lock();
        m_paused = false;
        m_changed.notify_all();
    }
    Folder folder = wrap(std::move(listing), task.get());
    std::lock_guard lock(m_mutex);
    queue(folder.subfolders);
    return folder;
}

ReadAhead::Folder ReadAhead::wrap(FolderListing listing, const Task *task) const
{
    Folder folder{std::move(listing), {}};
    folder.subfolders.reserve(folder.listing.folderCount());
    quint32 position = 0;
    for (const FolderListing::Entry &entry : folder.listing.entries()) {
        if (!entry.isFolder)
            continue;
        auto sub = std::make_shared<Task>();
        const QByteArrayView name = folder.listing.name(entry);
        if (task) {
            sub->key.reserve(task->key.size() + 1);
            sub->key = task->key;
            sub->path.reserve(task->path.size() + 1 + name.size());
            sub->path.append(task->path).append('/');
        }
        sub->key.push_back(position++);
        sub->path.append(name);
        folder.subfolders.push_back(std::move(sub));
    }
    return folder;
}

// Called with the mutex held. The first call with tasks comes from the walk's own thread,
// before any worker exists.
void ReadAhead::queue(const std::vector<TaskPtr> &tasks)
{
    if (m_workers == 0 || tasks.empty())
        return;
    for (const TaskPtr &task : tasks)
        m_queue.push(task);
    while (m_threads.size() < m_workers)
        m_threads.emplace_back([this] { work(); });
    m_changed.notify_all();
}

bool ReadAhead::canStart() const
{
    return !m_queue.empty() && !m_paused && !m_holdOff && m_aheadFolders < kAheadFolders &&
           m_aheadEntries < kAheadEntries;
}

void ReadAhead::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_shutdown || canStart(); });
        if (m_shutdown)
            return;
        const TaskPtr task = m_queue.top();
        m_queue.pop();
        if (task->state != Task::State::Queued)
            continue; // the walk got there first
        task->state = Task::State::Reading;
        ++m_aheadFolders;
        ++m_reading;
        lock.unlock();
        FolderListing listing = FolderListing::read(m_root, task->path);
        const bool deferred = outOfDescriptors(listing);
        Folder folder = deferred ? Folder{} : wrap(std::move(listing), task.get());
        lock.lock();
        --m_reading;
        if (deferred) {
            // Left to the walk, which retries once the workers have let go of theirs.
            task->state = Task::State::Deferred;
            --m_aheadFolders;
            m_holdOff = true;
        } else {
            m_aheadEntries += folder.listing.entries().size();
            task->folder = std::move(folder);
            task->state = Task::State::Done;
            queue(task->folder.subfolders);
        }
        m_changed.notify_all();
    }
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "readahead.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

#include <sys/resource.h>
#include <unistd.h>

namespace twinsift {

namespace {

// How far ahead the readers may read: enough to keep them busy, little enough to stay small.
constexpr size_t kAheadFolders = 256;
constexpr size_t kAheadEntries = 1 << 17;
// Small folders are handed over a few at a time, so a reader takes the lock less often.
constexpr size_t kBatch = 4;
// Readers beyond the cores pay off only where a read mostly waits, as on a network share.
constexpr unsigned kMaxReaders = 8;
constexpr qint64 kSlowReadNs = 1000000;

bool outOfDescriptors(const FolderListing &listing)
{
    return listing.openError() == EMFILE || listing.openError() == ENFILE;
}

} // namespace

struct ReadAhead::Job {
    TaskPtr task;
    PlacePtr anchor; // the open folder the path starts from
    int anchorFd = -1;
    QByteArray path;
    int fd = -1; // kept open after the read when the folder has sub-folders
    FolderListing listing;
    qint64 ns = 0;
};

ReadAhead::ReadAhead(int root, const FolderListing::NameFilter &wanted)
    : m_root(std::make_shared<Place>()), m_wanted(wanted)
{
    m_root->fd = root;
    rlimit limit{};
    rlim_t spare = 256;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        spare = limit.rlim_cur / 2; // the other half stays for the rest of the program
    // The starting folder and the walk's own two; each reader holds its batch and two more
    // while it opens a long path in pieces; the rest may be kept for sub-folders.
    const rlim_t rest = spare > 3 ? spare - 3 : 0;
    m_maxReaders = unsigned(std::min<rlim_t>(kMaxReaders, rest / (kBatch + 2)));
    m_keepBudget = size_t(rest - rlim_t(m_maxReaders) * (kBatch + 2));
}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
    }
    m_readersWake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
    for (const PlacePtr &place : m_kept)
        ::close(place->fd);
}

ReadAhead::Folder ReadAhead::readRoot()
{
    Folder folder = wrap(FolderListing::read(m_root->fd, m_wanted), m_root);
    std::lock_guard lock(m_mutex);
    for (const TaskPtr &task : folder.subfolders)
        task->order = m_order.insert(m_order.end(), task);
    m_queued = folder.subfolders.size();
    if (m_queued > 0) {
        // A reader a core: the walk's own share (entering folders, writing rows) is a sixth
        // of the work or less, so it fits between the readers' system calls.
        startReaders(std::max(1u, std::thread::hardware_concurrency()));
    }
    return folder;
}

ReadAhead::Folder ReadAhead::take(const TaskPtr &task)
{
    std::unique_lock lock(m_mutex);
    if (m_holdOff) {
        m_holdOff = false;
        wakeReaders(m_queued);
    }
    if (task->state == Task::State::Reading) {
        m_awaited.store(task.get(), std::memory_order_relaxed);
        m_walkWaited = true;
        do
            m_walkWake.wait(lock);
        while (task->state == Task::State::Reading);
        m_awaited.store(nullptr, std::memory_order_relaxed);
    }
    if (task->state == Task::State::Done) {
        task->state = Task::State::Taken;
        --m_aheadFolders;
        m_aheadEntries -= task->folder.listing.entries().size();
        // Readers held back by the window start again once half of it is free, not one by one.
        if (m_aheadFolders <= kAheadFolders / 2 && m_aheadEntries <= kAheadEntries / 2)
            wakeReaders(m_queued);
        return std::move(task->folder);
    }
    if (task->state == Task::State::Queued)
        --m_queued;
    task->state = Task::State::Taken;
    Job job = prepare(task);
    lock.unlock();
    read(job);
    lock.lock();
    const bool paused = outOfDescriptors(job.listing);
    if (paused) {
        // The readers' folders are open only while they read them: wait for those to close.
        // Kept ones are closed too, and the folder is found again from what stays open.
        m_paused = true;
        --job.anchor->users;
        m_walkWake.wait(lock, [&] { return m_reading == 0; });
        releaseAll();
        job = prepare(task);
        lock.unlock();
        read(job);
        lock.lock();
        m_paused = false;
    }
    publish(job);
    wakeReaders(paused ? m_queued : task->folder.subfolders.size());
    return std::move(task->folder);
}

// Takes the next tasks in the walk's order for one reader. Called with the mutex held.
void ReadAhead::pick(std::vector<Job> &jobs)
{
    for (auto it = m_order.begin(); it != m_order.end() && jobs.size() < kBatch; ++it) {
        if ((*it)->state != Task::State::Queued)
            continue;
        if (m_aheadFolders >= kAheadFolders || m_aheadEntries >= kAheadEntries)
            break;
        (*it)->state = Task::State::Reading;
        --m_queued;
        ++m_aheadFolders;
        ++m_reading;
        jobs.push_back(prepare(*it));
    }
}

// Where the task's folder is opened from. Called with the mutex held.
ReadAhead::Job ReadAhead::prepare(const TaskPtr &task)
{
    Job job;
    job.task = task;
    job.path = task->place->name;
    PlacePtr anchor = task->place->parent;
    if (anchor->fd < 0) {
        std::vector<const QByteArray *> names{&task->place->name};
        for (; anchor->fd < 0; anchor = anchor->parent)
            names.push_back(&anchor->name);
        job.path.clear();
        for (auto name = names.rbegin(); name != names.rend(); ++name)
            job.path.append(**name).append('/');
        job.path.chop(1);
    }
    ++anchor->users;
    job.anchorFd = anchor->fd;
    job.anchor = std::move(anchor);
    return job;
}

void ReadAhead::read(Job &job) const
{
    const auto start = std::chrono::steady_clock::now();
    job.fd = FolderListing::open(job.anchorFd, job.path);
    if (job.fd < 0) {
        job.listing = FolderListing::failed(errno);
    } else {
        job.listing = FolderListing::read(job.fd, m_wanted);
        if (job.listing.folderCount() == 0) {
            ::close(job.fd);
            job.fd = -1;
        }
    }
    job.ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                 .count();
}

// Hands the job's folder over: its sub-folders join the order where it stood. Called with the
// mutex held.
void ReadAhead::publish(Job &job)
{
    Task &task = *job.task;
    --job.anchor->users;
    release(*job.anchor);
    Place &parent = *task.place->parent;
    if (parent.fd >= 0 && parent.unopened > 0) {
        --parent.unopened;
        release(parent);
    }
    task.folder = wrap(std::move(job.listing), task.place);
    keep(task.place, job.fd, task.folder.subfolders.size());
    const auto next = std::next(task.order);
    for (const TaskPtr &sub : task.folder.subfolders)
        sub->order = m_order.insert(next, sub);
    m_queued += task.folder.subfolders.size();
    m_order.erase(task.order);
}

// A reader's job is done. Called with the mutex held.
void ReadAhead::finish(Job &job)
{
    Task &task = *job.task;
    --m_reading;
    if (outOfDescriptors(job.listing)) {
        // Left to the walk, which retries once the readers have let go of theirs.
        --job.anchor->users;
        release(*job.anchor);
        task.state = Task::State::Deferred;
        --m_aheadFolders;
        m_holdOff = true;
        releaseAll();
    } else {
        publish(job);
        task.state = Task::State::Done;
        m_aheadEntries += task.folder.listing.entries().size();
        m_readNs = (7 * m_readNs + job.ns) / 8;
        // Another reader only helps when reads wait on the disk or the wire and the walk
        // waits for them; on a busy machine a read may take long for want of a core alone.
        if (m_readNs > kSlowReadNs && m_walkWaited && m_queued > 0) {
            m_walkWaited = false;
            startReaders(1);
        }
        // This reader takes the next batch itself; others wake for more than that.
        wakeReaders(task.folder.subfolders.size() / kBatch);
    }
    if (m_awaited.load(std::memory_order_relaxed) == &task || (m_paused && m_reading == 0))
        m_walkWake.notify_one();
}

ReadAhead::Folder ReadAhead::wrap(FolderListing listing, const PlacePtr &place) const
{
    Folder folder{std::move(listing), {}};
    folder.subfolders.reserve(folder.listing.folderCount());
    for (const FolderListing::Entry &entry : folder.listing.entries()) {
        if (!entry.isFolder)
            continue;
        auto sub = std::make_shared<Task>();
        sub->place = std::make_shared<Place>();
        sub->place->parent = place;
        sub->place->name = folder.listing.name(entry).toByteArray();
        sub->place->depth = place->depth + 1;
        folder.subfolders.push_back(std::move(sub));
    }
    return folder;
}

// Keeps `fd` open for the sub-folders of `place` while the budget allows. When it is spent,
// every other kept descriptor by depth is closed, so that a folder is never far from an open
// ancestor, however deep the tree. Called with the mutex held.
void ReadAhead::keep(const PlacePtr &place, int fd, size_t subfolders)
{
    if (fd < 0)
        return;
    if (m_keepBudget > 0 && m_kept.size() >= m_keepBudget) {
        std::stable_sort(m_kept.begin(), m_kept.end(),
                         [](const PlacePtr &a, const PlacePtr &b) { return a->depth < b->depth; });
        size_t i = 0;
        std::erase_if(m_kept, [&](const PlacePtr &kept) {
            if (i++ % 2 == 0 || kept->users > 0)
                return false;
            ::close(kept->fd);
            kept->fd = -1;
            return true;
        });
        reindex();
    }
    if (m_kept.size() >= m_keepBudget) {
        ::close(fd);
        return;
    }
    place->fd = fd;
    place->unopened = subfolders;
    place->keptAt = m_kept.size();
    m_kept.push_back(place);
}

void ReadAhead::reindex()
{
    for (size_t i = 0; i < m_kept.size(); ++i)
        m_kept[i]->keptAt = i;
}

void ReadAhead::release(Place &place)
{
    if (&place == m_root.get() || place.fd < 0 || place.unopened > 0 || place.users > 0)
        return;
    ::close(place.fd);
    place.fd = -1;
    m_kept.back()->keptAt = place.keptAt;
    std::swap(m_kept[place.keptAt], m_kept.back());
    m_kept.pop_back();
}

// Closes every kept descriptor not in use and keeps no more: descriptors ran out.
void ReadAhead::releaseAll()
{
    m_keepBudget = 0;
    std::erase_if(m_kept, [](const PlacePtr &place) {
        if (place->users > 0)
            return false;
        ::close(place->fd);
        place->fd = -1;
        return true;
    });
    reindex();
}

// Called with the mutex held. A reader that cannot be started leaves its work to the others,
// or to the walk, which can read alone.
void ReadAhead::startReaders(size_t count)
{
    for (; count > 0 && m_threads.size() < m_maxReaders && !m_shutdown; --count) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
            m_maxReaders = unsigned(m_threads.size());
        }
    }
}

bool ReadAhead::canStart() const
{
    return m_queued > 0 && !m_paused && !m_holdOff && m_aheadFolders < kAheadFolders &&
           m_aheadEntries < kAheadEntries;
}

// Wakes at most `count` idle readers, and none when they could not start.
void ReadAhead::wakeReaders(size_t count)
{
    if (m_idle == 0 || count == 0 || !canStart())
        return;
    if (count >= m_idle)
        m_readersWake.notify_all();
    else
        while (count-- > 0)
            m_readersWake.notify_one();
}

void ReadAhead::work()
{
    std::vector<Job> jobs;
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (!m_shutdown && !canStart()) {
            ++m_idle;
            m_readersWake.wait(lock);
            --m_idle;
        }
        if (m_shutdown)
            return;
        pick(jobs);
        lock.unlock();
        size_t done = 0;
        bool starved = false;
        for (size_t i = 0; i < jobs.size(); ++i) {
            if (starved)
                jobs[i].listing = FolderListing::failed(EMFILE);
            else
                read(jobs[i]);
            starved = outOfDescriptors(jobs[i].listing);
            if (i + 1 < jobs.size() && !starved &&
                m_awaited.load(std::memory_order_relaxed) != jobs[i].task.get())
                continue;
            lock.lock();
            for (; done <= i; ++done)
                finish(jobs[done]);
            if (i + 1 < jobs.size())
                lock.unlock();
        }
        jobs.clear();
    }
}

} // namespace twinsift

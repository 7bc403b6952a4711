// SPDX-License-Identifier: MIT
#include "trashjob.h"

namespace twinsift {

TrashJob::TrashJob(QList<ListedFile> files, Trasher trasher)
    : m_files(std::move(files)), m_trasher(std::move(trasher))
{
}

void TrashJob::run(std::stop_token stop)
{
    if (m_trasher) {
        m_outcome = deleteFiles(m_files, m_trasher, std::move(stop), &m_done);
        return;
    }
    trash::Session session;
    m_outcome = deleteFiles(
        m_files, [&](const ListedFile &file) { return session.moveToTrash(file); }, std::move(stop),
        &m_done);
}

WorkJob::Progress TrashJob::progress() const
{
    const auto total = quint64(m_files.size());
    const quint64 done = m_done.load(std::memory_order_relaxed);
    return {done, total, tr("%L1 of %Ln file(s)", nullptr, int(total)).arg(done)};
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#include "restorejob.h"

namespace twinsift {

RestoreJob::RestoreJob(QList<trash::TrashedFile> files) : m_files(std::move(files)) {}

// Not stopped halfway: a restore left half done would be harder to undo than to finish.
void RestoreJob::run(std::stop_token)
{
    m_outcome = restoreAll(m_files);
}

WorkJob::Progress RestoreJob::progress() const
{
    return {0, 0, tr("Restoring %Ln file(s)", nullptr, int(m_files.size()))};
}

} // namespace twinsift

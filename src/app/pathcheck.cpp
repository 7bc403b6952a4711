// SPDX-License-Identifier: MIT
#include "pathcheck.h"

#include "app/background.h"
#include "listing/rawname.h"

#include <sys/stat.h>

namespace twinsift {

PathCheck::Kind PathCheck::look(const QByteArray &path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0)
        return Kind::Missing;
    if (S_ISDIR(info.st_mode))
        return Kind::Folder;
    return S_ISREG(info.st_mode) ? Kind::File : Kind::Other;
}

void PathCheck::later(QObject *context, const QByteArray &path, std::function<void(Kind)> done)
{
    background::run<Kind>(
        context, [path] { return look(path); }, [done](const Kind &kind) { done(kind); });
}

WorkJob::Progress PathCheck::progress() const
{
    return {0, 0, tr("Looking at %1").arg(rawname::display(m_path))};
}

void PathCheck::run(std::stop_token stop)
{
    const std::optional<Kind> kind =
        background::await<Kind>([path = m_path] { return look(path); }, stop);
    // Stopped is stopped, even when the answer came in the same moment.
    m_kind = stop.stop_requested() ? Kind::Unanswered : kind.value_or(Kind::Unanswered);
}

} // namespace twinsift

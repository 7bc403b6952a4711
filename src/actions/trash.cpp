// SPDX-License-Identifier: MIT
#include "trash.h"

#include <gio/gio.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace twinsift::trash {

TrashResult moveToTrash(const QByteArray &path)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return {false, QString::fromLocal8Bit(std::strerror(errno))};
    if (S_ISDIR(info.st_mode))
        return {false, QStringLiteral("it is a folder now, not the listed file")};

    GFile *file = g_file_new_for_path(path.constData());
    GError *error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (moved)
        return {true, {}};
    QString reason = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
    g_clear_error(&error);
    return {false, reason};
}

} // namespace twinsift::trash

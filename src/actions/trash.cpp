// SPDX-License-Identifier: MIT
#include "trash.h"

#include "listing/rawname.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace twinsift::trash {

namespace {

constexpr qsizetype kNameMax = 255;
constexpr char kRecordSuffix[] = ".trashinfo";
constexpr qsizetype kRecordSuffixSize = sizeof(kRecordSuffix) - 1;
constexpr qsizetype kLongestExtension = 16;

QString tr(const char *text)
{
    return QCoreApplication::translate("twinsift::trash", text);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray join(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? QByteArray(folder + name) : QByteArray(folder + '/' + name);
}

// The home trash: under $XDG_DATA_HOME where that is an absolute path, as the freedesktop
// trash standard asks, else under the home folder.
QByteArray homeTrash()
{
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) {
        QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/')) {
            const passwd *user = ::getpwuid(::geteuid());
            home = user ? QByteArray(user->pw_dir) : QByteArray();
        }
        if (!home.startsWith('/'))
            return {};
        data = join(home, ".local/share");
    }
    return join(data, "Trash");
}

// The device that will hold `path`: that of its nearest existing ancestor.
dev_t deviceOf(QByteArray path)
{
    struct stat info {};
    while (::stat(path.constData(), &info) != 0 && path != "/")
        path = parentOf(path);
    return info.st_dev;
}

// 0, or why the folder could not be made.
int makePath(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) == 0)
        return 0;
    int error = errno;
    if (error == ENOENT && path != "/") {
        if (const int parent = makePath(parentOf(path)))
            return parent;
        if (::mkdir(path.constData(), 0700) == 0)
            return 0;
        error = errno;
    }
    struct stat info {};
    if (error == EEXIST)
        return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    return error;
}

// A folder of a volume's trash: made for this user, or there already as a real folder (not
// a link, which could lead the files anywhere) that is theirs. 0, or why not.
int ownFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    return info.st_uid == ::geteuid() ? 0 : EACCES;
}

// The top folder of the volume that holds `path`: its highest folder on the same device.
QByteArray topFolderOf(const QByteArray &path, dev_t device)
{
    QByteArray top = parentOf(path);
    struct stat info {};
    while (top != "/") {
        const QByteArray up = parentOf(top);
        if (::lstat(up.constData(), &info) != 0 || info.st_dev != device)
            break;
        top = up;
    }
    return top;
}

struct Place {
    QByteArray trashDir;
    QByteArray top; // empty for the home trash, whose records hold absolute paths
    int error = 0;
};

// The home trash for files on its own file system (a rename can reach it); else the
// volume's shared trash when the administrator made one (sticky, not a link), else the
// user's own trash at the volume's top.
Place placeFor(const QByteArray &path, dev_t device)
{
    const QByteArray home = homeTrash();
    if (!home.isEmpty() && deviceOf(home) == device)
        return {home, {}, makePath(home)};
    const QByteArray top = topFolderOf(path, device);
    const QByteArray uid = QByteArray::number(::geteuid());
    const QByteArray shared = join(top, ".Trash");
    struct stat info {};
    if (::lstat(shared.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (info.st_mode & S_ISVTX) != 0 && ownFolder(join(shared, uid)) == 0)
        return {join(shared, uid), top, 0};
    const QByteArray own = join(top, ".Trash-" + uid);
    return {own, top, ownFolder(own)};
}

// The name a file is kept under: its own, or, where that with its record's suffix would be
// too long for a name, a shortened one that keeps the extension and whole characters.
// Attempts after the first are numbered apart from names already taken.
QByteArray keptName(const QByteArray &name, int attempt)
{
    const QByteArray tag = attempt == 1 ? QByteArray() : '.' + QByteArray::number(attempt);
    qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0 || name.size() - dot > kLongestExtension)
        dot = name.size();
    const QByteArray extension = name.mid(dot);
    qsizetype cut = kNameMax - kRecordSuffixSize - extension.size() - tag.size();
    if (cut >= dot)
        return name.left(dot) + tag + extension;
    while (cut > 0 && (uchar(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.left(cut) + tag + extension;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// 0, or why not. Never replaces what stands at `to`: where the file system cannot rename
// without replacing, a hard link (which fails on a taken name) and an unlink do it.
int moveNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        return error;
    }
    return 0;
}

QString whyNotMoved(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return tr("it is no longer there: moved, renamed or deleted since it was listed");
    case EACCES:
    case EPERM:
        return tr("permission denied: its folder does not let it be moved");
    case EROFS:
        return tr("its file system is read-only");
    default:
        return systemError(error);
    }
}

QString unwritable(const QByteArray &folder, int error)
{
    return tr("the trash cannot be written (%1): %2")
        .arg(rawname::display(folder), systemError(error));
}

// The path a trash record names, made absolute; empty when the record is not one.
QByteArray recordedPath(const QByteArray &record, const QByteArray &trashDir)
{
    const QList<QByteArray> lines = record.split('\n');
    if (lines.isEmpty() || lines.front().trimmed() != "[Trash Info]")
        return {};
    for (const QByteArray &line : lines) {
        if (!line.startsWith("Path="))
            continue;
        const QByteArray path = QByteArray::fromPercentEncoding(line.mid(5).trimmed());
        if (path.isEmpty() || path.startsWith('/'))
            return path;
        // Relative paths start at the top of the volume: above ".Trash-$uid" or ".Trash/$uid".
        QByteArray top = parentOf(trashDir);
        if (top.endsWith("/.Trash"))
            top = parentOf(top);
        return join(top, path);
    }
    return {};
}

} // namespace

TrashResult moveToTrash(const QByteArray &path)
{
    struct stat file {};
    if (::lstat(path.constData(), &file) != 0)
        return {false, whyNotMoved(errno), {}};
    if (S_ISDIR(file.st_mode))
        return {false, tr("it is a folder now, not the listed file"), {}};
    const Place place = placeFor(path, file.st_dev);
    if (place.error != 0)
        return {false, unwritable(place.trashDir, place.error), {}};
    const QByteArray infoDir = join(place.trashDir, "info");
    const QByteArray filesDir = join(place.trashDir, "files");
    for (const QByteArray &folder : {infoDir, filesDir}) {
        if (const int error = makePath(folder))
            return {false, unwritable(folder, error), {}};
    }

    const QByteArray original = place.top.isEmpty() ? path : path.mid(join(place.top, {}).size());
    const QByteArray record =
        "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(u"yyyy-MM-dd'T'HH:mm:ss").toLatin1() + '\n';
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    // As the freedesktop trash standard asks: the record is made first, exclusively, which claims
    // the name; only then does the file move in.
    for (int attempt = 1;; ++attempt) {
        const QByteArray kept = keptName(name, attempt);
        const QByteArray info = join(infoDir, kept + kRecordSuffix);
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return {false, unwritable(infoDir, errno), {}};
        const bool written = writeAll(fd, record);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(info.constData());
            return {false, unwritable(infoDir, written ? errno : writeError), {}};
        }
        const int error = moveNoReplace(path, join(filesDir, kept));
        if (error == 0)
            return {true, {}, {path, place.trashDir, kept}};
        ::unlink(info.constData());
        if (error != EEXIST)
            return {false, whyNotMoved(error), {}};
    }
}

RestoreResult restore(const TrashedFile &entry)
{
    const QByteArray kept = entry.trashDir + "/files/" + entry.keptName;
    const QByteArray info = entry.trashDir + "/info/" + entry.keptName + kRecordSuffix;
    const int fd = ::open(info.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {false,
                errno == ENOENT ? tr("its record in the trash is missing") : systemError(errno)};
    QByteArray record(64 * 1024, '\0');
    const ssize_t size = ::read(fd, record.data(), size_t(record.size()));
    ::close(fd);
    record.truncate(qMax<qsizetype>(size, 0));
    if (recordedPath(record, entry.trashDir) != entry.path)
        return {false, tr("its record in the trash is damaged")};

    struct stat file {};
    if (::lstat(kept.constData(), &file) != 0)
        return {false, tr("it is no longer in the trash")};
    struct stat folder {};
    if (::stat(parentOf(entry.path).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return {false, tr("its folder is gone")};
    // A rename within the file system keeps the name's content and modification time.
    switch (const int error = moveNoReplace(kept, entry.path)) {
    case 0:
        break;
    case EEXIST:
        return {false, tr("another file has taken its place")};
    case ENOENT:
    case ENOTDIR:
        return {false, tr("its folder is gone")};
    default:
        return {false, systemError(error)};
    }
    if (::unlink(info.constData()) != 0)
        return {true,
                tr("it is back, but its record stays in the trash: %1").arg(systemError(errno))};
    return {true, {}};
}

} // namespace twinsift::trash

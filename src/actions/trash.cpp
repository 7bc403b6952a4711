// SPDX-License-Identifier: MIT
#include "trash.h"

#include "listing/folderlisting.h"
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
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

QString tr(const char *text)
{
    return QCoreApplication::translate("twinsift::trash", text);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd &operator=(Fd &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }

private:
    int m_fd;
};

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray join(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? QByteArray(folder + name) : QByteArray(folder + '/' + name);
}

// Opens the folder `below` the open folder `anchor` following no link. Where that fails
// because a link stands on the way, errno is ELOOP (the kernel may say ENOTDIR instead).
int openNoLink(int anchor, QByteArrayView below)
{
    if (below.isEmpty())
        return ::fcntl(anchor, F_DUPFD_CLOEXEC, 0);
    const int fd = FolderListing::open(anchor, below);
    if (fd >= 0 || (errno != ENOTDIR && errno != ELOOP))
        return fd;
    const int followed = ::openat(anchor, below.toByteArray().constData(), kFolderFlags);
    if (followed >= 0)
        ::close(followed);
    errno = followed >= 0 ? ELOOP : ENOTDIR;
    return -1;
}

FileIdentity identityOf(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? FileIdentity::of(info) : FileIdentity{};
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

// 0, or why the folder could not be made. For the user's own data folder only.
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

// The real path of an open folder, as the kernel knows it; empty when it has none.
QByteArray realPathOf(int fd)
{
    QByteArray path(4096, '\0');
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t size = ::readlink(link.constData(), path.data(), size_t(path.size()));
    if (size <= 0 || size >= path.size() || path[0] != '/')
        return {};
    path.truncate(size);
    return path;
}

struct Mount {
    quint64 id = 0;
    bool known = false; // the kernel tells mount ids
    bool isRoot = false;
    bool rootKnown = false;
};

Mount mountOf(int fd)
{
    struct statx info {};
    Mount mount;
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, STATX_MNT_ID, &info) != 0 ||
        (info.stx_mask & STATX_MNT_ID) == 0)
        return mount;
    mount.id = info.stx_mnt_id;
    mount.known = true;
    mount.rootKnown = (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0;
    mount.isRoot = (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return mount;
}

QByteArray readAll(int fd)
{
    QByteArray text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return text;
        text.append(buffer, got);
    }
}

// Mount points are written with spaces, tabs, newlines and backslashes as \ooo.
QByteArray unescapeMount(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

struct MountEntry {
    QByteArray point;
    QByteArray type;

    // Modes are the mount's on these, the same for every folder, and cannot be narrowed.
    bool keepsModes() const
    {
        return !QList<QByteArray>{"vfat", "msdos", "exfat", "fuseblk", "fuse.fusefat", "fuse.exfat"}
                    .contains(type);
    }
};

// The mount that holds a folder: found by the mount's id where the kernel tells it, else as
// the mount point that is the longest leading part of the folder's real path.
MountEntry mountEntryOf(const Mount &mount, const QByteArray &realPath)
{
    const Fd table(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
    if (!table.ok())
        return {};
    MountEntry best;
    for (const QByteArray &line : readAll(table.get()).split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 0 || dash + 1 >= fields.size())
            continue;
        const MountEntry entry{unescapeMount(fields[4]), fields[dash + 1]};
        if (mount.known) {
            if (fields[0].toULongLong() == mount.id)
                return entry;
            continue;
        }
        const bool holds = entry.point == "/" || realPath == entry.point ||
                           realPath.startsWith(QByteArray(entry.point + '/'));
        if (holds && entry.point.size() >= best.point.size())
            best = entry;
    }
    return best;
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

// 0, or why not. Never replaces what stands at `to`.
int moveNoReplace(int fromFd, const QByteArray &from, int toFd, const QByteArray &to)
{
    if (::renameat2(fromFd, from.constData(), toFd, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // vfat, exfat and some network file systems cannot rename without replacing, and vfat
    // and exfat have no hard links to move with either. The name is claimed first by making
    // an empty file there exclusively (O_EXCL fails on any name taken, a dangling link
    // included), so the plain rename can replace only that file of our own: whatever stood
    // at `to` before is never overwritten.
    const int claim =
        ::openat(toFd, to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (claim < 0)
        return errno;
    ::close(claim);
    if (::renameat(fromFd, from.constData(), toFd, to.constData()) == 0)
        return 0;
    const int error = errno;
    ::unlinkat(toFd, to.constData(), 0);
    return error;
}

QString whyNotMoved(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return tr("it is no longer there: moved, renamed or deleted since it was listed");
    case ELOOP:
        return tr("a folder on its path was replaced by a link since it was listed");
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

QString refused(const QByteArray &folder, const QString &why)
{
    return tr("the trash folder %1 is not used: %2").arg(rawname::display(folder), why);
}

// Opens the trash folder `name` in `parentFd`, making it where it is missing: a real folder
// (never a link, which could lead the files anywhere) of the user's own, and with `privateOnly`
// one that no one else may open. `made` learns whether it was made here.
Fd openOwn(int parentFd, const QByteArray &name, const QByteArray &path, bool privateOnly,
           bool &made, QString &error)
{
    made = ::mkdirat(parentFd, name.constData(), 0700) == 0;
    if (!made && errno != EEXIST) {
        error = unwritable(path, errno);
        return Fd();
    }
    Fd fd(::openat(parentFd, name.constData(), kFolderFlags | O_NOFOLLOW));
    struct stat info {};
    if (!fd.ok() || ::fstat(fd.get(), &info) != 0) {
        error = errno == ELOOP || errno == ENOTDIR
                    ? refused(path, tr("it is a link or not a folder"))
                    : unwritable(path, errno);
        return Fd();
    }
    if (info.st_uid != ::geteuid()) {
        error = refused(path, tr("it belongs to another user"));
        return Fd();
    }
    if (privateOnly && (info.st_mode & 077) != 0) {
        error = refused(
            path,
            tr("other users may open it (mode %1)").arg(QString::number(info.st_mode & 07777, 8)));
        return Fd();
    }
    return fd;
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

// A trash folder of a past delete, opened again only if it is still that folder: its
// parent by path, itself without following a link. -1 and `error` otherwise.
Fd reopenTrash(const TrashedFile &entry, Fd &parent, QString &error)
{
    const QByteArray base = entry.trashDir.mid(entry.trashDir.lastIndexOf('/') + 1);
    parent = Fd(::open(parentOf(entry.trashDir).constData(), kFolderFlags));
    Fd fd(parent.ok() ? ::openat(parent.get(), base.constData(), kFolderFlags | O_NOFOLLOW) : -1);
    if (!fd.ok()) {
        error = errno == ELOOP || errno == ENOTDIR
                    ? tr("the trash folder %1 is now a link").arg(rawname::display(entry.trashDir))
                    : tr("the trash folder %1 is gone").arg(rawname::display(entry.trashDir));
        return Fd();
    }
    if (!identityOf(fd.get()).sameInode(entry.trash)) {
        error = tr("the trash folder %1 was replaced").arg(rawname::display(entry.trashDir));
        return Fd();
    }
    return fd;
}

Fd openPart(int trashFd, const char *name)
{
    Fd fd(::openat(trashFd, name, kFolderFlags | O_NOFOLLOW));
    struct stat info {};
    if (fd.ok() && (::fstat(fd.get(), &info) != 0 || info.st_uid != ::geteuid()))
        return Fd();
    return fd;
}

void removeEmpty(int parentFd, const QByteArray &name, int trashFd, quint8 made)
{
    if (made & Session::MadeFiles)
        ::unlinkat(trashFd, "files", AT_REMOVEDIR);
    if (made & Session::MadeInfo)
        ::unlinkat(trashFd, "info", AT_REMOVEDIR);
    if (made & Session::MadeTrash)
        ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR); // fails unless empty
}

} // namespace

// One volume's trash, open for the session.
struct Session::Place {
    QByteArray trashDir;
    QByteArray top; // empty for the home trash, whose records hold absolute paths
    Fd parent;      // holds the trash folder
    Fd trash, info, files;
    FileIdentity identity;
    quint8 made = 0;
    QString error; // why this volume's files cannot be trashed
};

Session::Session() = default;

Session::~Session()
{
    for (auto &[mount, place] : m_places) {
        if (place->trash.ok())
            removeEmpty(place->parent.get(),
                        place->trashDir.mid(place->trashDir.lastIndexOf('/') + 1),
                        place->trash.get(), place->made);
    }
    for (auto &[root, fd] : m_roots) {
        if (fd >= 0)
            ::close(fd);
    }
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

int Session::rootFolder(const QByteArray &root)
{
    auto it = m_roots.find(root);
    if (it == m_roots.end()) {
        // As the walk opened it: a start folder given through a link is where the link leads.
        int fd;
        do {
            fd = ::open(root.constData(), kFolderFlags);
        } while (fd < 0 && errno == EINTR);
        it = m_roots.emplace(root, fd < 0 ? -errno : fd).first;
    }
    if (it->second < 0)
        errno = -it->second;
    return it->second;
}

// The folder of a listed file, opened from the walk's start folder without following links.
int Session::folderOf(const ListedFile &file, qsizetype nameStart, int &error)
{
    const QByteArray folder = file.path.left(nameStart);
    if (m_folderFd >= 0 && folder == m_folderPath)
        return m_folderFd;
    if (m_folderFd >= 0)
        ::close(m_folderFd);
    m_folderFd = -1;
    m_folderPath = folder;
    const int root = rootFolder(file.path.left(file.rootLength));
    if (root < 0) {
        error = errno;
        return -1;
    }
    const QByteArrayView below =
        QByteArrayView(folder).sliced(file.rootLength).chopped(nameStart > file.rootLength ? 1 : 0);
    m_folderFd = openNoLink(root, below);
    error = errno;
    return m_folderFd;
}

std::shared_ptr<Session::Place> Session::placeFor(int folderFd, const struct stat &folder,
                                                  QString &error)
{
    const Mount mount = mountOf(folderFd);
    const quint64 key = mount.known ? mount.id : quint64(folder.st_dev);
    if (auto it = m_places.find(key); it != m_places.end()) {
        error = it->second->error;
        return error.isEmpty() ? it->second : nullptr;
    }
    auto place = std::make_shared<Place>();
    m_places.emplace(key, place);
    bool made = false;

    // The home trash for files on its own mount, where a rename reaches it; the mount of the
    // data folder is that of its nearest folder that exists.
    const QByteArray home = homeTrash();
    QByteArray existing = home.isEmpty() ? QByteArray() : parentOf(home);
    Fd data;
    while (!existing.isEmpty() && !(data = Fd(::open(existing.constData(), kFolderFlags))).ok())
        existing = existing == "/" ? QByteArray() : parentOf(existing);
    const Mount dataMount = data.ok() ? mountOf(data.get()) : Mount{};
    struct stat dataInfo {};
    if (data.ok() && (mount.known && dataMount.known ? dataMount.id == mount.id
                                                     : ::fstat(data.get(), &dataInfo) == 0 &&
                                                           dataInfo.st_dev == folder.st_dev)) {
        place->trashDir = home;
        if (const int madeError = makePath(parentOf(home)))
            place->error = unwritable(home, madeError);
        else if ((data = Fd(::open(parentOf(home).constData(), kFolderFlags))).ok())
            place->trash = openOwn(data.get(), "Trash", home, false, made, place->error);
        else
            place->error = unwritable(home, errno);
        place->parent = std::move(data);
    }
    if (place->trashDir.isEmpty()) {
        // Else the volume's: its top from the mount table, checked to be that mount's root.
        const QByteArray real = realPathOf(folderFd);
        const MountEntry entry = mountEntryOf(mount, real);
        place->top = entry.point;
        Fd top(place->top.isEmpty() ? -1 : ::open(place->top.constData(), kFolderFlags));
        struct stat info {};
        const Mount topMount = top.ok() ? mountOf(top.get()) : Mount{};
        const bool isTop =
            top.ok() &&
            (mount.known ? topMount.id == mount.id && (!topMount.rootKnown || topMount.isRoot)
                         : ::fstat(top.get(), &info) == 0 && info.st_dev == folder.st_dev);
        if (!isTop) {
            place->error = QCoreApplication::translate(
                "twinsift::trash", "the top folder of its volume cannot be found");
        } else {
            const QByteArray uid = QByteArray::number(::geteuid());
            // The volume's shared trash, where the administrator made one: sticky, not a link,
            // and root's (the owner of a sticky folder may move the entries of others in it).
            const QByteArray shared = join(place->top, ".Trash");
            Fd sharedFd(::openat(top.get(), ".Trash", kFolderFlags | O_NOFOLLOW));
            if (sharedFd.ok() &&
                (::fstat(sharedFd.get(), &info) != 0 || (info.st_mode & S_ISVTX) == 0 ||
                 (info.st_uid != 0 && info.st_uid != ::geteuid())))
                sharedFd = Fd();
            QString sharedError;
            if (sharedFd.ok())
                place->trash =
                    openOwn(sharedFd.get(), uid, join(shared, uid), false, made, sharedError);
            if (place->trash.ok()) {
                place->trashDir = join(shared, uid);
                place->parent = std::move(sharedFd);
            } else {
                place->trashDir = join(place->top, ".Trash-" + uid);
                place->trash = openOwn(top.get(), ".Trash-" + uid, place->trashDir,
                                       entry.keepsModes(), made, place->error);
                place->parent = std::move(top);
            }
        }
    }
    if (place->trash.ok()) {
        place->made = made ? MadeTrash : 0;
        place->identity = identityOf(place->trash.get());
        place->info = openOwn(place->trash.get(), "info", join(place->trashDir, "info"), false,
                              made, place->error);
        place->made |= made ? MadeInfo : 0;
        if (place->info.ok())
            place->files = openOwn(place->trash.get(), "files", join(place->trashDir, "files"),
                                   false, made, place->error);
        place->made |= made ? MadeFiles : 0;
    }
    error = place->error;
    return error.isEmpty() ? place : nullptr;
}

TrashResult Session::moveToTrash(const ListedFile &file)
{
    const qsizetype nameStart = file.path.lastIndexOf('/') + 1;
    if (!file.identity.isKnown() || file.rootLength <= 0 || nameStart < file.rootLength ||
        file.path[file.rootLength - 1] != '/')
        return {
            false,
            QCoreApplication::translate("twinsift::trash", "what it was when listed is not known"),
            {}};
    const QByteArray name = file.path.mid(nameStart);
    int error = 0;
    const int folderFd = folderOf(file, nameStart, error);
    if (folderFd < 0)
        return {false, whyNotMoved(error), {}};
    struct stat entry {};
    if (::fstatat(folderFd, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return {false, whyNotMoved(errno), {}};
    if (S_ISDIR(entry.st_mode))
        return {false,
                QCoreApplication::translate("twinsift::trash",
                                            "it is a folder now, not the listed file"),
                {}};
    const FileIdentity now = FileIdentity::of(entry);
    if (!now.sameInode(file.identity))
        return {
            false,
            QCoreApplication::translate("twinsift::trash", "it was replaced since it was listed"),
            {}};
    if (now != file.identity)
        return {false,
                QCoreApplication::translate("twinsift::trash", "it changed since it was listed"),
                {}};

    struct stat folder {};
    if (::fstat(folderFd, &folder) != 0)
        return {false, systemError(errno), {}};
    QString placeError;
    const std::shared_ptr<Place> place = placeFor(folderFd, folder, placeError);
    if (!place)
        return {false, placeError, {}};
    const QByteArray realPath = join(realPathOf(folderFd), name);
    if (!realPath.startsWith('/'))
        return {false, whyNotMoved(ENOENT), {}};
    const QByteArray topSlash = place->top.isEmpty() ? QByteArray() : join(place->top, {});
    const QByteArray original = !topSlash.isEmpty() && realPath.startsWith(topSlash)
                                    ? realPath.mid(topSlash.size())
                                    : realPath;
    const QByteArray record =
        "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(u"yyyy-MM-dd'T'HH:mm:ss").toLatin1() + '\n';
    // As the freedesktop trash standard asks: the record is made first, exclusively, which
    // claims the name; only then does the file move in.
    for (int attempt = 1;; ++attempt) {
        const QByteArray kept = keptName(name, attempt);
        const QByteArray info = kept + kRecordSuffix;
        const int fd = ::openat(place->info.get(), info.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        const QByteArray infoDir = join(place->trashDir, "info");
        if (fd < 0)
            return {false, unwritable(infoDir, errno), {}};
        const bool written = writeAll(fd, record);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            ::unlinkat(place->info.get(), info.constData(), 0);
            return {false, unwritable(infoDir, written ? errno : writeError), {}};
        }
        const int moveError = moveNoReplace(folderFd, name, place->files.get(), kept);
        if (moveError == 0) {
            // What moved must be what was checked, not an entry swapped in just before.
            struct stat moved {};
            if (::fstatat(place->files.get(), kept.constData(), &moved, AT_SYMLINK_NOFOLLOW) == 0 &&
                FileIdentity::of(moved).sameInode(now))
                return {true,
                        {},
                        {file.path, realPath, place->trashDir, kept, now, FileIdentity::of(folder),
                         place->identity, place->made}};
            if (moveNoReplace(place->files.get(), kept, folderFd, name) != 0)
                return {false,
                        QCoreApplication::translate(
                            "twinsift::trash",
                            "it was replaced since it was listed; what took its place is in "
                            "the trash as %1")
                            .arg(rawname::display(join(place->trashDir, "files/" + kept))),
                        {}};
            ::unlinkat(place->info.get(), info.constData(), 0);
            return {false,
                    QCoreApplication::translate("twinsift::trash",
                                                "it was replaced since it was listed"),
                    {}};
        }
        ::unlinkat(place->info.get(), info.constData(), 0);
        if (moveError != EEXIST)
            return {false, whyNotMoved(moveError), {}};
    }
}

RestoreResult restore(const TrashedFile &entry)
{
    Fd parent;
    QString error;
    const Fd trash = reopenTrash(entry, parent, error);
    if (!trash.ok())
        return {RestoreResult::InTrash, error};
    const Fd info = openPart(trash.get(), "info");
    const Fd files = openPart(trash.get(), "files");
    if (!info.ok() || !files.ok())
        return {RestoreResult::InTrash,
                tr("the trash folder %1 is damaged").arg(rawname::display(entry.trashDir))};
    struct stat kept {};
    if (::fstatat(files.get(), entry.keptName.constData(), &kept, AT_SYMLINK_NOFOLLOW) != 0 ||
        !FileIdentity::of(kept).sameInode(entry.file))
        return {RestoreResult::Gone, tr("it is no longer in the trash")};
    const QByteArray infoName = entry.keptName + kRecordSuffix;
    const Fd record(::openat(info.get(), infoName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!record.ok())
        return {RestoreResult::InTrash,
                errno == ENOENT ? tr("its record in the trash is missing") : systemError(errno)};
    QByteArray text(64 * 1024, '\0');
    const ssize_t size = ::read(record.get(), text.data(), size_t(text.size()));
    text.truncate(qMax<qsizetype>(size, 0));
    const QByteArray recorded = recordedPath(text, entry.trashDir);
    if (recorded.isEmpty())
        return {RestoreResult::InTrash, tr("its record in the trash is damaged")};
    if (recorded != entry.realPath)
        return {RestoreResult::InTrash, tr("its record in the trash names another path")};

    // The folder it came from, by its real path and following no link, and still that folder.
    const qsizetype slash = entry.realPath.lastIndexOf('/');
    const QByteArray name = entry.realPath.mid(slash + 1);
    const Fd root(::open("/", kFolderFlags));
    const QByteArrayView below =
        QByteArrayView(entry.realPath).sliced(1, std::max<qsizetype>(slash - 1, 0));
    const Fd folder(openNoLink(root.get(), below));
    if (!folder.ok())
        return {RestoreResult::InTrash, errno == ELOOP ? tr("its folder was replaced by a link")
                                                       : tr("its folder is gone")};
    if (!identityOf(folder.get()).sameInode(entry.folder))
        return {RestoreResult::InTrash, tr("its folder was replaced since the deletion")};
    // A rename within the file system keeps the name's content and modification time.
    switch (const int moveError = moveNoReplace(files.get(), entry.keptName, folder.get(), name)) {
    case 0:
        break;
    case EEXIST:
        return {RestoreResult::InTrash, tr("another file has taken its place")};
    case ENOENT:
    case ENOTDIR:
        return {RestoreResult::InTrash, tr("its folder is gone")};
    default:
        return {RestoreResult::InTrash, systemError(moveError)};
    }
    if (::unlinkat(info.get(), infoName.constData(), 0) != 0)
        return {RestoreResult::Restored,
                tr("it is back, but its record stays in the trash: %1").arg(systemError(errno))};
    return {RestoreResult::Restored, {}};
}

void removeEmptyMade(const TrashedFile &entry)
{
    if (entry.made == 0)
        return;
    Fd parent;
    QString error;
    const Fd trash = reopenTrash(entry, parent, error);
    if (trash.ok())
        removeEmpty(parent.get(), entry.trashDir.mid(entry.trashDir.lastIndexOf('/') + 1),
                    trash.get(), entry.made);
}

} // namespace twinsift::trash

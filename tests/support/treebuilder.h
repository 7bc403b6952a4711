// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A temporary folder tree built from raw byte paths, so that tests can hold names that are
// not valid UTF-8.
class TreeBuilder {
public:
    TreeBuilder() { QVERIFY(m_dir.isValid()); }
    // QDir cannot remove names that are not UTF-8, nor paths beyond PATH_MAX; rm can.
    ~TreeBuilder()
    {
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), m_dir.path()});
    }

    QByteArray root() const { return QFile::encodeName(m_dir.path()); }
    QByteArray path(const QByteArray &relative) const { return root() + '/' + relative; }

    // The folder `relative`, open, made where missing one level at a time so that paths may
    // reach beyond PATH_MAX.
    int folder(const QByteArray &relative)
    {
        int fd = ::open(root().constData(), O_RDONLY | O_DIRECTORY);
        for (QByteArray part : relative.split('/')) {
            part = part.isEmpty() ? "." : part;
            ::mkdirat(fd, part.constData(), 0755);
            const int next = ::openat(fd, part.constData(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        return fd;
    }

    void file(const QByteArray &relative, qint64 size = 0)
    {
        const qsizetype slash = relative.lastIndexOf('/');
        const int dir = folder(relative.left(std::max<qsizetype>(slash, 0)));
        const int fd =
            ::openat(dir, relative.mid(slash + 1).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ::close(dir);
        QVERIFY2(fd >= 0 && ::ftruncate(fd, size) == 0, relative.constData());
        ::close(fd);
    }

    // Entries by pattern: "a/b.txt" a file, "b.txt=9" one of 9 bytes, "d/" a folder, "l->t" a link
    // to t, "p|" a pipe.
    void files(const QByteArrayList &patterns)
    {
        for (const QByteArray &entry : patterns) {
            const qsizetype arrow = entry.indexOf("->"), equals = entry.lastIndexOf('=');
            if (arrow > 0)
                QVERIFY(::symlink(entry.mid(arrow + 2), path(entry.left(arrow))) == 0);
            else if (entry.endsWith('/'))
                ::close(folder(entry));
            else if (entry.endsWith('|'))
                QVERIFY(::mkfifo(path(entry.chopped(1)).constData(), 0600) == 0);
            else
                file(entry.left(equals > 0 ? equals : entry.size()),
                     equals > 0 ? entry.mid(equals + 1).toLongLong() : 0);
        }
    }

private:
    QTemporaryDir m_dir;
};

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
    TreeBuilder(const TreeBuilder &) = delete;
    TreeBuilder &operator=(const TreeBuilder &) = delete;

    QByteArray root() const { return QFile::encodeName(m_dir.path()); }
    QByteArray path(const QByteArray &relative) const { return root() + '/' + relative; }

    void folder(const QByteArray &relative)
    {
        QByteArray partial;
        for (const QByteArray &part : relative.split('/')) {
            partial += (partial.isEmpty() ? "" : "/") + part;
            ::mkdir(path(partial).constData(), 0755);
        }
    }

    void file(const QByteArray &relative, qint64 size = 0)
    {
        const qsizetype slash = relative.lastIndexOf('/');
        if (slash > 0)
            folder(relative.left(slash));
        const int fd = ::open(path(relative).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        QVERIFY2(fd >= 0, path(relative).constData());
        QVERIFY(::ftruncate(fd, size) == 0);
        ::close(fd);
    }

    // Entries by spec: "a/b.txt" a file, "b.txt=9" one of 9 bytes, "d/" a folder, "l->t" a link
    // to t, "p|" a pipe.
    void files(const QByteArrayList &specs)
    {
        for (const QByteArray &spec : specs) {
            const qsizetype arrow = spec.indexOf("->"), equals = spec.lastIndexOf('=');
            if (arrow > 0)
                QVERIFY(::symlink(spec.mid(arrow + 2), path(spec.left(arrow))) == 0);
            else if (spec.endsWith('/'))
                folder(spec.chopped(1));
            else if (spec.endsWith('|'))
                QVERIFY(::mkfifo(path(spec.chopped(1)).constData(), 0600) == 0);
            else
                file(spec.left(equals > 0 ? equals : spec.size()),
                     equals > 0 ? spec.mid(equals + 1).toLongLong() : 0);
        }
    }

    // A chain of `levels` folders named `name`, each beside a folder "side"; built with
    // relative calls so that it may reach beyond PATH_MAX. Returns the innermost folder's fd.
    int deepChain(const QByteArray &name, int levels)
    {
        int fd = ::open(root().constData(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < levels && fd >= 0; ++level) {
            ::mkdirat(fd, name.constData(), 0755);
            ::mkdirat(fd, "side", 0755);
            const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        return fd;
    }

private:
    QTemporaryDir m_dir;
};

// SPDX-License-Identifier: MIT
// Moving files to the freedesktop trash, in a trash of the test's own.

#include "actions/trash.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace twinsift;

class TestTrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Before any call into GIO, which reads the variable once.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("files"))));
    }

    void movesTheFileItself_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("plain.txt");
        QTest::newRow("blank and unicode") << QByteArray("r\xc3\xa9sum\xc3\xa9 copy.doc");
        QTest::newRow("not UTF-8") << QByteArray("caf\xe9.txt");
    }

    void movesTheFileItself()
    {
        QFETCH(QByteArray, name);
        const QByteArray path = folder() + name;
        writeFile(path);

        const trash::TrashResult result = trash::moveToTrash(path);
        QVERIFY2(result.moved, qPrintable(result.error));
        QVERIFY(::access(path.constData(), F_OK) != 0);
        const QByteArray trashed = trashFolder() + "/files/" + name;
        QVERIFY2(::access(trashed.constData(), F_OK) == 0, trashed.constData());
        const QByteArray text = readFile(trashFolder() + "/info/" + name + ".trashinfo");
        QVERIFY2(text.contains(QByteArray("Path=" + path.toPercentEncoding("/"))), text.constData());
        QVERIFY(text.contains("DeletionDate="));
    }

    void aLinkGoesNotItsTarget()
    {
        const QByteArray target = folder() + "target.txt";
        const QByteArray link = folder() + "link.txt";
        writeFile(target);
        QCOMPARE(::symlink(target.constData(), link.constData()), 0);
        const trash::TrashResult result = trash::moveToTrash(link);
        QVERIFY2(result.moved, qPrintable(result.error));
        QVERIFY(::access(target.constData(), F_OK) == 0);
    }

    void refusalsLeaveEverything_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing file") << QByteArray("gone.txt") << false;
        QTest::newRow("a folder in the file's place") << QByteArray("now-a-folder") << true;
    }

    void refusalsLeaveEverything()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, folder);
        const QByteArray full = this->folder() + path;
        if (folder)
            QVERIFY(QDir().mkpath(QFile::decodeName(full)));
        const trash::TrashResult result = trash::moveToTrash(full);
        QVERIFY(!result.moved);
        QVERIFY(!result.error.isEmpty());
        if (folder)
            QVERIFY(QFileInfo(QFile::decodeName(full)).isDir());
    }

private:
    QByteArray folder() const
    {
        return QFile::encodeName(m_dir.filePath(QStringLiteral("files"))) + '/';
    }
    QByteArray trashFolder() const
    {
        return QFile::encodeName(m_dir.filePath(QStringLiteral("data/Trash")));
    }
    static QByteArray readFile(const QByteArray &path)
    {
        QByteArray text;
        if (FILE *file = std::fopen(path.constData(), "r")) {
            char buffer[4096];
            text = QByteArray(buffer, qsizetype(std::fread(buffer, 1, sizeof buffer, file)));
            std::fclose(file);
        }
        return text;
    }
    static void writeFile(const QByteArray &path)
    {
        FILE *file = std::fopen(path.constData(), "w");
        QVERIFY(file);
        std::fputs("data", file);
        std::fclose(file);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"

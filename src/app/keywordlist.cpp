// SPDX-License-Identifier: MIT
#include "keywordlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace twinsift {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(char16_t c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

QStringList KeywordList::parse(QByteArrayView content)
{
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isBlank(text[i].unicode()))
            ++i;
        QString item;
        if (i < n && text[i] == u'"') {
            // A quoted item runs to the next quote, across line ends, or to the end of the file.
            const qsizetype start = ++i;
            while (i < n && text[i] != u'"')
                ++i;
            item = text.mid(start, i - start);
            if (i < n && text[i] == u'"')
                ++i;
            while (i < n && text[i] != u',' && !isLineEnd(text[i].unicode()))
                ++i; // whatever follows the closing quote up to the delimiter is not part of it
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !isLineEnd(text[i].unicode()))
                ++i;
            item = text.mid(start, i - start);
            while (!item.isEmpty() && isBlank(item.back().unicode()))
                item.chop(1);
        }
        if (i < n)
            ++i; // the delimiter: a comma, or one character of a line end
        if (!item.isEmpty())
            items.append(item);
    }
    return items;
}

KeywordList::LoadResult KeywordList::load(const QString &fileName)
{
    setKeywords({});
    QFile file(fileName);
    if (!file.exists())
        return {Status::Missing, QStringLiteral("%1 does not exist").arg(fileName)};
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, file.errorString()};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, file.errorString()};
    setKeywords(parse(content));
    return {Status::Loaded, {}};
}

void KeywordList::setKeywords(const QStringList &keywords)
{
    m_keywords = keywords;
    m_lookup = QSet<QString>(keywords.begin(), keywords.end());
}

QString KeywordList::defaultFileName()
{
    return fileNameFor(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString KeywordList::fileNameFor(const QString &programFolder, const QString &configFolder)
{
    // A portable build keeps its keywords beside it; an installed one, whose folder the user
    // cannot write, keeps them in the user's configuration.
    const QFileInfo folder(programFolder);
    if (folder.isDir() && folder.isWritable())
        return QDir(programFolder).filePath(QStringLiteral("Keywords.txt"));
    return QDir(configFolder).filePath(QStringLiteral("twinsift/Keywords.txt"));
}

} // namespace twinsift

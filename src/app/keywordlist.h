// SPDX-License-Identifier: MIT
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace twinsift {

// The stems to leave out of the duplicate search, read from a plain text file: items end at
// a comma or a line end, blanks around an item are dropped, and an item in double quotes runs
// to the next quote (commas and line ends included) or to the end of the file. Only items
// made of capital letters can ever match a stem.
class KeywordList {
public:
    enum class Status { Loaded, Missing, Unreadable };

    struct LoadResult {
        Status status = Status::Missing;
        QString error; // why the file could not be read, for people
    };

    static QStringList parse(QByteArrayView content);
    LoadResult load(const QString &fileName);

    void setKeywords(const QStringList &keywords);
    const QStringList &keywords() const { return m_keywords; }

    // True when the stem equals none of the keywords (exact, case-sensitive).
    bool notAkeyword(const QString &str1) const { return !m_lookup.contains(str1); }

    // "Keywords.txt" in the folder that holds the program when the user may write there,
    // else "twinsift/Keywords.txt" in the user's configuration folder.
    static QString defaultFileName();
    static QString fileNameFor(const QString &programFolder, const QString &configFolder);

private:
    QStringList m_keywords;
    QSet<QString> m_lookup;
};

} // namespace twinsift

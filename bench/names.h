// SPDX-License-Identifier: MIT
#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// File names as people's folders hold them: camera series, songs, documents with versions,
// copies such as "name (1)" and "name - Copy", and a spread of extensions.
using namespace Qt::StringLiterals;

class NameGenerator {
public:
    explicit NameGenerator(quint32 seed) : m_rng(seed) {}

    QString next()
    {
        const int kind = m_rng.bounded(100);
        QString name;
        if (kind < 12) {
            static const QStringList cameras{u"IMG_"_s, u"DSC"_s,         u"DSCN"_s, u"PXL_2023"_s,
                                             u"VID_"_s, u"Screenshot_"_s, u"P10"_s,  u"GOPR"_s};
            name = pick(cameras) + QString::number(m_rng.bounded(10000)).rightJustified(4, u'0');
        } else if (kind < 40) {
            name = word() + u" - "_s + word() + u' ' + word();
        } else if (kind < 75) {
            name = word() + u' ' + word();
            if (m_rng.bounded(3) == 0)
                name += u" v"_s + QString::number(m_rng.bounded(1, 5));
            if (m_rng.bounded(3) == 0)
                name += u' ' + word();
        } else {
            name = word() + u'_' + word() + u'_' + QString::number(m_rng.bounded(2015, 2026));
        }
        const int copy = m_rng.bounded(100);
        if (copy < 6)
            name += u" ("_s + QString::number(m_rng.bounded(1, 4)) + u')';
        else if (copy < 9)
            name += u" - Copy"_s;
        else if (copy < 11)
            name = u"Copy of "_s + name;
        static const QStringList exts{u".jpg"_s,  u".JPG"_s,  u".jpeg"_s, u".png"_s, u".mp3"_s,
                                      u".flac"_s, u".docx"_s, u".pdf"_s,  u".txt"_s, u".mp4"_s,
                                      u".heic"_s, u".xlsx"_s, u".odt"_s,  u".zip"_s};
        return name + pick(exts);
    }

private:
    QString pick(const QStringList &list) { return list[m_rng.bounded(int(list.size()))]; }

    QString word()
    {
        static const QStringList words = [] {
            QStringList w;
            const char *base[] = {
                "holiday",  "beach",    "report",  "summer",   "winter",    "family",  "budget",
                "invoice",  "letter",   "party",   "wedding",  "garden",    "concert", "live",
                "remix",    "acoustic", "love",    "night",    "morning",   "river",   "mountain",
                "city",     "project",  "draft",   "final",    "notes",     "meeting", "school",
                "music",    "dance",    "blue",    "red",      "green",     "golden",  "silver",
                "dream",    "road",     "home",    "house",    "office",    "paris",   "london",
                "berlin",   "rome",     "trip",    "birthday", "christmas", "scan",    "receipt",
                "contract", "thesis",   "chapter", "slides",   "poster"};
            for (const char *b : base)
                w.append(QString::fromLatin1(b));
            return w;
        }();
        QString w = pick(words);
        if (m_rng.bounded(4) == 0)
            w[0] = w[0].toUpper();
        return w;
    }

    QRandomGenerator m_rng;
};

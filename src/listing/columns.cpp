// SPDX-License-Identifier: MIT
#include "columns.h"

#include <QCoreApplication>

namespace twinsift {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;

const Column kStartup[] = {
    {Cell::Number, QT_TRANSLATE_NOOP("Columns", "No."), 100, kLeft},
    {Cell::Filename, QT_TRANSLATE_NOOP("Columns", "Filename"), 300, kLeft},
    {Cell::Size, QT_TRANSLATE_NOOP("Columns", "Size"), 100, kRight, SortKind::Size},
    {Cell::Hash, QT_TRANSLATE_NOOP("Columns", "Hash"), 100, kLeft},
    {Cell::Path, QT_TRANSLATE_NOOP("Columns", "Path"), 300, kLeft},
};

const Column kListing[] = {
    {Cell::Number, QT_TRANSLATE_NOOP("Columns", "No."), 100, kLeft},
    {Cell::Filename, QT_TRANSLATE_NOOP("Columns", "Filename"), 300, kLeft},
    {Cell::Size, QT_TRANSLATE_NOOP("Columns", "Size"), 90, kRight, SortKind::Size},
    {Cell::Hash, QT_TRANSLATE_NOOP("Columns", "Hash"), 100, kRight},
    {Cell::Path, QT_TRANSLATE_NOOP("Columns", "Path"), 550, kLeft},
};

const Column kPairs[] = {
    {Cell::Number, QT_TRANSLATE_NOOP("Columns", "No."), 80, kLeft},
    {Cell::File1, QT_TRANSLATE_NOOP("Columns", "File1"), 280, kLeft},
    {Cell::File2, QT_TRANSLATE_NOOP("Columns", "File2"), 280, kLeft},
    {Cell::Similarity, QT_TRANSLATE_NOOP("Columns", "Similarity(%)"), 100, kRight,
     SortKind::Similarity},
};

const Column kPairsWithContent[] = {
    kPairs[0],
    kPairs[1],
    kPairs[2],
    kPairs[3],
    {Cell::Content, QT_TRANSLATE_NOOP("Columns", "Content"), 180, kLeft, SortKind::Content},
};

} // namespace

QString Column::title() const
{
    return QCoreApplication::translate("Columns", text);
}

namespace columns {

std::span<const Column> startup()
{
    return kStartup;
}

std::span<const Column> listing()
{
    return kListing;
}

std::span<const Column> pairs()
{
    return kPairs;
}

std::span<const Column> pairsWithContent()
{
    return kPairsWithContent;
}

QStringList texts(std::span<const Column> table)
{
    QStringList made;
    for (const Column &column : table)
        made << QString::fromLatin1(column.text);
    return made;
}

} // namespace columns

} // namespace twinsift

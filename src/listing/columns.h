// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <span>

namespace twinsift {

// What a column of the result list shows.
enum class Cell { Number, Filename, Size, Hash, Path, File1, File2, Similarity, Content };
// How a click on a column's header orders the rows: by the number behind its text, or not.
enum class SortKind { None, Size, Similarity, Content };

// One column of the result list: its header text, width in pixels, alignment and sort kind.
// The window, its model and the command line's header rows all read these tables.
struct Column {
    Cell cell;
    const char *text; // the header as written; title() gives it in the user's language
    int width;
    Qt::Alignment alignment;
    SortKind sort = SortKind::None;

    QString title() const;
};

namespace columns {

// The listing's columns as the window opens, before any listing has set its own widths.
std::span<const Column> startup();
std::span<const Column> listing();
std::span<const Column> pairs();
// The pairs' columns once their contents have been compared: the four, then "Content".
std::span<const Column> pairsWithContent();
// Each column's header as written, untranslated: the header row of the command line.
QStringList texts(std::span<const Column> table);

} // namespace columns

} // namespace twinsift

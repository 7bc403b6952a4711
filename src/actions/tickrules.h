// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <limits>
#include <vector>

// Rules that tick one file in every pair at once, so that thousands of pairs can be
// reviewed without ticking and switching row by row.
namespace twinsift::tickrules {

enum class Rule { Copy, Newer, Older, LongerName, UnderFolder, OutsideFolder };

// One pair row: its two files by their place in the rule's file list, and its tick.
struct PairSides {
    quint32 first;
    quint32 second;
    bool checked;
};

enum class Action : quint8 { None, Tick, SwitchAndTick };

struct Plan {
    std::vector<Action> actions; // one a row
    qint64 files = 0;            // files newly marked to go
    qint64 pairs = 0;            // rows newly ticked
    qint64 leftAlone = 0;        // unticked rows that stay unticked
};

// A file the rule cannot judge (its time cannot be read): its pairs are left alone.
constexpr qint64 kUnknown = std::numeric_limits<qint64>::min();

// Whether a file name carries a mark that file managers, browsers and editors add to a copy.
bool hasCopyMark(const QByteArray &name);

// What the rule thinks of each file: in a pair, the file with the greater key is the one to
// go, and equal keys leave the pair alone. `folder` (ending in "/") serves the folder rules.
// Reads modification times for the time rules, so it belongs off the GUI thread.
std::vector<qint64> keys(Rule rule, const std::vector<QByteArray> &paths,
                         const QByteArray &folder = {});

// For each file, the file of the list that it is a link to, or itself. Reads the files, so
// it belongs off the GUI thread.
std::vector<quint32> linkTargets(const std::vector<QByteArray> &paths);

// Picks the rows to tick, in row order, keeping in every set of files joined by pairs at
// least one file that no ticked row removes. Ticked rows stay as they are. A link and the
// listed file it leads to are one file to this rule (`targets`, from linkTargets(), or empty
// where there are none): the link keeps nothing once its target goes, so only the target
// counts as kept.
Plan plan(const std::vector<PairSides> &rows, const std::vector<qint64> &keys,
          const std::vector<quint32> &targets = {});

// The outcome for people, such as "Ticked 3 files in 4 pairs; 1 pair left alone".
QString message(const Plan &plan);

} // namespace twinsift::tickrules

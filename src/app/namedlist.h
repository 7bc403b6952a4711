// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace twinsift::namedlist {

// The first `shown` of `lines` and, when there are more, a line saying how many more: a long
// list of files is named in part, so that its message still fits the screen.
QStringList firstOf(const QStringList &lines, qsizetype shown);

} // namespace twinsift::namedlist

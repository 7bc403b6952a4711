// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are kept as the bytes the file system gave us. These helpers turn them into
// text without losing anything: a byte that is not part of valid UTF-8 becomes the lone
// surrogate U+DC00 + byte (the "surrogate escape" that Python and others use), so the text
// can always be turned back into the very same bytes.
namespace twinsift::rawname {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);

// The text for people to read: escaped bytes shown as U+FFFD.
QString display(QByteArrayView bytes);

bool isValidUtf8(QByteArrayView bytes);

// Length of the valid UTF-8 sequence that starts at `i`, or 0 when the byte there starts none
// (and so stands for itself, escaped).
qsizetype validSequenceLength(QByteArrayView bytes, qsizetype i);

} // namespace twinsift::rawname

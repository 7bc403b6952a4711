// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QUrl>

namespace twinsift {

// A file URL that carries the raw bytes of `path`, percent-encoded, so that a name that is
// not UTF-8 reaches the program that opens it unchanged. QUrl::fromLocalFile would need the
// path as text first, and that loses such bytes.
QUrl fileUrl(QByteArrayView path);

} // namespace twinsift

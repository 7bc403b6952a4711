// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace twinsift::cli {

// A listing of paths, such as find or a backup catalogue writes, held whole in memory so that
// the candidates can borrow their paths from it.
class PathListing {
public:
    // Reads all of `fileName`, or standard input for "-". On failure, says why in `error`.
    bool read(const QByteArray &fileName, QString &error);

    // Hands every entry to `visit` in listing order; empty entries are skipped. Entries end at
    // NUL with `nul`, else at a line feed, with a carriage return before it dropped. False when
    // a line listing holds a NUL byte, which no path can hold.
    bool forEachEntry(bool nul, const std::function<void(QByteArrayView)> &visit) const;

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace twinsift::cli

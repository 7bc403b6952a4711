// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace twinsift {

// What comparing the contents of a pair's two files found. Small, so that one can ride with
// each of millions of pair rows.
struct ContentVerdict {
    enum class Kind : quint8 {
        NotCompared, // not asked for, or the compare stopped before the pair
        Same,
        Different,
        Unreadable, // `error` holds the errno
        Changed,    // the file is not the one listed (other size, time or inode, or gone)
        NotRegular, // a pipe, device, socket or link: never read
    };
    Kind kind = Kind::NotCompared;
    quint8 error = 0;

    bool operator==(const ContentVerdict &) const = default;

    bool isCompared() const { return kind != Kind::NotCompared; }
    // One word for scripts, never translated: "same", "different" or "unreadable" (which
    // stands for every reason the contents could not be told); empty when not compared.
    QString word() const;
    // For people, with the reason: "unreadable: permission denied".
    QString text() const;
};

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include "fileidentity.h"

#include <vector>

namespace twinsift {

// File identities kept by the hundred thousand: 24 bytes each where FileIdentity takes 32.
// One tree spans few devices, so each device is kept once and named by a 16-bit index, and
// a size takes 48 bits (256 TiB). An identity that does not fit is kept as unknown, which
// matches nothing: such a file is never removed on the list's word.
class IdentityList {
public:
    static constexpr quint16 kNoDevice = 0xFFFF;

    // The index of `device` in this list's table; kNoDevice once the table is full.
    quint16 deviceIndex(quint64 device);
    quint64 device(quint16 index) const { return m_devices[index]; }

    void reserve(size_t count) { m_items.reserve(count); }
    void append(const FileIdentity &identity);
    FileIdentity at(size_t index) const;
    size_t size() const { return m_items.size(); }

private:
    struct Packed {
        quint64 inode = 0;
        qint64 mtimeNs = 0;
        quint32 sizeLow = 0;
        quint16 sizeHigh = 0;
        quint16 device = kNoDevice;
    };
    static_assert(sizeof(Packed) == 24);

    std::vector<Packed> m_items;
    std::vector<quint64> m_devices;
    quint16 m_lastDevice = kNoDevice;
};

} // namespace twinsift

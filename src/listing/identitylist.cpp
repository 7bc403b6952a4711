// SPDX-License-Identifier: MIT
#include "identitylist.h"

namespace twinsift {

quint16 IdentityList::deviceIndex(quint64 device)
{
    // Files come folder by folder, so the device is mostly the one before.
    if (m_lastDevice != kNoDevice && m_devices[m_lastDevice] == device)
        return m_lastDevice;
    size_t i = 0;
    while (i < m_devices.size() && m_devices[i] != device)
        ++i;
    if (i == m_devices.size()) {
        if (i == kNoDevice)
            return kNoDevice;
        m_devices.push_back(device);
    }
    m_lastDevice = quint16(i);
    return m_lastDevice;
}

void IdentityList::append(const FileIdentity &identity)
{
    Packed packed;
    if (identity.isKnown() && identity.size < (qint64(1) << 48))
        packed = {identity.inode, identity.mtimeNs, quint32(identity.size),
                  quint16(quint64(identity.size) >> 32), deviceIndex(identity.device)};
    m_items.push_back(packed);
}

FileIdentity IdentityList::at(size_t index) const
{
    const Packed &packed = m_items[index];
    if (packed.device == kNoDevice)
        return {};
    return {m_devices[packed.device], packed.inode,
            qint64(packed.sizeLow) | qint64(packed.sizeHigh) << 32, packed.mtimeNs};
}

} // namespace twinsift

// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

namespace twinsift {

// The number of the last row added to the result list, 0 when it is empty. Rows are
// numbered through it so that a row appended with number n stands at position n.
class RunningIndex {
public:
    quint64 value() const { return m_value; }
    // The number the next row gets; the caller stores it once the row exists.
    quint64 x() const { return m_value + 1; }
    void store(quint64 number) { m_value = number; }
    void reset() { m_value = 0; }

private:
    quint64 m_value = 0;
};

} // namespace twinsift

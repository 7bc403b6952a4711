// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

namespace twinsift {

// A pair found by one search: two candidates by their place in that search's paths.
struct PairIndices {
    quint32 first = 0;
    quint32 second = 0;
    quint32 number = 0;
    quint8 percent = 0;
};

} // namespace twinsift

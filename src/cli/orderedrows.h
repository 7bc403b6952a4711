// SPDX-License-Identifier: MIT
#pragma once

#include "rowwriter.h"

#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <stop_token>
#include <vector>

namespace twinsift::cli {

// Writes rows formatted on several threads in the order of their parts, numbered from 0 and
// each formatted on one thread. The rows of the part whose turn it is go out as they come; a
// part finished early waits in memory, and whoever finishes the part before it writes it, so
// that no thread waits for another while it has rows to format. The first failed write stops
// `failure`; from then on rows are dropped, but parts still take their turns.
class OrderedRows {
public:
    OrderedRows(RowWriter &writer, std::stop_source failure);

    // Takes the rows of `part` formatted since the last call, `last` when the part is done. The
    // rows go out now when every part before is written; else they stay in `rows`, or, for a
    // done part, are moved out and `rows` gets an empty buffer. Waits for the turn only when
    // more rows would wait than may be held back.
    void add(size_t part, RowBuffer &rows, bool last);

private:
    void writeOut(RowBuffer &rows);

    RowWriter &m_writer;
    const std::stop_source m_failure;
    std::mutex m_mutex;
    std::condition_variable m_turnTaken;
    size_t m_turn = 0;                  // the part whose rows go out next
    std::map<size_t, RowBuffer> m_done; // parts done before their turn
    qsizetype m_held = 0;               // their bytes
    std::vector<RowBuffer> m_spare;     // written buffers, kept for their room
};

} // namespace twinsift::cli

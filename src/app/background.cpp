// SPDX-License-Identifier: MIT
#include "background.h"

namespace twinsift::background {

QThreadPool *pool()
{
    // Never deleted: deleting a pool waits for its threads, and one may be hung for good.
    static QThreadPool *const threads = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(8);
        return made;
    }();
    return threads;
}

} // namespace twinsift::background

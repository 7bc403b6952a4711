// SPDX-License-Identifier: MIT
#pragma once

namespace twinsift {

// What the result list shows: the files of a listing ("search") or duplicate pairs.
enum class ListMode { Search, Duplicate };

} // namespace twinsift

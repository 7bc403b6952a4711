// SPDX-License-Identifier: MIT
// The keyword file reader on any bytes: no crash, no hang, and every item it returns is
// non-empty; only a quoted item may run over a line end.
#include "app/keywordlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList items = twinsift::KeywordList::parse(bytes);
    const bool quoted = bytes.contains('"');
    for (const QString &item : items) {
        if (item.isEmpty() || (!quoted && (item.contains(u'\n') || item.contains(u'\r'))))
            std::abort();
    }
    twinsift::KeywordList list;
    list.setKeywords(items);
    for (const QString &item : items) {
        if (list.notAkeyword(item))
            std::abort();
    }
    return 0;
}

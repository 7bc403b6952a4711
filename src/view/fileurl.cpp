// SPDX-License-Identifier: MIT
#include "fileurl.h"

namespace twinsift {

QUrl fileUrl(QByteArrayView path)
{
    return QUrl::fromEncoded("file://" + path.toByteArray().toPercentEncoding("/"),
                             QUrl::StrictMode);
}

} // namespace twinsift

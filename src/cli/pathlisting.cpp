// SPDX-License-Identifier: MIT
#include "pathlisting.h"

#include <QFile>

#include <cstdio>
#include <cstring>

namespace twinsift::cli {

bool PathListing::read(const QByteArray &fileName, QString &error)
{
    QFile file;
    const bool standardInput = fileName == "-";
    if (standardInput)
        file.open(stdin, QIODevice::ReadOnly);
    else
        file.setFileName(QFile::decodeName(fileName));
    if (!standardInput && !file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    m_bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        m_bytes.clear();
        return false;
    }
    return true;
}

bool PathListing::forEachEntry(bool nul, const std::function<void(QByteArrayView)> &visit) const
{
    const char separator = nul ? '\0' : '\n';
    if (!nul && std::memchr(m_bytes.constData(), '\0', size_t(m_bytes.size())))
        return false;
    const char *at = m_bytes.constData();
    const char *const end = at + m_bytes.size();
    while (at < end) {
        const auto *found = static_cast<const char *>(std::memchr(at, separator, size_t(end - at)));
        const char *entryEnd = found ? found : end;
        QByteArrayView entry(at, entryEnd);
        if (!nul && entry.endsWith('\r'))
            entry.chop(1); // listings made on Windows end their lines in CR LF
        if (!entry.isEmpty())
            visit(entry);
        at = found ? found + 1 : end;
    }
    return true;
}

} // namespace twinsift::cli

// SPDX-License-Identifier: MIT
#pragma once

// Files that lie about what they hold, for the preview and the player to meet: picture
// headers that claim billions of pixels in a few bytes, and sound that plays although it is
// not what its name says.

#include <QByteArray>
#include <QDataStream>
#include <QFile>

namespace hostile {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Numbers as a format stores them: PNG big-endian, GIF and WAV little-endian.
template <QDataStream::ByteOrder order, typename... Numbers> QByteArray packed(Numbers... numbers)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(order);
    (out << ... << numbers);
    return bytes;
}

// A PNG chunk with its CRC-32, without which decoders reject the header.
inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray typed = type + data;
    quint32 crc = 0xffffffffu;
    for (const char byte : typed) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return packed<QDataStream::BigEndian>(quint32(data.size())) + typed +
           packed<QDataStream::BigEndian>(~crc);
}

// A valid PNG header that claims `width` x `height` RGBA pixels, with one small data chunk.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray header =
        packed<QDataStream::BigEndian>(width, height) + QByteArray::fromHex("0806000000");
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", qCompress(QByteArray(256, '\0')).mid(4)) + pngChunk("IEND", {});
}

} // namespace hostile

// SPDX-License-Identifier: MIT
#pragma once

// Files that lie about what they hold, for the preview and the player to meet: picture
// headers that claim billions of pixels in a few bytes, and sound that plays although it is
// not what its name says.

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

namespace hostile {

inline quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray chunk;
    QDataStream out(&chunk, QIODevice::WriteOnly);
    out << quint32(data.size());
    const QByteArray typed = QByteArray(type) + data;
    out.writeRawData(typed.constData(), int(typed.size()));
    out << crc32(typed);
    return chunk;
}

// A valid PNG header that claims `width` x `height` RGBA pixels, with one small data chunk.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out << width << height << quint8(8) << quint8(6) << quint8(0) << quint8(0) << quint8(0);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", qCompress(QByteArray(256, '\0')).mid(4)) + pngChunk("IEND", {});
}

// A GIF whose screen and only image claim `width` x `height` pixels, holding one pixel's
// worth of data. GIF has no checksum: its size fields are taken at their word.
inline QByteArray gifClaiming(quint16 width, quint16 height)
{
    QByteArray gif;
    QDataStream out(&gif, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("GIF89a", 6);
    out << width << height << quint8(0x80) << quint8(0) << quint8(0); // two colours follow
    out << quint8(0) << quint8(0) << quint8(0) << quint8(255) << quint8(255) << quint8(255);
    out << quint8(0x2c) << quint16(0) << quint16(0) << width << height << quint8(0);
    out << quint8(2) << quint8(2) << quint8(0x4c) << quint8(0x01) << quint8(0) << quint8(0x3b);
    return gif;
}

// Silence as 16-bit mono PCM in a WAV container. Players find the format from the bytes,
// so a file named .mp3 that holds this plays.
inline QByteArray wavSilence(int milliseconds)
{
    constexpr quint32 rate = 8000;
    const QByteArray samples(qsizetype(rate * 2 * quint32(milliseconds) / 1000), '\0');
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples.size());
    return wav + samples;
}

} // namespace hostile

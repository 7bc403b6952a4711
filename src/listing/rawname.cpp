// SPDX-License-Identifier: MIT
#include "rawname.h"

namespace twinsift::rawname {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at i, or 0 when the byte there starts none;
// `decoded` receives its code point.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype i, char32_t *decoded = nullptr)
{
    const auto at = [&](qsizetype k) { return quint8(bytes[k]); };
    const quint8 lead = at(i);
    if (lead < 0x80) {
        if (decoded)
            *decoded = lead;
        return 1;
    }
    qsizetype length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (qsizetype k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (at(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    if (decoded)
        *decoded = code;
    return length;
}

// QString::fromUtf8 drops a byte order mark at the start of what it decodes; in a name,
// U+FEFF is a character like any other and must survive.
bool startsWithByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

} // namespace

qsizetype validSequenceLength(QByteArrayView bytes, qsizetype i)
{
    return sequenceLength(bytes, i);
}

bool isValidUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = sequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

QString decode(QByteArrayView bytes)
{
    if (!startsWithByteOrderMark(bytes) && isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const qsizetype length = sequenceLength(bytes, i, &code);
        if (length == 0) {
            text.append(QChar(char16_t(kEscapeBase + quint8(bytes[i]))));
            ++i;
        } else {
            text.append(QChar::fromUcs4(code));
            i += length;
        }
    }
    return text;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        if (end > start)
            bytes.append(text.sliced(start, end - start).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool escaped = unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF &&
                             !(i > 0 && QChar::isHighSurrogate(text[i - 1].unicode()));
        if (escaped) {
            flush(i);
            bytes.append(char(unit - kEscapeBase));
            start = i + 1;
        }
    }
    flush(text.size());
    return bytes;
}

QString display(QByteArrayView bytes)
{
    if (startsWithByteOrderMark(bytes))
        return QChar(0xFEFF) + QString::fromUtf8(bytes.sliced(3));
    return QString::fromUtf8(bytes);
}

} // namespace twinsift::rawname

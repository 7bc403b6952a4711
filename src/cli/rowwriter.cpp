// SPDX-License-Identifier: MIT
#include "rowwriter.h"

#include "listing/rawname.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace twinsift::cli {

namespace {

constexpr qsizetype kFlushAt = 1 << 16;

constexpr quint64 kOnes = 0x0101010101010101ULL;
constexpr quint64 kHighs = 0x8080808080808080ULL;

// Nonzero when some byte of x is below n (n <= 128), or equal to c.
constexpr quint64 below(quint64 x, quint8 n)
{
    return (x - kOnes * n) & ~x & kHighs;
}
constexpr quint64 equal(quint64 x, char c)
{
    return below(x ^ (kOnes * quint8(c)), 1);
}

// Where the first byte that a format must look at stands, at or after `i`: eight bytes at a
// time, since almost every byte of a path is plain ASCII and goes out as it is.
template <bool json> inline qsizetype skipPlain(QByteArrayView bytes, qsizetype i)
{
    for (; i + 8 <= bytes.size(); i += 8) {
        quint64 x;
        std::memcpy(&x, bytes.data() + i, 8);
        const quint64 special = json
                                    ? below(x, 0x20) | equal(x, '"') | equal(x, '\\') | (x & kHighs)
                                    : below(x, '\r' + 1) | equal(x, '\\');
        if (special)
            break;
    }
    return i;
}

inline char *put(char *out, QByteArrayView bytes)
{
    std::memcpy(out, bytes.data(), size_t(bytes.size()));
    return out + bytes.size();
}

char *putTsv(char *out, QByteArrayView bytes)
{
    qsizetype start = 0;
    for (qsizetype i = skipPlain<false>(bytes, 0); i < bytes.size();
         i = skipPlain<false>(bytes, i + 1)) {
        const char *escape = nullptr;
        switch (bytes[i]) {
        case '\\':
            escape = "\\\\";
            break;
        case '\t':
            escape = "\\t";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\n':
            escape = "\\n";
            break;
        default:
            continue;
        }
        out = put(put(out, bytes.sliced(start, i - start)), QByteArrayView(escape, 2));
        start = i + 1;
    }
    return put(out, bytes.sliced(start));
}

char *putCsv(char *out, QByteArrayView bytes)
{
    bool quote = false;
    for (qsizetype i = 0; i < bytes.size() && !quote; ++i) {
        const char c = bytes[i];
        quote = c == ',' || c == '"' || c == '\r' || c == '\n';
    }
    if (!quote)
        return put(out, bytes);
    *out++ = '"';
    for (const char c : bytes) {
        if (c == '"')
            *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

char *putJson(char *out, QByteArrayView bytes)
{
    // Valid UTF-8 is copied as it stands; a byte that starts no valid sequence is written as
    // the lone surrogate \udc80 to \udcff, as the surrogate escape decodes it.
    static constexpr char kHex[] = "0123456789abcdef";
    *out++ = '"';
    qsizetype start = 0;
    const auto escape = [&](qsizetype i, QByteArrayView text) {
        out = put(put(out, bytes.sliced(start, i - start)), text);
        start = i + 1;
    };
    for (qsizetype i = skipPlain<true>(bytes, 0); i < bytes.size();
         i = skipPlain<true>(bytes, i + 1)) {
        const auto c = quint8(bytes[i]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\')
            continue;
        if (c >= 0x80) {
            const qsizetype length = rawname::validSequenceLength(bytes, i);
            if (length > 0) {
                i += length - 1;
                continue;
            }
            const char code[] = {'\\', 'u', 'd', 'c', kHex[c >> 4], kHex[c & 15]};
            escape(i, QByteArrayView(code, 6));
            continue;
        }
        switch (c) {
        case '"':
            escape(i, "\\\"");
            break;
        case '\\':
            escape(i, "\\\\");
            break;
        case '\n':
            escape(i, "\\n");
            break;
        case '\r':
            escape(i, "\\r");
            break;
        case '\t':
            escape(i, "\\t");
            break;
        default: {
            const char code[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
            escape(i, QByteArrayView(code, 6));
        }
        }
    }
    out = put(out, bytes.sliced(start));
    *out++ = '"';
    return out;
}

// The most bytes a cell can take in a format: an escape takes at most six for one.
qsizetype escapedBound(Format format, qsizetype size)
{
    return (format == Format::Jsonl ? 6 : 2) * size + 3;
}

// Where `bound` more bytes may be written.
char *room(RowBuffer &rows, qsizetype bound)
{
    if (rows.size + bound > qsizetype(rows.bytes.size()))
        rows.bytes.resize(size_t(rows.size + bound)); // a row longer than the buffer: deep paths
    return rows.bytes.data() + rows.size;
}

// A text cell escaped as `format` escapes texts.
char *putText(Format format, char *out, QByteArrayView bytes)
{
    switch (format) {
    case Format::Tsv:
        return putTsv(out, bytes);
    case Format::Csv:
        return putCsv(out, bytes);
    case Format::Jsonl:
        return putJson(out, bytes);
    }
    return out;
}

} // namespace

RowWriter::RowWriter(std::FILE *out, Format format, QList<QByteArray> columns)
    : m_out(out), m_format(format), m_columns(std::move(columns))
{
    m_buffer.bytes.resize(2 * kFlushAt);
    for (const QByteArray &column : m_columns) {
        QByteArray key(escapedBound(Format::Jsonl, column.size()), Qt::Uninitialized);
        key.truncate(putJson(key.data(), column) - key.data());
        m_keys.append(key + ':');
        m_keyBytes += m_keys.back().size();
    }
}

RowWriter::~RowWriter()
{
    flush();
}

void RowWriter::writeHeader()
{
    qsizetype bound = 4;
    for (const QByteArray &column : m_columns)
        bound += escapedBound(m_format, column.size()) + 1;
    char *const start = room(m_buffer, bound);
    char *out = start;
    if (m_format == Format::Jsonl)
        *out++ = '[';
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (i > 0)
            *out++ = m_format == Format::Tsv ? '\t' : ',';
        out = putText(m_format, out, m_columns[i]);
    }
    out = put(out, m_format == Format::Csv ? "\r\n" : m_format == Format::Jsonl ? "]\n" : "\n");
    m_buffer.size += out - start;
}

bool RowWriter::writeRow(std::initializer_list<Cell> cells)
{
    if (m_error != 0)
        return false;
    formatRow(m_buffer, cells);
    return m_buffer.size < kFlushAt || flush();
}

void RowWriter::formatRow(RowBuffer &rows, std::initializer_list<Cell> cells) const
{
    qsizetype bound = m_keyBytes + 4;
    for (const Cell &cell : cells)
        bound += (cell.kind == Cell::Text ? escapedBound(m_format, cell.bytes.size())
                                          : cell.bytes.size() + 2) +
                 1;
    char *const start = room(rows, bound);
    char *out = start;
    qsizetype column = 0;
    switch (m_format) {
    case Format::Tsv:
        for (const Cell &cell : cells) {
            if (column++ > 0)
                *out++ = '\t';
            out = cell.kind == Cell::Text ? putTsv(out, cell.bytes) : put(out, cell.bytes);
        }
        *out++ = '\n';
        break;
    case Format::Csv:
        for (const Cell &cell : cells) {
            if (column++ > 0)
                *out++ = ',';
            out = cell.kind == Cell::Text ? putCsv(out, cell.bytes) : put(out, cell.bytes);
        }
        out = put(out, "\r\n");
        break;
    case Format::Jsonl:
        *out++ = '{';
        for (const Cell &cell : cells) {
            if (column > 0)
                *out++ = ',';
            out = put(out, m_keys.value(column++));
            switch (cell.kind) {
            case Cell::Text:
                out = putJson(out, cell.bytes);
                break;
            case Cell::Plain:
                *out++ = '"';
                out = put(out, cell.bytes);
                *out++ = '"';
                break;
            case Cell::Number:
            case Cell::Formatted:
                out = put(out, cell.bytes);
                break;
            }
        }
        out = put(out, "}\n");
        break;
    }
    rows.size += out - start;
}

void RowWriter::formatCell(QByteArray &out, QByteArrayView bytes) const
{
    out.resize(escapedBound(m_format, bytes.size()));
    char *const start = out.data();
    out.truncate(putText(m_format, start, bytes) - start);
}

bool RowWriter::isPlain(QByteArrayView bytes) const
{
    // skipPlain stops at the first block of eight with a byte to look at, or before the last
    // bytes; from there on each byte is looked at.
    switch (m_format) {
    case Format::Tsv:
        return std::none_of(bytes.begin() + skipPlain<false>(bytes, 0), bytes.end(), [](char c) {
            return c == '\\' || c == '\t' || c == '\r' || c == '\n';
        });
    case Format::Csv:
        return std::none_of(bytes.begin(), bytes.end(),
                            [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    case Format::Jsonl:
        // Bytes beyond ASCII may go out as they are too, but only where they are valid UTF-8.
        return std::all_of(bytes.begin() + skipPlain<true>(bytes, 0), bytes.end(),
                           [](char c) { return c >= 0x20 && c != '"' && c != '\\'; });
    }
    return false;
}

bool RowWriter::write(QByteArrayView rows)
{
    return flush() && send(rows);
}

bool RowWriter::flush()
{
    const bool sent = send(m_buffer.view());
    m_buffer.size = 0;
    return sent;
}

bool RowWriter::send(QByteArrayView bytes)
{
    if (m_error == 0) {
        errno = 0;
        const auto size = size_t(bytes.size());
        // Rows may be empty; fwrite must not be handed their null bytes even then.
        if ((size > 0 && std::fwrite(bytes.data(), 1, size, m_out) != size) ||
            std::fflush(m_out) != 0)
            m_error = errno != 0 ? errno : EIO;
    }
    return m_error == 0;
}

} // namespace twinsift::cli

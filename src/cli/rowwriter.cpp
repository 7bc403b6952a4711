// SPDX-License-Identifier: MIT
#include "rowwriter.h"

#include "listing/rawname.h"

#include <cerrno>
#include <cstring>

namespace twinsift::cli {

namespace {

constexpr qsizetype kFlushAt = 1 << 16;

constexpr quint64 kOnes = 0x0101010101010101ULL;
constexpr quint64 kHighs = 0x8080808080808080ULL;

// High bit set in each byte of x that is below n (n <= 128), or equal to c.
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
qsizetype skipPlain(QByteArrayView bytes, qsizetype i, bool json)
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

} // namespace

RowWriter::RowWriter(std::FILE *out, Format format, QList<QByteArray> columns)
    : m_out(out), m_format(format), m_columns(std::move(columns))
{
    m_buffer.reserve(2 * kFlushAt);
    for (const QByteArray &column : m_columns) {
        QByteArray key;
        appendJson(key, column);
        m_keys.append(key + ':');
    }
}

RowWriter::~RowWriter()
{
    flush();
}

void RowWriter::appendTsv(QByteArray &out, QByteArrayView bytes)
{
    qsizetype start = 0;
    for (qsizetype i = skipPlain(bytes, 0, false); i < bytes.size();
         i = skipPlain(bytes, i + 1, false)) {
        const char c = bytes[i];
        if (c > '\r' && c != '\\')
            continue;
        const char *escape = nullptr;
        switch (c) {
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
        out.append(bytes.sliced(start, i - start)).append(escape);
        start = i + 1;
    }
    out.append(bytes.sliced(start));
}

void RowWriter::appendCsv(QByteArray &out, QByteArrayView bytes)
{
    const bool quote =
        bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n');
    if (!quote) {
        out.append(bytes);
        return;
    }
    out.append('"');
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '"') {
            out.append(bytes.sliced(start, i + 1 - start)).append('"');
            start = i + 1;
        }
    }
    out.append(bytes.sliced(start)).append('"');
}

void RowWriter::appendJson(QByteArray &out, QByteArrayView bytes)
{
    // Valid UTF-8 is copied as it stands; a byte that starts no valid sequence is written as
    // the lone surrogate \udc80 to \udcff, as the surrogate escape decodes it.
    out.append('"');
    qsizetype start = 0;
    const auto escape = [&](qsizetype i, QByteArrayView text) {
        out.append(bytes.sliced(start, i - start)).append(text);
        start = i + 1;
    };
    static constexpr char kHex[] = "0123456789abcdef";
    for (qsizetype i = skipPlain(bytes, 0, true); i < bytes.size();
         i = skipPlain(bytes, i + 1, true)) {
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
    out.append(bytes.sliced(start)).append('"');
}

void RowWriter::writeHeader()
{
    const char *separator = m_format == Format::Csv ? "," : m_format == Format::Tsv ? "\t" : ",";
    if (m_format == Format::Jsonl)
        m_buffer.append('[');
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (i > 0)
            m_buffer.append(separator);
        switch (m_format) {
        case Format::Tsv:
            appendTsv(m_buffer, m_columns[i]);
            break;
        case Format::Csv:
            appendCsv(m_buffer, m_columns[i]);
            break;
        case Format::Jsonl:
            appendJson(m_buffer, m_columns[i]);
            break;
        }
    }
    m_buffer.append(m_format == Format::Csv ? "\r\n" : m_format == Format::Jsonl ? "]\n" : "\n");
}

bool RowWriter::writeRow(std::initializer_list<Cell> cells)
{
    if (m_error != 0)
        return false;
    qsizetype column = 0;
    switch (m_format) {
    case Format::Tsv:
        for (const Cell &cell : cells) {
            if (column++ > 0)
                m_buffer.append('\t');
            appendTsv(m_buffer, cell.bytes);
        }
        m_buffer.append('\n');
        break;
    case Format::Csv:
        for (const Cell &cell : cells) {
            if (column++ > 0)
                m_buffer.append(',');
            appendCsv(m_buffer, cell.bytes);
        }
        m_buffer.append("\r\n");
        break;
    case Format::Jsonl:
        m_buffer.append('{');
        for (const Cell &cell : cells) {
            if (column > 0)
                m_buffer.append(',');
            m_buffer.append(m_keys.value(column++));
            if (cell.number)
                m_buffer.append(cell.bytes);
            else
                appendJson(m_buffer, cell.bytes);
        }
        m_buffer.append("}\n");
        break;
    }
    return m_buffer.size() < kFlushAt || flush();
}

bool RowWriter::flush()
{
    if (m_error == 0) {
        errno = 0;
        const auto size = size_t(m_buffer.size());
        if (std::fwrite(m_buffer.constData(), 1, size, m_out) != size || std::fflush(m_out) != 0)
            m_error = errno != 0 ? errno : EIO;
    }
    m_buffer.resize(0); // keeps the capacity for the next rows
    return m_error == 0;
}

} // namespace twinsift::cli

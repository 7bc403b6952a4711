// SPDX-License-Identifier: MIT
#include "rowwriter.h"

#include "../listing/rawname.h"

namespace twinsift::cli {

namespace {
constexpr qsizetype kFlushAt = 1 << 16;
}

RowWriter::RowWriter(std::FILE *out, Format format, QList<QByteArray> columns)
    : m_out(out), m_format(format), m_columns(std::move(columns))
{
}

RowWriter::~RowWriter()
{
    flush();
}

void RowWriter::appendTsv(QByteArray &out, QByteArrayView bytes)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
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
    // Decoding with surrogate escapes keeps every byte; the text is then written with
    // \u escapes for controls and for the escaped bytes, everything else as UTF-8.
    const QString text = rawname::decode(bytes);
    out.append('"');
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        if (end > runStart)
            out.append(QStringView(text).sliced(runStart, end - runStart).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool lowSurrogate = c >= 0xDC00 && c <= 0xDFFF;
        const bool paired = lowSurrogate && i > 0 && QChar::isHighSurrogate(text[i - 1].unicode());
        if (c >= 0x20 && c != u'"' && c != u'\\' && (!lowSurrogate || paired))
            continue;
        flushRun(i);
        runStart = i + 1;
        switch (c) {
        case u'"':
            out.append("\\\"");
            break;
        case u'\\':
            out.append("\\\\");
            break;
        case u'\n':
            out.append("\\n");
            break;
        case u'\r':
            out.append("\\r");
            break;
        case u'\t':
            out.append("\\t");
            break;
        default:
            out.append("\\u").append(QByteArray::number(c, 16).rightJustified(4, '0'));
        }
    }
    flushRun(text.size());
    out.append('"');
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

void RowWriter::writeRow(std::initializer_list<Cell> cells)
{
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
            appendJson(m_buffer, m_columns.value(column++));
            m_buffer.append(':');
            if (cell.number)
                m_buffer.append(cell.bytes);
            else
                appendJson(m_buffer, cell.bytes);
        }
        m_buffer.append("}\n");
        break;
    }
    if (m_buffer.size() >= kFlushAt)
        flush();
}

bool RowWriter::flush()
{
    if (m_buffer.isEmpty())
        return std::fflush(m_out) == 0;
    const size_t written = std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_out);
    const bool ok = written == size_t(m_buffer.size());
    m_buffer.clear();
    return std::fflush(m_out) == 0 && ok;
}

} // namespace twinsift::cli

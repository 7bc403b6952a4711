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

QByteArray RowWriter::escapeTsv(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        switch (c) {
        case '\\': out.append("\\\\"); break;
        case '\t': out.append("\\t"); break;
        case '\r': out.append("\\r"); break;
        case '\n': out.append("\\n"); break;
        default: out.append(c);
        }
    }
    return out;
}

QByteArray RowWriter::escapeCsv(QByteArrayView bytes)
{
    const bool quote = bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
                       bytes.contains('\n');
    if (!quote)
        return bytes.toByteArray();
    QByteArray out = "\"";
    for (char c : bytes) {
        if (c == '"')
            out.append('"');
        out.append(c);
    }
    out.append('"');
    return out;
}

QByteArray RowWriter::jsonString(QByteArrayView bytes)
{
    // Decoding with surrogate escapes keeps every byte; the text is then written with
    // \u escapes for controls and for the escaped bytes, everything else as UTF-8.
    const QString text = rawname::decode(bytes);
    QByteArray out = "\"";
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
        case u'"': out.append("\\\""); break;
        case u'\\': out.append("\\\\"); break;
        case u'\n': out.append("\\n"); break;
        case u'\r': out.append("\\r"); break;
        case u'\t': out.append("\\t"); break;
        default: out.append(QByteArray("\\u") + QByteArray::number(c, 16).rightJustified(4, '0'));
        }
    }
    flushRun(text.size());
    out.append('"');
    return out;
}

void RowWriter::writeHeader()
{
    switch (m_format) {
    case Format::Tsv:
        m_buffer.append(m_columns.join('\t')).append('\n');
        break;
    case Format::Csv: {
        QList<QByteArray> cells;
        for (const QByteArray &column : m_columns)
            cells.append(escapeCsv(column));
        m_buffer.append(cells.join(',')).append("\r\n");
        break;
    }
    case Format::Jsonl: {
        QList<QByteArray> cells;
        for (const QByteArray &column : m_columns)
            cells.append(jsonString(column));
        m_buffer.append('[').append(cells.join(',')).append("]\n");
        break;
    }
    }
}

void RowWriter::writeRow(const QList<Cell> &cells)
{
    switch (m_format) {
    case Format::Tsv:
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                m_buffer.append('\t');
            m_buffer.append(escapeTsv(cells[i].bytes));
        }
        m_buffer.append('\n');
        break;
    case Format::Csv:
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                m_buffer.append(',');
            m_buffer.append(escapeCsv(cells[i].bytes));
        }
        m_buffer.append("\r\n");
        break;
    case Format::Jsonl:
        m_buffer.append('{');
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                m_buffer.append(',');
            m_buffer.append(jsonString(m_columns.value(i))).append(':');
            m_buffer.append(cells[i].number ? cells[i].bytes : jsonString(cells[i].bytes));
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

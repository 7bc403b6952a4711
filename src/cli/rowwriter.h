// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

#include <cstdio>

namespace twinsift::cli {

enum class Format { Tsv, Csv, Jsonl };

// A cell as it goes out: raw bytes (paths and names as the file system gave them), and
// whether it is a number in formats that tell numbers from texts.
struct Cell {
    QByteArray bytes;
    bool number = false;
};

// Writes rows to a stream, buffered. tsv escapes backslash, tab, CR and LF; csv follows
// RFC 4180; jsonl writes one object a row keyed by the column texts, with bytes that are
// not UTF-8 escaped as the lone surrogates \udc80 to \udcff so that they stay recoverable.
class RowWriter {
public:
    RowWriter(std::FILE *out, Format format, QList<QByteArray> columns);
    ~RowWriter();
    RowWriter(const RowWriter &) = delete;
    RowWriter &operator=(const RowWriter &) = delete;

    void writeHeader();
    void writeRow(const QList<Cell> &cells);
    bool flush();

    static QByteArray escapeTsv(QByteArrayView bytes);
    static QByteArray escapeCsv(QByteArrayView bytes);
    static QByteArray jsonString(QByteArrayView bytes);

private:
    std::FILE *m_out;
    Format m_format;
    QList<QByteArray> m_columns;
    QByteArray m_buffer;
};

} // namespace twinsift::cli

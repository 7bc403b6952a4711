// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <initializer_list>
#include <vector>

namespace twinsift::cli {

enum class Format { Tsv, Csv, Jsonl };

// A cell as it goes out: raw bytes (paths and names as the file system gave them), and what
// the format must do with them. The bytes are only borrowed for the call that writes them.
struct Cell {
    enum Kind {
        Text,      // escaped as the format escapes texts
        Number,    // a number, in formats that tell numbers from texts
        Plain,     // a text known to need no escape (RowWriter::isPlain)
        Formatted, // already in the format's form (RowWriter::formatCell): copied as is
    };
    QByteArrayView bytes;
    Kind kind = Text;
};

// Formatted rows, for rows formatted on several threads and written in order. The bytes grow
// as needed and are kept for the next rows.
struct RowBuffer {
    std::vector<char> bytes;
    qsizetype size = 0;

    QByteArrayView view() const { return QByteArrayView(bytes.data(), size); }
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
    // False once a write has failed: rows after that are dropped, and the caller should stop.
    bool writeRow(std::initializer_list<Cell> cells);
    bool flush();

    // Appends a row to `rows` as writeRow would write it. Uses nothing that a write changes, so
    // several threads may format at once.
    void formatRow(RowBuffer &rows, std::initializer_list<Cell> cells) const;
    // Sets `out` to a cell's bytes as they go into a row, for a cell repeated in many rows.
    void formatCell(QByteArray &out, QByteArrayView bytes) const;
    // True when a text goes into a row as it is, but for the quotes of jsonl.
    bool isPlain(QByteArrayView bytes) const;
    // Writes formatted rows after all before them, at once; false as writeRow.
    bool write(QByteArrayView rows);
    // The errno of the first failed write, 0 while all went out.
    int error() const { return m_error; }

private:
    // Writes `bytes` and flushes the stream, unless a write has failed before.
    bool send(QByteArrayView bytes);

    std::FILE *m_out;
    Format m_format;
    QList<QByteArray> m_columns;
    QList<QByteArray> m_keys; // the jsonl keys, encoded once with their colon
    qsizetype m_keyBytes = 0;
    // Cells are escaped straight into it, through a pointer, as each row's size is bounded.
    RowBuffer m_buffer;
    int m_error = 0;
};

} // namespace twinsift::cli

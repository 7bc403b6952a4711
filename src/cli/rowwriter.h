// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <initializer_list>
#include <vector>

namespace twinsift::cli {

enum class Format { Tsv, Csv, Jsonl };

// A cell as it goes out: raw bytes (paths and names as the file system gave them), and
// whether it is a number in formats that tell numbers from texts. The bytes are only
// borrowed for the call that writes them.
struct Cell {
    QByteArrayView bytes;
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
    // False once a write has failed: rows after that are dropped, and the caller should stop.
    bool writeRow(std::initializer_list<Cell> cells);
    bool flush();
    // The errno of the first failed write, 0 while all went out.
    int error() const { return m_error; }

private:
    // Where `bound` more bytes may be written.
    char *room(qsizetype bound);

    std::FILE *m_out;
    Format m_format;
    QList<QByteArray> m_columns;
    QList<QByteArray> m_keys; // the jsonl keys, encoded once with their colon
    qsizetype m_keyBytes = 0;
    // Cells are escaped straight into it, through a pointer, as each row's size is bounded.
    std::vector<char> m_buffer;
    qsizetype m_size = 0;
    int m_error = 0;
};

} // namespace twinsift::cli

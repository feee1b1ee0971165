#pragma once

#include "core/CoreExport.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vq {

// Writes rows as RFC 4180 CSV. A field is quoted when it holds a comma, a quote, CR or LF, or
// begins or ends with a blank (spreadsheets trim those); inner quotes are doubled. Lines end in CR LF.
// A row of one empty field is written as "" so that it does not read back as a blank line.
class VQ_CORE_EXPORT CsvWriter {
public:
    explicit CsvWriter(QTextStream& out);

    void writeRow(const QStringList& fields);

private:
    QTextStream& m_out;
};

// Reads RFC 4180 CSV: quoted fields may hold commas, doubled quotes and line breaks (kept as written).
// Lines may end in LF, CR LF or a lone CR; a UTF-8 byte order mark at the start and completely empty lines
// are skipped. Text after a closing quote is kept, as spreadsheets do.
class VQ_CORE_EXPORT CsvReader {
public:
    explicit CsvReader(QTextStream& in);

    // The next row; false at the end of the input or on an error (see error()).
    bool readRow(QStringList* fields);
    // The line, from 1, on which the last row read begins.
    int lineNumber() const { return m_rowLine; }
    // Empty unless reading failed; names the line where the fault begins.
    QString error() const { return m_error; }

private:
    bool fill();
    bool atEnd();
    QChar take() { return m_buffer.at(m_pos++); }
    bool peekIs(char16_t c);
    void skipEmptyLines();
    bool readQuoted(QString& field);
    bool readUnquoted(QString& field);

    QTextStream& m_in;
    QString m_buffer;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_rowLine = 0;
    bool m_started = false;
    QString m_error;
};

}  // namespace vq

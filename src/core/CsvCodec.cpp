#include "core/CsvCodec.h"

namespace vq {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool needsQuotes(const QString& field) {
    if (field.isEmpty()) return false;
    if (isBlank(field.front()) || isBlank(field.back())) return true;
    for (QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') return true;
    }
    return false;
}

constexpr qsizetype kChunk = 64 * 1024;

}  // namespace

CsvWriter::CsvWriter(QTextStream& out) : m_out(out) {}

void CsvWriter::writeRow(const QStringList& fields) {
    QString line;
    if (fields.size() == 1 && fields.front().isEmpty()) {
        line = QStringLiteral("\"\"");
    } else {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0) line += u',';
            const QString& field = fields.at(i);
            if (!needsQuotes(field)) {
                line += field;
                continue;
            }
            line += u'"';
            for (QChar c : field) {
                if (c == u'"') line += u'"';
                line += c;
            }
            line += u'"';
        }
    }
    line += QStringLiteral("\r\n");
    m_out << line;
}

CsvReader::CsvReader(QTextStream& in) : m_in(in) {}

bool CsvReader::fill() {
    if (m_pos < m_buffer.size()) return true;
    if (m_in.atEnd()) return false;
    m_buffer = m_in.read(kChunk);
    m_pos = 0;
    return !m_buffer.isEmpty();
}

bool CsvReader::atEnd() {
    return !fill();
}

bool CsvReader::peekIs(char16_t c) {
    return fill() && m_buffer.at(m_pos) == c;
}

bool CsvReader::readRow(QStringList* fields) {
    fields->clear();
    if (!m_error.isEmpty()) return false;
    if (!m_started) {
        m_started = true;
        if (peekIs(u'\uFEFF')) ++m_pos;
    }
    skipEmptyLines();
    if (atEnd()) return false;

    m_rowLine = m_line;
    QString field;
    for (;;) {
        field.clear();
        if (peekIs(u'"') && !readQuoted(field)) {
            fields->clear();
            return false;
        }
        const bool rowEnds = readUnquoted(field);
        fields->append(field);
        if (rowEnds) return true;
    }
}

// Completely empty lines carry no row.
void CsvReader::skipEmptyLines() {
    for (;;) {
        if (peekIs(u'\n')) {
            ++m_pos;
        } else if (peekIs(u'\r')) {
            ++m_pos;
            if (peekIs(u'\n')) ++m_pos;
        } else {
            return;
        }
        ++m_line;
    }
}

// From the opening quote to the closing one, doubled quotes read as one; False, with the error
// set, when the text ends first.
bool CsvReader::readQuoted(QString& field) {
    ++m_pos;
    const int quoteLine = m_line;
    for (;;) {
        if (atEnd()) {
            m_error = QStringLiteral("Line %1: quoted field is not closed").arg(quoteLine);
            return false;
        }
        const QChar c = take();
        if (c == u'"') {
            if (!peekIs(u'"')) return true;
            ++m_pos;
        } else if (c == u'\n' || (c == u'\r' && !peekIs(u'\n'))) {
            ++m_line;
        }
        field += c;
    }
}

// The unquoted field, or whatever follows a closing quote, up to a comma or the line end; True
// when the row ends with it.
bool CsvReader::readUnquoted(QString& field) {
    while (fill()) {
        const qsizetype start = m_pos;
        const qsizetype size = m_buffer.size();
        const QChar* data = m_buffer.constData();
        while (m_pos < size && data[m_pos] != u',' && data[m_pos] != u'\n' && data[m_pos] != u'\r') ++m_pos;
        field += QStringView(data + start, m_pos - start);
        if (m_pos == size) continue;
        const QChar stop = take();
        if (stop == u',') return false;
        if (stop == u'\r' && peekIs(u'\n')) ++m_pos;
        ++m_line;
        return true;
    }
    return true;
}

}  // namespace vq

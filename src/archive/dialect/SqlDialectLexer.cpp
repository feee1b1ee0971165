#include "archive/dialect/SqlDialectLexer.h"

#include "archive/dialect/SqlDialectError.h"

namespace vq {

namespace {

bool isIdentifierStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isIdentifierPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text) {}

    std::vector<SqlToken> run() {
        std::vector<SqlToken> tokens;
        while (true) {
            while (m_at < m_text.size() && m_text[m_at].isSpace()) ++m_at;
            if (m_at >= m_text.size()) break;
            tokens.push_back(next());
        }
        tokens.push_back({SqlToken::Type::End, QString(), int(m_text.size()) + 1, QString()});
        return tokens;
    }

private:
    SqlToken next() {
        const qsizetype start = m_at;
        const QChar c = m_text[m_at];
        if (c == u'\'' || c == u'"') return quoted(c);
        if (c.isDigit() || (c == u'.' && m_at + 1 < m_text.size() && m_text[m_at + 1].isDigit()))
            return number();
        if (isIdentifierStart(c)) {
            while (m_at < m_text.size() && isIdentifierPart(m_text[m_at])) ++m_at;
            return make(SqlToken::Type::Identifier, start);
        }
        for (const char16_t* symbol : {u"<>", u"!=", u"<=", u">="}) {
            if (QStringView(m_text).mid(m_at, 2) == QStringView(symbol)) {
                m_at += 2;
                return make(SqlToken::Type::Symbol, start);
            }
        }
        if (QStringView(u"=<>(),.-").contains(c)) {
            ++m_at;
            return make(SqlToken::Type::Symbol, start);
        }
        throw SqlDialectError::at(int(start) + 1,
                                  QStringLiteral("the character '%1' has no meaning here").arg(c));
    }

    SqlToken make(SqlToken::Type type, qsizetype start) {
        const QString text = m_text.mid(start, m_at - start);
        return {type, text, int(start) + 1, text};
    }

    SqlToken number() {
        const qsizetype start = m_at;
        auto digits = [this] {
            while (m_at < m_text.size() && m_text[m_at].isDigit()) ++m_at;
        };
        digits();
        if (m_at < m_text.size() && m_text[m_at] == u'.') {
            ++m_at;
            digits();
        }
        if (m_at < m_text.size() && (m_text[m_at] == u'e' || m_text[m_at] == u'E')) {
            const qsizetype mark = m_at++;
            if (m_at < m_text.size() && (m_text[m_at] == u'+' || m_text[m_at] == u'-')) ++m_at;
            if (m_at < m_text.size() && m_text[m_at].isDigit())
                digits();
            else
                m_at = mark;
        }
        if (m_at < m_text.size() && isIdentifierPart(m_text[m_at]))
            throw SqlDialectError::at(
                int(start) + 1, QStringLiteral("\"%1\" is neither a number nor a name; put a text in quotes")
                                    .arg(m_text.mid(start, m_at - start + 1)));
        return make(SqlToken::Type::Number, start);
    }

    SqlToken quoted(QChar quote) {
        const qsizetype start = m_at++;
        QString value;
        while (true) {
            if (m_at >= m_text.size())
                throw SqlDialectError::at(
                    int(start) + 1,
                    QStringLiteral("the text starting here has no closing %1 quote (a quote inside a text is "
                                   "written twice)")
                        .arg(quote == u'"' ? QStringLiteral("double") : QStringLiteral("single")));
            const QChar c = m_text[m_at++];
            // A server ends a text at a NUL, so the search would look for less than was written.
            if (c == u'\0')
                throw SqlDialectError::at(int(m_at),
                                          QStringLiteral("a text cannot contain a NUL character (\\0)"));
            if (c != quote) {
                value.append(c);
            } else if (m_at < m_text.size() && m_text[m_at] == quote) {
                value.append(c);
                ++m_at;
            } else {
                break;
            }
        }
        return {SqlToken::Type::String, value, int(start) + 1, m_text.mid(start, m_at - start)};
    }

    const QString& m_text;
    qsizetype m_at = 0;
};

}  // namespace

std::vector<SqlToken> SqlDialectLexer::tokenize(const QString& clause) {
    return Scanner(clause).run();
}

}  // namespace vq

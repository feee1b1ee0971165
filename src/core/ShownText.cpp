#include "core/ShownText.h"

namespace vq {

bool ShownText::isEscaped(QChar c) {
    switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

namespace {

QString escaped(QChar c) {
    switch (c.unicode()) {
        case u'\n':
            return QStringLiteral("\\n");
        case u'\r':
            return QStringLiteral("\\r");
        case u'\t':
            return QStringLiteral("\\t");
        case 0:
            return QStringLiteral("\\0");
        default:
            return QStringLiteral("\\u{%1}").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
    }
}

}  // namespace

QString ShownText::of(const QString& text, qsizetype limit) {
    qsizetype kept = limit < 0 || text.size() <= limit ? text.size() : limit;
    // A cut never splits a surrogate pair.
    if (kept < text.size() && kept > 0 && text.at(kept - 1).isHighSurrogate()) --kept;
    QString shown;
    shown.reserve(kept + 16);
    for (qsizetype i = 0; i < kept; ++i) {
        const QChar c = text.at(i);
        if (isEscaped(c))
            shown += escaped(c);
        else
            shown += c;
    }
    if (kept < text.size()) shown += QStringLiteral("... (%1 characters in all)").arg(text.size());
    return shown;
}

}  // namespace vq

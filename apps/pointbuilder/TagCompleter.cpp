#include "TagCompleter.h"

#include "core/Error.h"
#include "sdk/SdkServer.h"

#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

namespace vq {

TagCompleter::TagCompleter(QLineEdit* field)
    : QObject(field), m_model(new QStringListModel(this)), m_completer(new QCompleter(m_model, this)) {
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setMaxVisibleItems(MaxSuggestions);
    // The field completes after it has told textEdited, so the suggestions are refilled first.
    connect(field, &QLineEdit::textEdited, this, &TagCompleter::refill);
    field->setCompleter(m_completer);
    // A suggestion taken replaces the text with the tag as the server spells it; the field alone
    // keeps the letter case typed when only that differs.
    connect(m_completer, qOverload<const QString&>(&QCompleter::activated), field, &QLineEdit::setText);
}

void TagCompleter::setServer(const SdkServerPtr& server) {
    m_server = server;
    m_model->setStringList({});
}

void TagCompleter::refill(const QString& text) {
    const QString prefix = text.trimmed();
    QStringList tags;
    if (m_server && !prefix.isEmpty() && !prefix.contains(u'*') && !prefix.contains(u'?')) {
        // A server that cannot answer leaves the field without suggestions; opening tells why.
        tags = silently(QStringList(), [&] { return m_server->TagsStartingWith(prefix, MaxSuggestions); });
    }
    m_model->setStringList(tags);
}

QStringList TagCompleter::suggestions() const {
    return m_model->stringList();
}

}  // namespace vq

#pragma once

#include "sdk/SdkFwd.h"

#include <QObject>

class QCompleter;
class QLineEdit;
class QStringListModel;

namespace vq {

// Completes a tag field as it is typed with the chosen server's tags that begin with the text:
// a screenful at most, refilled on every keystroke from the server's tag index, so a million
// points cost no more than a hundred. A mask (with * or ?) is not a prefix and gets no suggestions.
class TagCompleter : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxSuggestions = 12;

    explicit TagCompleter(QLineEdit* field);

    void setServer(const SdkServerPtr& server);
    // Fills the suggestions for `text` as typed; what the field does on every edit.
    void refill(const QString& text);
    QStringList suggestions() const;
    QCompleter* completer() const { return m_completer; }

private:
    SdkServerPtr m_server;
    QStringListModel* m_model;
    QCompleter* m_completer;
};

}  // namespace vq

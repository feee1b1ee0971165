#pragma once

#include "MessageService.h"

#include <QList>
#include <QStringList>

#include <deque>

namespace vq {

// Test double: records every message and answers from a script (OK when the script is empty).
class RecordingMessageService : public MessageService {
public:
    struct Message {
        QString text;
        MessageButtons buttons;
        QString title;
    };

    MessageResult show(const QString& text, MessageButtons buttons, const QString& title) override;

    void scriptAnswer(MessageResult answer) { m_answers.push_back(answer); }
    const QList<Message>& messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    std::deque<MessageResult> m_answers;
};

// Installs a recorder for the lifetime of the guard, then restores the previous service.
class ScopedMessageRecorder {
public:
    ScopedMessageRecorder();
    ~ScopedMessageRecorder();
    ScopedMessageRecorder(const ScopedMessageRecorder&) = delete;
    ScopedMessageRecorder& operator=(const ScopedMessageRecorder&) = delete;

    RecordingMessageService& operator*() { return *m_recorder; }
    RecordingMessageService* operator->() { return m_recorder.get(); }

private:
    std::shared_ptr<RecordingMessageService> m_recorder;
    std::shared_ptr<MessageService> m_previous;
};

}  // namespace vq

#include "MessageService.h"

#include "RecordingMessageService.h"

#include <cstdio>

namespace vq {

namespace {
std::shared_ptr<MessageService>& installed() {
    static std::shared_ptr<MessageService> service = std::make_shared<StderrMessageService>();
    return service;
}
}  // namespace

MessageService& messageService() {
    return *installed();
}

std::shared_ptr<MessageService> setMessageService(std::shared_ptr<MessageService> service) {
    auto previous = installed();
    installed() = service ? std::move(service) : std::make_shared<StderrMessageService>();
    return previous;
}

MessageResult StderrMessageService::show(const QString& text, MessageButtons, const QString& title) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!title.isEmpty()) shown = title + QStringLiteral(": ") + shown;
    std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
    return MessageResult::Ok;
}

MessageResult RecordingMessageService::show(const QString& text, MessageButtons buttons,
                                            const QString& title) {
    m_messages.append({text, buttons, title});
    if (m_answers.empty()) return MessageResult::Ok;
    const MessageResult answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QStringList RecordingMessageService::texts() const {
    QStringList out;
    for (const Message& m : m_messages) out.append(m.text);
    return out;
}

ScopedMessageRecorder::ScopedMessageRecorder()
    : m_recorder(std::make_shared<RecordingMessageService>()), m_previous(setMessageService(m_recorder)) {}

ScopedMessageRecorder::~ScopedMessageRecorder() {
    setMessageService(m_previous);
}

}  // namespace vq

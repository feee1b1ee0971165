#include "platform/MessageBoxService.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace vq {

std::unique_ptr<QMessageBox> MessageBoxService::createBox(const QString& text, MessageButtons buttons,
                                                          const QString& title) {
    auto box = std::make_unique<QMessageBox>();
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Plain text: messages quote user input and paths, which must not be read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(lines);
    if (buttons == MessageButtons::OkCancel) {
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

MessageResult MessageBoxService::show(const QString& text, MessageButtons buttons, const QString& title) {
    const std::unique_ptr<QMessageBox> box = createBox(text, buttons, title);
    return box->exec() == QMessageBox::Ok ? MessageResult::Ok : MessageResult::Cancel;
}

}  // namespace vq

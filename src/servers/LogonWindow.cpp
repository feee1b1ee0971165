#include "servers/LogonWindow.h"

#include "platform/Hourglass.h"
#include "sdk/SdkServer.h"
#include "servers/ServerErrorText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vq {

LogonWindow::LogonWindow(SdkServerPtr server, QWidget* parent)
    : QDialog(parent), m_server(std::move(server)) {
    setWindowTitle(QStringLiteral("Log On"));
    setObjectName(QStringLiteral("frmLogon"));

    auto* serverName = new QLabel(m_server ? m_server->Name() : QString(), this);
    serverName->setObjectName(QStringLiteral("lblServer"));
    serverName->setTextFormat(Qt::PlainText);
    QFont bold = serverName->font();
    bold.setBold(true);
    serverName->setFont(bold);

    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server:"), serverName);
    form->addRow(QStringLiteral("&User:"), m_user);
    form->addRow(QStringLiteral("&Password:"), m_password);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    // Plain text: the server's words may hold anything, names and paths included.
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_message->hide();

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("buttons"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &LogonWindow::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &LogonWindow::reject);
    connect(m_user, &QLineEdit::textChanged, this, &LogonWindow::updateOk);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_message);
    layout->addStretch(1);
    layout->addWidget(m_buttons);
    setMinimumWidth(380);
    // The fields keep their height whatever the message below them takes.
    for (QLineEdit* field : {m_user, m_password}) field->setMinimumHeight(field->sizeHint().height());
    updateOk();
    m_password->setFocus();
}

LogonWindow::~LogonWindow() = default;

void LogonWindow::setUser(const QString& user) {
    m_user->setText(user);
    // With a user given, the password is what is left to type.
    (user.isEmpty() ? m_user : m_password)->setFocus();
}

QString LogonWindow::refusalText(const QString& serverName, const Error& refusal) {
    return QStringLiteral("Server \"%1\": %2").arg(serverName, serverErrorText(refusal));
}

void LogonWindow::showRefusal(const Error& refusal) {
    m_refusal = refusal;
    m_message->setText(refusalText(m_server ? m_server->Name() : QString(), refusal));
    m_message->show();
    fitMessage();
    m_password->selectAll();
    m_password->setFocus();
}

// A message of several lines makes the shown window taller rather than squeezing the fields; a
// window not shown yet takes its height from its contents when it is.
void LogonWindow::fitMessage() {
    if (!isVisible()) return;
    layout()->activate();
    const int needed = layout()->totalHeightForWidth(width());
    if (needed > height()) resize(width(), needed);
}

void LogonWindow::updateOk() {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_server && !m_user->text().trimmed().isEmpty());
}

void LogonWindow::accept() {
    if (!m_server || m_user->text().trimmed().isEmpty()) return;
    try {
        {
            Hourglass wait;
            m_server->Open(m_user->text().trimmed(), m_password->text());
        }
        m_refusal.reset();
        QDialog::accept();
    } catch (...) {
        showRefusal(currentError());
    }
}

}  // namespace vq

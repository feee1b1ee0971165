#include "servers/AddServerWindow.h"

#include "core/Error.h"
#include "core/MessageService.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "servers/ServerErrorText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace vq {

AddServerWindow::AddServerWindow(SdkServersPtr servers, QWidget* parent)
    : QDialog(parent), m_servers(std::move(servers)) {
    setWindowTitle(QStringLiteral("Add Server"));
    setObjectName(QStringLiteral("frmAddServer"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtName"));
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("txtFile"));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdBrowse"));
    browse->setAutoDefault(false);
    m_default = new QCheckBox(QStringLiteral("Make it the &default server"), this);
    m_default->setObjectName(QStringLiteral("chkDefault"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    // A row with a layout for its field gets no buddy of its own, so its label is made here.
    m_file->setPlaceholderText(QStringLiteral("an archive file, or postgresql://host/database"));
    auto* fileLabel = new QLabel(QStringLiteral("&Archive:"), this);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);
    form->addRow(QString(), m_default);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("buttons"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &AddServerWindow::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &AddServerWindow::reject);
    connect(browse, &QPushButton::clicked, this, &AddServerWindow::chooseFile);
    connect(m_name, &QLineEdit::textChanged, this, &AddServerWindow::updateOk);
    connect(m_file, &QLineEdit::textChanged, this, &AddServerWindow::updateOk);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(m_buttons);
    setMinimumWidth(480);
    updateOk();
}

AddServerWindow::~AddServerWindow() = default;

void AddServerWindow::chooseFile() {
    const QString start =
        m_file->text().trimmed().isEmpty() ? QString() : QFileInfo(m_file->text()).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Choose an Archive File"), start,
                                                        QStringLiteral("Archives (*.vqa);;All files (*)"));
    if (chosen.isEmpty()) return;
    m_file->setText(chosen);
    // The file's base name is the usual server name; a name already typed is kept.
    if (m_name->text().trimmed().isEmpty()) m_name->setText(QFileInfo(chosen).completeBaseName());
}

void AddServerWindow::updateOk() {
    m_buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(m_servers && !m_name->text().trimmed().isEmpty() && !m_file->text().trimmed().isEmpty());
}

void AddServerWindow::accept() {
    const QString name = m_name->text().trimmed();
    if (!m_servers || name.isEmpty() || m_file->text().trimmed().isEmpty()) return;
    // A typed relative path means the working folder, not the server list's folder; a database
    // server's URI stays as typed.
    static const QRegularExpression uri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    const QString typed = m_file->text().trimmed();
    const QString file = uri.match(typed).hasMatch() ? typed : QFileInfo(typed).absoluteFilePath();
    try {
        m_added = m_servers->Add(name, file, m_default->isChecked())->Name();
    } catch (...) {
        messageService().show(QStringLiteral("The server \"%1\" was not added.\r\n%2")
                                  .arg(name, serverErrorText(currentError())),
                              MessageButtons::Ok, QStringLiteral("Add Server"));
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace vq

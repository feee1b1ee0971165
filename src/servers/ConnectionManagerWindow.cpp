#include "servers/ConnectionManagerWindow.h"

#include "core/Error.h"
#include "core/MessageService.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "servers/AddServerWindow.h"
#include "servers/LogonWindow.h"
#include "servers/ServerErrorText.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace vq {

namespace {

const QString windowTitleText = QStringLiteral("Server Connections");

struct ColumnDef {
    const char* caption;
    QString (*text)(const SdkServer& server, bool isDefault);
};

QString connectedText(const SdkServer& server, bool) {
    return server.IsConnected() ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString defaultText(const SdkServer&, bool isDefault) {
    return isDefault ? QStringLiteral("Yes") : QString();
}

const std::array<ColumnDef, ConnectionManagerWindow::ColumnCount> columns{{
    {"Name", [](const SdkServer& server, bool) { return server.Name(); }},
    {"Kind", [](const SdkServer& server, bool) { return server.ServerKind(); }},
    {"Version", [](const SdkServer& server, bool) { return server.ServerVersion().Text(); }},
    {"Archive", [](const SdkServer& server, bool) { return server.Location(); }},
    {"Connected", connectedText},
    {"User", [](const SdkServer& server, bool) { return server.UserName(); }},
    {"Default", defaultText},
}};

QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ConnectionManagerWindow::ConnectionManagerWindow(SdkServersPtr servers, QWidget* parent)
    : QDialog(parent), m_servers(std::move(servers)) {
    setWindowTitle(windowTitleText);
    setObjectName(QStringLiteral("frmConnectionManager"));

    m_list = new QTableWidget(0, ColumnCount, this);
    m_list->setObjectName(QStringLiteral("lvServers"));
    QStringList captions;
    for (const ColumnDef& column : columns) captions << QString::fromLatin1(column.caption);
    m_list->setHorizontalHeaderLabels(captions);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAlternatingRowColors(true);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideMiddle);  // a path's file name stays in sight
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setSectionResizeMode(LocationColumn, QHeaderView::Stretch);

    m_connect = makeButton(QStringLiteral("&Connect..."), "cmdConnect", this);
    m_disconnect = makeButton(QStringLiteral("&Disconnect"), "cmdDisconnect", this);
    m_setDefault = makeButton(QStringLiteral("Set as De&fault"), "cmdSetDefault", this);
    m_add = makeButton(QStringLiteral("&Add..."), "cmdAdd", this);
    m_remove = makeButton(QStringLiteral("&Remove"), "cmdRemove", this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("buttons"));

    auto* actions = new QVBoxLayout;
    actions->addWidget(m_connect);
    actions->addWidget(m_disconnect);
    actions->addWidget(m_setDefault);
    actions->addSpacing(12);
    actions->addWidget(m_add);
    actions->addWidget(m_remove);
    actions->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(actions);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);

    connect(m_connect, &QPushButton::clicked, this, [this] { connectSelected(); });
    connect(m_disconnect, &QPushButton::clicked, this, [this] { disconnectSelected(); });
    connect(m_setDefault, &QPushButton::clicked, this, [this] { setSelectedAsDefault(); });
    connect(m_add, &QPushButton::clicked, this, [this] { addServer(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &ConnectionManagerWindow::reject);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(m_list, &QTableWidget::itemDoubleClicked, this, [this] {
        if (m_connect->isEnabled()) connectSelected();
    });
    // Log-ons and changes made elsewhere (a pick list, another window, another program) show at once.
    if (m_servers) {
        connect(m_servers.get(), &SdkServers::OnOpen, this, [this] { refresh(); });
        connect(m_servers.get(), &SdkServers::listChanged, this, [this] { refresh(); });
    }

    resize(860, 300);
    refresh();
}

ConnectionManagerWindow::~ConnectionManagerWindow() = default;

void ConnectionManagerWindow::refresh() {
    const QString chosen = selectedName();
    QString defaultName;
    std::vector<SdkServerPtr> servers;
    try {
        if (m_servers) {
            servers = m_servers->All();
            if (const SdkServerPtr defaultServer = m_servers->DefaultServer())
                defaultName = defaultServer->Name();
        }
    } catch (...) {
        messageService().show(
            QStringLiteral("The server list cannot be read.\r\n%1").arg(serverErrorText(currentError())),
            MessageButtons::Ok, windowTitleText);
    }

    // The buttons follow once, below, not for every row made.
    const QSignalBlocker quiet(m_list);
    m_list->clearContents();
    m_list->setRowCount(int(servers.size()));
    for (int row = 0; row < int(servers.size()); ++row) {
        const SdkServer& server = *servers[size_t(row)];
        const bool isDefault = !defaultName.isEmpty() && server.Name() == defaultName;
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            try {
                item->setText(columns[size_t(column)].text(server, isDefault));
            } catch (...) {
                // An archive that cannot be read still lists, and says why where its facts would be.
                item->setText(QStringLiteral("unavailable"));
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
                item->setToolTip(serverErrorText(currentError()));
            }
            m_list->setItem(row, column, item);
        }
    }
    if (!selectServer(chosen)) selectServer(defaultName);
    updateButtons();
}

int ConnectionManagerWindow::selectedRow() const {
    const QList<QTableWidgetItem*> chosen = m_list->selectedItems();
    return chosen.isEmpty() ? -1 : chosen.front()->row();
}

QString ConnectionManagerWindow::selectedName() const {
    const QTableWidgetItem* name = m_list->item(selectedRow(), NameColumn);
    return name ? name->text() : QString();
}

bool ConnectionManagerWindow::selectServer(const QString& name) {
    if (name.isEmpty()) return false;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->item(row, NameColumn)->text().compare(name, Qt::CaseInsensitive) == 0) {
            m_list->selectRow(row);
            return true;
        }
    }
    return false;
}

SdkServerPtr ConnectionManagerWindow::selectedServer() const {
    const QString name = selectedName();
    if (name.isEmpty() || !m_servers) return nullptr;
    try {
        return m_servers->Item(name);
    } catch (...) {
        return nullptr;
    }
}

void ConnectionManagerWindow::updateButtons() {
    const SdkServerPtr server = selectedServer();
    const QTableWidgetItem* defaultCell = m_list->item(selectedRow(), DefaultColumn);
    bool connected = false;
    try {
        connected = server && server->IsConnected();
    } catch (...) {
    }
    m_connect->setEnabled(server && !connected);
    m_disconnect->setEnabled(connected);
    m_setDefault->setEnabled(server && defaultCell && defaultCell->text().isEmpty());
    m_add->setEnabled(m_servers != nullptr);
    m_remove->setEnabled(server != nullptr);
}

template <typename Action>
void ConnectionManagerWindow::attempt(const QString& what, Action&& action) {
    try {
        action();
    } catch (...) {
        messageService().show(what + QStringLiteral("\r\n") + serverErrorText(currentError()),
                              MessageButtons::Ok, windowTitleText);
    }
    refresh();
}

void ConnectionManagerWindow::connectSelected() {
    const SdkServerPtr server = selectedServer();
    if (!server) return;
    attempt(QStringLiteral("Could not connect to \"%1\".").arg(server->Name()), [&] {
        // The window logs on itself and shows a refusal in its own red line.
        LogonWindow logon(server, this);
        logon.setUser(QStringLiteral("vqadmin"));
        logon.exec();
    });
}

void ConnectionManagerWindow::disconnectSelected() {
    const SdkServerPtr server = selectedServer();
    if (!server) return;
    attempt(QStringLiteral("Could not disconnect from \"%1\".").arg(server->Name()),
            [&] { server->Close(); });
}

void ConnectionManagerWindow::setSelectedAsDefault() {
    const QString name = selectedName();
    if (name.isEmpty() || !m_servers) return;
    attempt(QStringLiteral("Could not make \"%1\" the default server.").arg(name),
            [&] { m_servers->SetDefault(name); });
}

void ConnectionManagerWindow::addServer() {
    if (!m_servers) return;
    QString added;
    attempt(QStringLiteral("Could not add a server."), [&] {
        AddServerWindow window(m_servers, this);
        if (window.exec() == QDialog::Accepted) added = window.addedName();
    });
    selectServer(added);
}

void ConnectionManagerWindow::removeSelected() {
    const QString name = selectedName();
    if (name.isEmpty() || !m_servers) return;
    const QString question =
        QStringLiteral("Remove the server \"%1\" from the list?\r\nIts archive file stays where it is.")
            .arg(name);
    if (messageService().show(question, MessageButtons::OkCancel, windowTitleText) != MessageResult::Ok)
        return;
    attempt(QStringLiteral("Could not remove \"%1\".").arg(name), [&] { m_servers->Remove(name); });
}

}  // namespace vq

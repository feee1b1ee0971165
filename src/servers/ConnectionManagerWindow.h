#pragma once

#include "sdk/SdkFwd.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace vq {

// The connection manager of the server library: every known server with its kind, version,
// archive, connection, user and default flag, and the buttons that connect (through the log-on
// window), disconnect, choose the default, add and remove servers. Each action reports its
// failure through the message service and leaves the window usable; the list is read again after
// every action and whenever the server list announces an opened or removed server.
class ConnectionManagerWindow : public QDialog {
    Q_OBJECT
public:
    // The list's columns, left to right.
    enum Column {
        NameColumn,
        KindColumn,
        VersionColumn,
        LocationColumn,
        ConnectedColumn,
        UserColumn,
        DefaultColumn,
        ColumnCount
    };

    explicit ConnectionManagerWindow(SdkServersPtr servers, QWidget* parent = nullptr);
    ~ConnectionManagerWindow() override;

    // Reads the servers again; the chosen server stays chosen while it is listed.
    void refresh();
    // The chosen server's name; empty when none is chosen.
    QString selectedName() const;
    // Chooses the listed server `name`; False when it is not listed.
    bool selectServer(const QString& name);

    // What the buttons run.
    void connectSelected();
    void disconnectSelected();
    void setSelectedAsDefault();
    void addServer();
    void removeSelected();

private:
    int selectedRow() const;
    SdkServerPtr selectedServer() const;
    void updateButtons();
    // Runs `action`; a failure is shown as "`what` failed." with what the server said.
    template <typename Action>
    void attempt(const QString& what, Action&& action);

    SdkServersPtr m_servers;
    QTableWidget* m_list = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_disconnect = nullptr;
    QPushButton* m_setDefault = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
};

}  // namespace vq

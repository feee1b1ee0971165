#pragma once

#include "sdk/SdkFwd.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QAction;
class QMenu;

namespace vq {

class MultiServerPickList;

// Holds the pick list's pop-up menu ("Select Server"): "Select All Connected", then one item per
// known server, connected ones first and the disconnected ones after a separator. The form is
// never shown itself; it is loaded once per thread and shared by every pick list.
class MultiServerPickListMenuForm : public QWidget {
    Q_OBJECT

public:
    explicit MultiServerPickListMenuForm(QWidget* parent = nullptr);

    void setControl(MultiServerPickList* control) { m_Control = control; }
    MultiServerPickList* control() const { return m_Control; }

    // Makes the server items match `servers`, reusing and removing items made earlier.
    void RefreshMenu(const SdkServers& servers);
    // Shows the menu at `globalPosition` (pixels) until an item is chosen or it is dismissed.
    void popup(const QPoint& globalPosition);

    QMenu* menu() const { return mnuMultiServerSelect; }
    // The server items in menu order, the separator included; for tests and the gallery.
    const std::vector<QAction*>& serverItems() const { return mnuServerArray; }

    void mnuServerArrayClick(int index);
    void mnuSearchAllConnectedClick();

private:
    QAction* serverItem(size_t index);

    QPointer<MultiServerPickList> m_Control;
    QMenu* mnuMultiServerSelect;
    QAction* mnuSearchAllConnected;
    std::vector<QAction*> mnuServerArray;
};

}  // namespace vq

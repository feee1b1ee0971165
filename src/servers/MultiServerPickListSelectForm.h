#pragma once

#include "sdk/SdkFwd.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QListWidget;
class QPushButton;

namespace vq {

class MultiServerPickList;

// The pick list's selection dialog: every known server, connected ones first, in a multi-select
// list. OK hands the chosen names to the pick list that opened it; closing the window counts as
// OK. Loaded once per thread and shared by every pick list.
class MultiServerPickListSelectForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kSeparatorLength = 87;
    // The line between connected and disconnected servers.
    static QString separatorLine();

    explicit MultiServerPickListSelectForm(QWidget* parent = nullptr);

    void setControl(MultiServerPickList* control) { m_Control = control; }
    MultiServerPickList* control() const { return m_Control; }

    // Lists the servers of `servers`, selecting those the pick list holds, and scrolls so that the
    // first selected line is in view.
    void RefreshSelectForm(const SdkServers& servers);
    // The line shown at the top of the list.
    int topLine() const;

    void cmdOKClick();
    void cmdCancelClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addServerLine(const QString& name);
    void scrollToFirstSelected();

    QPointer<MultiServerPickList> m_Control;
    QListWidget* lstServerList;
    QLabel* Label1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

}  // namespace vq

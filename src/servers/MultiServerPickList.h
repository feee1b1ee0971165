#pragma once

#include "servers/ServersExport.h"

#include "sdk/SdkFwd.h"

#include <QFont>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;
class MultiServerPickListPrivate;

/// Shows which servers are chosen for an operation and lets the user change the choice: a
/// one-line field listing the chosen names, abbreviated to fit, with a "..." button. A click
/// opens the selection dialog, a right click a menu of the known servers, and the arrow keys step
/// through the servers one at a time (and back to the last multi-server choice).
class VQ_SERVERS_EXPORT MultiServerPickList : public QWidget {
    Q_OBJECT
    /// Whether the user may change the choice; false in a new control.
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    /// The choice as plain names, so that Designer, QDataWidgetMapper and bindings can follow it.
    Q_PROPERTY(QStringList SelectedServerNames READ SelectedServerNames WRITE SetSelectedServerNames NOTIFY
                   SelectedServerNamesChanged USER true STORED false)

public:
    /// An empty choice; it follows the server list when a known server is removed.
    explicit MultiServerPickList(QWidget* parent = nullptr);
    ~MultiServerPickList() override;

    /// @{
    /// Enabled; a disabled pick list takes no focus and opens neither the dialog nor the menu.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    /// @}
    /// @{
    /// The font of the names; setting it fits the control's height and the names again.
    QFont Font() const;
    void SetFont(const QFont& font);
    /// @}

    /// The same object until the selection changes; entry names are server names.
    SdkNamedValuesPtr SelectedServers();
    /// Takes `servers` itself as the selection; the same names in any order change nothing.
    void SetSelectedServers(const SdkNamedValuesPtr& servers);
    /// True when a server of that name is chosen.
    bool IsServerSelected(const QString& serverName) const;
    /// @{
    /// The selected names in their order; setting them selects those servers.
    QStringList SelectedServerNames() const;
    void SetSelectedServerNames(const QStringList& names);
    /// @}
    /// Drops the server from the selection (exact letter case); nothing when it is not selected.
    void RemoveServerFromList(const QString& serverName);

    /// Steps to the previous (-1) or next (+1) known server; the remembered multi-server choice
    /// has its place in the cycle right after its first server.
    void CycleList(int direction);
    /// Opens the menu of the known servers at the mouse; nothing while disabled.
    void ShowPopupMenu();
    /// Shows the selection dialog near the mouse and returns when it closes.
    void ShowSelectForm();

    /// Gives the saved property, Enabled, its default.
    void InitProperties();
    /// Takes the saved property from `bag` through its setter.
    void ReadProperties(const PropertyBag& bag);
    /// Saves the property when it differs from its default into `bag`.
    void WriteProperties(PropertyBag& bag) const;

    /// @{
    /// What the text area shows, and the width it has for it, in twips.
    QString displayText() const;
    double textWidthTwips() const;
    /// @}
    /// The button's rectangle in pixels; the control's text area is to its left.
    QRect buttonRect() const;

    /// `name` cut to its longest prefix narrower than `maxWidth` twips in `font`, then "...".
    static QString GetAbbreviatedServerName(const QString& name, double maxWidth, const QFont& font);

    /// 2400 twips wide, at the height the font gives.
    QSize sizeHint() const override;

Q_SIGNALS:
    /// Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    /// Goes out with OnSelection: only when the chosen names really change.
    void SelectedServerNamesChanged();
    /// The choice changed, by the user or by a setter.
    void OnSelection();
    /// Enabled was set or the choice changed ("SelectedServers"): the host's cue that the saved
    /// properties are out of date.
    void PropertyChanged(const QString& name);

protected:
    /// Draws the sunken field, the names and the button.
    void paintEvent(QPaintEvent* event) override;
    /// Fits the names to the new width.
    void resizeEvent(QResizeEvent* event) override;
    /// A left click opens the selection dialog.
    void mousePressEvent(QMouseEvent* event) override;
    /// A right click opens the menu of the known servers.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Space opens the selection dialog, Shift+F10 the menu; Up and Down step through the servers.
    void keyPressEvent(QKeyEvent* event) override;
    /// @{
    /// Draws the focus mark, or takes it away.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    /// @}

private:
    friend class MultiServerPickListPrivate;
    std::unique_ptr<class MultiServerPickListPrivate> const d;
};

}  // namespace vq

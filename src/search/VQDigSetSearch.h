#pragma once

#include "search/SearchExport.h"

#include "sdk/SdkFwd.h"

#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;
class VQDigSetSearchPrivate;

/// Lets the user pick digital state sets of a server: the server's sets, narrowed by up to three
/// state-name masks joined by AND or OR, the states of the set in view, and OK to hand the chosen
/// set names over. The digital set search dialog hosts it and closes on either event.
class VQ_SEARCH_EXPORT VQDigSetSearch : public QWidget {
    Q_OBJECT
    /// Whether the user may choose several sets at once; false in a new control.
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect NOTIFY MultiSelectChanged)
    /// Whether the current server is fixed: true disables the server list and the Connections button.
    Q_PROPERTY(bool FixOnCurrentServer READ FixOnCurrentServer WRITE SetFixOnCurrentServer NOTIFY
                   FixOnCurrentServerChanged)

public:
    /// An empty control over the known servers; Reset() fills it.
    explicit VQDigSetSearch(QWidget* parent = nullptr);
    ~VQDigSetSearch() override;

    /// @{
    /// The server whose sets are listed; the user's choice in the server list changes it. Setting
    /// it changes the lists only at the next Reset.
    SdkServerPtr CurrentServer() const;
    void SetCurrentServer(const SdkServerPtr& server);
    /// @}
    /// @{
    /// MultiSelect; it takes effect on the set list at once.
    bool MultiSelect() const;
    void SetMultiSelect(bool multiSelect);
    /// @}
    /// @{
    /// FixOnCurrentServer.
    bool FixOnCurrentServer() const;
    void SetFixOnCurrentServer(bool fixed);
    /// @}
    /// The chosen set names (every value the 16-bit integer 0); emptied only by Reset.
    SdkNamedValuesPtr DigsetSelection() const;
    /// Fresh conditions, empty masks, the server list and the current server's sets.
    void Reset();
    /// Puts the listed set `setName` in view, selected, with its states listed, as a click on it
    /// does; it is chosen only by OK. A set the list does not hold changes nothing.
    void ShowDigset(const QString& setName);

    /// Gives both saved properties their default, false.
    void InitProperties();
    /// Takes the saved properties from `bag` through their setters.
    void ReadProperties(const PropertyBag& bag);
    /// Saves the properties that differ from their defaults into `bag`.
    void WriteProperties(PropertyBag& bag) const;

    /// The known servers offered in the server list.
    SdkServersPtr Servers() const;

Q_SIGNALS:
    /// @{
    /// Property notifications: each goes out once per real change of what its getter reads.
    void MultiSelectChanged();
    void FixOnCurrentServerChanged();
    /// @}
    /// The user pressed Cancel.
    void OnCancelClick();
    /// The user chose sets with OK or a double click; `SelectedDigsets` is the whole choice so
    /// far, DigsetSelection().
    void OnDigsetListSelection(const vq::SdkNamedValuesPtr& SelectedDigsets);
    /// A saved property was set through its setter: the host's cue that the saved properties are
    /// out of date.
    void PropertyChanged(const QString& name);

protected:
    /// Fits the lists' columns to the new size.
    void resizeEvent(QResizeEvent* event) override;
    /// Enter in a mask box searches; a list that changes size gets new column widths.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class VQDigSetSearchPrivate;
    std::unique_ptr<class VQDigSetSearchPrivate> const d;
};

}  // namespace vq

#pragma once

#include "sdk/SdkFwd.h"

#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;
class VQDigSetSearchPrivate;

// Lets the user pick digital state sets of a server: the server's sets, narrowed by up to three
// state-name masks joined by AND or OR, the states of the set in view, and OK to hand the chosen
// set names over. The digital set search dialog hosts it and closes on either event.
class VQDigSetSearch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect NOTIFY MultiSelectChanged)
    Q_PROPERTY(bool FixOnCurrentServer READ FixOnCurrentServer WRITE SetFixOnCurrentServer NOTIFY
                   FixOnCurrentServerChanged)

public:
    explicit VQDigSetSearch(QWidget* parent = nullptr);
    ~VQDigSetSearch() override;

    SdkServerPtr CurrentServer() const;
    void SetCurrentServer(const SdkServerPtr& server);
    bool MultiSelect() const;
    void SetMultiSelect(bool multiSelect);
    bool FixOnCurrentServer() const;
    void SetFixOnCurrentServer(bool fixed);
    // The chosen set names (every value the 16-bit integer 0); emptied only by Reset.
    SdkNamedValuesPtr DigsetSelection() const;
    // Fresh conditions, empty masks, the server list and the current server's sets.
    void Reset();

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The known servers offered in the server list.
    SdkServersPtr Servers() const;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void MultiSelectChanged();
    void FixOnCurrentServerChanged();
    void OnCancelClick();
    void OnDigsetListSelection(const vq::SdkNamedValuesPtr& SelectedDigsets);
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class VQDigSetSearchPrivate;
    const std::unique_ptr<VQDigSetSearchPrivate> d;
};

}  // namespace vq

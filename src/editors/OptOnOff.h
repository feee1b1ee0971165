#pragma once

#include "editors/AttributeChild.h"
#include "platform/ChangeNotice.h"

#include <QRect>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <span>

class QRadioButton;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;

// A pair of option buttons "On" and "Off" for a two-state attribute. Writing `Value` moves the
// buttons silently; only a user's click raises `OnOptionClick`.
class OptOnOff : public QWidget, public AttributeChild {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(qint16 Value READ Value WRITE SetValue NOTIFY ValueChanged USER true)

public:
    // The control's fixed size and its buttons, in twips.
    struct Layout {
        QSize control;
        QRect on;
        QRect off;
    };
    static Layout layoutFor(QSize size);

    explicit OptOnOff(QWidget* parent = nullptr);

    bool Enabled() const;
    void SetEnabled(bool enabled) override;
    // 0 is off, any other value on; a written value reads back as written.
    int16_t Value() const { return m_Value; }
    void SetValue(int16_t value);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void ValueChanged();
    void PropertyChanged(const QString& name);
    void OnOptionClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static std::span<const PersistedNote<OptOnOff>> persistedNotes();
    void showValue(int16_t value);
    void optionClicked(QRadioButton* clicked, QRadioButton* other, int16_t value);

    QRadioButton* m_optOn;
    QRadioButton* m_optOff;
    int16_t m_Value = -1;
    bool m_Busy = false;
};

}  // namespace vq

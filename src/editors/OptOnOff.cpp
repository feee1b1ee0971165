#include "editors/OptOnOff.h"

#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/Twips.h"

#include <QRadioButton>
#include <QScopedValueRollback>

namespace vq {

namespace {
constexpr QSize kFixedSize(1300, 300);
constexpr int16_t kDefaultValue = -1;

QRadioButton* createOption(const QString& name, const QString& caption, QWidget* parent) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    return option;
}
}  // namespace

OptOnOff::Layout OptOnOff::layoutFor(QSize) {
    return {kFixedSize, QRect(0, 0, 735, 255), QRect(600, 0, 615, 255)};
}

OptOnOff::OptOnOff(QWidget* parent)
    : QWidget(parent),
      m_optOn(createOption(QStringLiteral("optOn"), QStringLiteral("On"), this)),
      m_optOff(createOption(QStringLiteral("optOff"), QStringLiteral("Off"), this)) {
    setTabOrder(m_optOn, m_optOff);
    m_optOn->setAccessibleDescription(QStringLiteral("Turns the setting on"));
    m_optOff->setAccessibleDescription(QStringLiteral("Turns the setting off"));
    setFocusProxy(m_optOn);
    setFixedSize(twipsToPixels(kFixedSize));
    m_optOn->setChecked(true);
    // `clicked` comes from the user (mouse, Space, arrow keys), never from setChecked.
    connect(m_optOn, &QRadioButton::clicked, this, [this] { optionClicked(m_optOn, m_optOff, 1); });
    connect(m_optOff, &QRadioButton::clicked, this, [this] { optionClicked(m_optOff, m_optOn, 0); });
    InitProperties();
}

bool OptOnOff::Enabled() const {
    return ownEnabled(*this);
}

void OptOnOff::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &OptOnOff::Enabled, &OptOnOff::EnabledChanged);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
    setEnabled(enabled);
    m_optOn->setEnabled(enabled);
    m_optOff->setEnabled(enabled);
}

void OptOnOff::SetValue(int16_t value) {
    const ChangeNotice notice(this, &OptOnOff::Value, &OptOnOff::ValueChanged);
    m_Value = value;
    showValue(value);
    Q_EMIT PropertyChanged(QStringLiteral("Value"));
}

void OptOnOff::showValue(int16_t value) {
    const QScopedValueRollback<bool> busy(m_Busy, true);
    m_optOn->setChecked(value != 0);
    m_optOff->setChecked(value == 0);
}

void OptOnOff::optionClicked(QRadioButton* clicked, QRadioButton* other, int16_t value) {
    if (m_Busy) return;
    const QScopedValueRollback<bool> busy(m_Busy, true);
    clicked->setChecked(true);
    other->setChecked(false);
    const bool changed = m_Value != value;
    m_Value = value;
    if (changed) Q_EMIT ValueChanged();
    Q_EMIT OnOptionClick();
}

std::span<const PersistedNote<OptOnOff>> OptOnOff::persistedNotes() {
    using Self = OptOnOff;
    static const PersistedNote<Self> notes[] = {
        {"Enabled", true},
        {"Value", kDefaultValue, [](Self& c, const Variant& v) { c.m_Value = int16_t(v.toInt32()); }},
    };
    return notes;
}

void OptOnOff::InitProperties() {
    initStoredProperties(*this, persistedNotes());
}

// The buttons follow the loaded value at once, so the control never shows "On" for an off value.
void OptOnOff::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
    showValue(m_Value);
}

void OptOnOff::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

QSize OptOnOff::sizeHint() const {
    return twipsToPixels(kFixedSize);
}

void OptOnOff::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const Layout layout = layoutFor(pixelsToTwips(size()));
    if (size() != twipsToPixels(layout.control)) resize(twipsToPixels(layout.control));
    m_optOn->setGeometry(twipsToPixels(layout.on));
    m_optOff->setGeometry(twipsToPixels(layout.off));
}

}  // namespace vq

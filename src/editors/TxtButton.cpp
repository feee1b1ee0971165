#include "editors/TxtButton.h"

#include "editors/EllipsisButton.h"
#include "editors/NonNegative.h"
#include "editors/PropertyErrors.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/Twips.h"

#include <QLineEdit>
#include <QPushButton>

namespace vq {

TxtButton::Layout TxtButton::layoutFor(QSize size, int16_t buttonWidth) {
    const int32_t button = NonNegative(buttonWidth);
    const int32_t textWidth = NonNegative(size.width() - button);
    return {QRect(0, 0, textWidth, size.height()),
            QRect(textWidth, 15, button, NonNegative(size.height() - 30))};
}

TxtButton::TxtButton(QWidget* parent) : TextBoxControl(parent), m_Command1(createEllipsisButton(this)) {
    setSideControl(m_Command1);
    // "..." would be read out as dots.
    m_Command1->setAccessibleName(QStringLiteral("Search"));
    m_Command1->setAccessibleDescription(QStringLiteral("Opens a search that fills in the value"));
    setTabOrder(textBox(), m_Command1);
    // Any height lays out, but a form's layout should keep the designed one line.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_Command1, &QPushButton::clicked, this, [this] { Q_EMIT OnButtonClick(); });
    InitProperties();
}

void TxtButton::SetButtonWidth(int16_t width) {
    const ChangeNotice notice(this, &TxtButton::ButtonWidth, &TxtButton::ButtonWidthChanged);
    m_ButtonWidth = width;
    markChanged(QStringLiteral("ButtonWidth"));
    layoutChildren();
}

void TxtButton::SetBorderStyle(int16_t style) {
    const ChangeNotice notice(this, &TxtButton::BorderStyle, &TxtButton::BorderStyleChanged);
    if (style != 0 && style != 1) raiseInvalidPropertyValue(QStringLiteral("BorderStyle"));
    m_BorderStyle = style;
    markChanged(QStringLiteral("BorderStyle"));
    textBox()->setFrame(style == 1);
}

// Then the text box's own, which the base class lists.
std::span<const PersistedNote<TxtButton>> TxtButton::persistedNotes() {
    using Self = TxtButton;
    static const PersistedNote<Self> notes[] = {
        {"ButtonWidth", kDefaultButtonWidth,
         [](Self& c, const Variant& v) { c.m_ButtonWidth = int16_t(v.toInt32()); }},
        {"BorderStyle", int16_t(1)},
    };
    return notes;
}

void TxtButton::InitProperties() {
    initStoredProperties(*this, persistedNotes());
    initTextBoxProperties();
}

void TxtButton::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
    readTextBoxProperties(bag);
    layoutChildren();
}

void TxtButton::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
    writeTextBoxProperties(bag);
}

QSize TxtButton::sizeHint() const {
    return twipsToPixels(QSize(2000, 315));
}

void TxtButton::textFocusLost() {
    Q_EMIT OnEnterKeyPress();
}

void TxtButton::layoutChildren() {
    const Layout layout = layoutFor(pixelsToTwips(size()), m_ButtonWidth);
    textBox()->setGeometry(twipsToPixels(layout.text));
    m_Command1->setGeometry(twipsToPixels(layout.button));
}

}  // namespace vq

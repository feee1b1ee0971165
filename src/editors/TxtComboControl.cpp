#include "editors/TxtComboControl.h"

#include "editors/ComboItems.h"
#include "editors/KeyCodes.h"
#include "editors/NonNegative.h"
#include "editors/WidgetColors.h"
#include "platform/PropertyBag.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QLineEdit>

namespace vq {

namespace {
constexpr int32_t kTextLeft = 40;
constexpr int32_t kTextTop = 50;
constexpr int32_t kGap = 75;  // from the text box's width to the list's left edge
}  // namespace

TxtComboControl::Layout TxtComboControl::layoutFor(QSize size, int16_t comboWidth) {
    const int32_t textWidth = NonNegative(size.width() - comboWidth - 60);
    const int32_t comboLeft = textWidth + kGap;
    return {QSize(size.width(), kHeight), QRect(kTextLeft, kTextTop, textWidth, kHeight),
            QRect(comboLeft, 0, NonNegative(size.width() - comboLeft), kHeight)};
}

TxtComboControl::TxtComboControl(QWidget* parent) : TextBoxControl(parent), m_Combo1(new QComboBox(this)) {
    m_Combo1->setObjectName(QStringLiteral("Combo1"));
    m_Combo1->installEventFilter(this);
    setSideControl(m_Combo1);
    setTabOrder(textBox(), m_Combo1);
    setFixedHeight(twipsToPixels(kHeight));
    // The text box sits on the control's own white face, lined up with the list's text.
    textBox()->setFrame(false);
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, [this] { comboSelected(); });
    m_LastIndex = int16_t(m_Combo1->currentIndex());
    InitProperties();
}

void TxtComboControl::SetComboWidth(int16_t width) {
    m_ComboWidth = width;
    markChanged(QStringLiteral("ComboWidth"));
    layoutChildren();
}

int16_t TxtComboControl::ListIndex() const {
    return int16_t(m_Combo1->currentIndex());
}

void TxtComboControl::SetListIndex(int16_t index) {
    setComboListIndex(*m_Combo1, index);
}

QString TxtComboControl::ComboText() const {
    return m_Combo1->currentText();
}

void TxtComboControl::AddItem(const QString& text) {
    appendComboItem(*m_Combo1, text);
}

void TxtComboControl::ComboClear() {
    clearComboItems(*m_Combo1);
}

void TxtComboControl::InitProperties() {
    SetComboWidth(kDefaultComboWidth);
    initTextBoxProperties();
}

void TxtComboControl::ReadProperties(const PropertyBag& bag) {
    SetComboWidth(int16_t(bag.ReadProperty(QStringLiteral("ComboWidth"), kDefaultComboWidth).toInt32()));
    readTextBoxProperties(bag);
}

void TxtComboControl::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("ComboWidth"), m_ComboWidth, kDefaultComboWidth);
    writeTextBoxProperties(bag);
}

QSize TxtComboControl::sizeHint() const {
    return twipsToPixels(QSize(3000, kHeight));
}

void TxtComboControl::applyColors() {
    TextBoxControl::applyColors();
    applyWidgetColors(*m_Combo1, ForeColor(), BackColor());
}

void TxtComboControl::textFocusLost() {
    Q_EMIT TextLostFocus();
}

void TxtComboControl::layoutChildren() {
    const Layout layout = layoutFor(pixelsToTwips(size()), m_ComboWidth);
    textBox()->setGeometry(twipsToPixels(layout.text));
    m_Combo1->setGeometry(twipsToPixels(layout.combo));
}

bool TxtComboControl::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the list is reported and still reaches the list.
    if (watched == m_Combo1 && isEnterKeyPress(event)) Q_EMIT OnEnterKeyPress();
    return TextBoxControl::eventFilter(watched, event);
}

// -1 as the last seen index means the next selection is only recorded.
void TxtComboControl::comboSelected() {
    const auto index = int16_t(m_Combo1->currentIndex());
    const bool report = m_LastIndex != -1 && index != m_LastIndex;
    m_LastIndex = index;
    if (report) Q_EMIT OnListIndexChange();
}

}  // namespace vq

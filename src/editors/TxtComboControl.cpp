#include "editors/TxtComboControl.h"

#include "editors/ComboItems.h"
#include "editors/KeyCodes.h"
#include "editors/NonNegative.h"
#include "editors/WidgetColors.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionFrame>

namespace vq {

namespace {
constexpr int32_t kTextLeft = 40;
constexpr int32_t kTextTop = 50;
constexpr int32_t kTextRoom = 60;  // the width beside the list that the text does not get
constexpr int32_t kGap = 75;       // from the text box's width to the list's left edge
constexpr int32_t kFrameGap = 15;  // between the text's frame and the list
}  // namespace

TxtComboControl::Layout TxtComboControl::layoutFor(QSize size, int16_t comboWidth) {
    const int32_t textWidth = NonNegative(size.width() - comboWidth - kTextRoom);
    const int32_t comboLeft = textWidth + kGap;
    const int32_t frameWidth = textWidth > 0 ? comboLeft - kFrameGap : 0;
    return {QSize(size.width(), kHeight), QRect(0, 0, frameWidth, kHeight),
            QRect(kTextLeft, kTextTop, textWidth, kHeight),
            QRect(comboLeft, 0, NonNegative(size.width() - comboLeft), kHeight)};
}

TxtComboControl::TxtComboControl(QWidget* parent) : TextBoxControl(parent), m_Combo1(new QComboBox(this)) {
    m_Combo1->setObjectName(QStringLiteral("Combo1"));
    m_Combo1->setAccessibleName(QStringLiteral("Unit"));
    m_Combo1->setAccessibleDescription(QStringLiteral("What the value beside it is entered in"));
    m_Combo1->installEventFilter(this);
    setSideControl(m_Combo1);
    setTabOrder(textBox(), m_Combo1);
    setFixedHeight(twipsToPixels(kHeight));
    // The text box sits borderless in a field the control draws; set 50 twips down with its text at
    // the top, its text lines up with the list's.
    textBox()->setFrame(false);
    setVerticalTextAlignment(Qt::AlignTop);
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, [this] { comboSelected(); });
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, &TxtComboControl::ListIndexChanged);
    m_LastIndex = int16_t(m_Combo1->currentIndex());
    InitProperties();
}

void TxtComboControl::SetComboWidth(int16_t width) {
    const ChangeNotice notice(this, &TxtComboControl::ComboWidth, &TxtComboControl::ComboWidthChanged);
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

QStringList TxtComboControl::items() const {
    QStringList texts;
    for (int i = 0; i < m_Combo1->count(); ++i) texts << m_Combo1->itemText(i);
    return texts;
}

// Then the text box's own, which the base class lists.
std::span<const PersistedNote<TxtComboControl>> TxtComboControl::persistedNotes() {
    using Self = TxtComboControl;
    static const PersistedNote<Self> notes[] = {
        {"ComboWidth", kDefaultComboWidth},
    };
    return notes;
}

void TxtComboControl::InitProperties() {
    initStoredProperties(*this, persistedNotes());
    initTextBoxProperties();
}

void TxtComboControl::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
    readTextBoxProperties(bag);
}

void TxtComboControl::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
    writeTextBoxProperties(bag);
}

QSize TxtComboControl::sizeHint() const {
    return twipsToPixels(QSize(3000, kHeight));
}

void TxtComboControl::showForeColor() {
    TextBoxControl::showForeColor();
    applyForeColor(*m_Combo1, ForeColor());
    update();  // the text's field takes the text box's colours
}

void TxtComboControl::showBackColor() {
    TextBoxControl::showBackColor();
    applyBackColor(*m_Combo1, BackColor());
    update();
}

void TxtComboControl::textFocusLost() {
    Q_EMIT TextLostFocus();
}

void TxtComboControl::layoutChildren() {
    const Layout layout = layoutFor(pixelsToTwips(size()), m_ComboWidth);
    const QRect text = twipsToPixels(layout.text);
    const QRect frame = twipsToPixels(layout.frame);
    // Set down by its top margin, the text box would reach past the control's bottom edge.
    textBox()->setGeometry(text.intersected(rect()));
    // The text box reaches below the control; keep it inside the field's border.
    const int frameLine = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    textBox()->setMask(QRect(0, 0, text.width(), std::max(0, frame.bottom() - frameLine + 1 - text.top())));
    m_Combo1->setGeometry(twipsToPixels(layout.combo));
}

void TxtComboControl::paintEvent(QPaintEvent*) {
    const Layout layout = layoutFor(pixelsToTwips(size()), m_ComboWidth);
    if (layout.frame.isEmpty()) return;
    QStyleOptionFrame field;
    field.initFrom(textBox());
    field.rect = twipsToPixels(layout.frame);
    field.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &field, this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &field, &painter, this);
}

bool TxtComboControl::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the list is reported and still reaches the list.
    if (watched == m_Combo1 && isEnterKeyPress(event)) Q_EMIT OnEnterKeyPress();
    if (watched == textBox() && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
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

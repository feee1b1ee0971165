#include "editors/ComboButton.h"

#include "editors/ComboItems.h"
#include "editors/EllipsisButton.h"
#include "editors/KeyCodes.h"
#include "editors/NonNegative.h"
#include "editors/WidgetColors.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/SystemColors.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QPushButton>

namespace vq {

namespace {
constexpr int32_t kButtonSlot = 280;
constexpr int32_t kButtonSize = 275;
const QString kBlankItem = QStringLiteral(" ");

bool sameEntry(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}
}  // namespace

ComboButton::Layout ComboButton::layoutFor(QSize size) {
    const int32_t buttonLeft = NonNegative(size.width() - kButtonSlot);
    return {QSize(size.width(), kHeight), QRect(0, 0, buttonLeft, kHeight),
            QRect(buttonLeft, 20, kButtonSize, kButtonSize)};
}

ComboButton::ComboButton(QWidget* parent)
    : QWidget(parent), m_Combo1(new QComboBox(this)), m_Command1(createEllipsisButton(this)) {
    m_Combo1->setObjectName(QStringLiteral("Combo1"));
    // "..." would be read out as dots.
    m_Command1->setAccessibleName(QStringLiteral("Browse"));
    m_Command1->setAccessibleDescription(QStringLiteral("Opens a dialog to choose the value"));
    m_Combo1->installEventFilter(this);
    setTabOrder(m_Combo1, m_Command1);
    setFocusProxy(m_Combo1);
    setFixedHeight(twipsToPixels(kHeight));
    connect(m_Command1, &QPushButton::clicked, this, [this] { Q_EMIT ButtonClick(); });
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, &ComboButton::ListIndexChanged);
    appendComboItem(*m_Combo1, kBlankItem);
    InitProperties();
}

bool ComboButton::Enabled() const {
    return ownEnabled(*this);
}

void ComboButton::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &ComboButton::Enabled, &ComboButton::EnabledChanged);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
    setEnabled(enabled);
    m_Combo1->setEnabled(enabled);
    m_Command1->setEnabled(enabled);
}

void ComboButton::SetForeColor(uint32_t color) {
    const ChangeNotice notice(this, &ComboButton::ForeColor, &ComboButton::ForeColorChanged);
    m_ForeColor = color;
    applyForeColor(*m_Combo1, m_ForeColor);
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

void ComboButton::SetBackColor(uint32_t color) {
    const ChangeNotice notice(this, &ComboButton::BackColor, &ComboButton::BackColorChanged);
    m_BackColor = color;
    applyBackColor(*m_Combo1, m_BackColor);
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

int16_t ComboButton::ListIndex() const {
    return int16_t(m_Combo1->currentIndex());
}

void ComboButton::SetListIndex(int16_t index) {
    setComboListIndex(*m_Combo1, index);
}

QString ComboButton::ComboText() const {
    return m_Combo1->currentText();
}

void ComboButton::AddItem(const QString& text) {
    for (int i = 1; i < m_Combo1->count(); ++i) {
        if (sameEntry(m_Combo1->itemText(i), text)) {
            m_Combo1->removeItem(i);
            break;
        }
    }
    insertComboItem(*m_Combo1, text, 1);
    m_Combo1->setCurrentIndex(1);
    if (m_Combo1->count() > kMaxItems) m_Combo1->removeItem(kMaxItems);
    fitDroppedListToItems(*m_Combo1);
}

// The blank item comes back at once, so the next entry has its place at position 1.
void ComboButton::ComboClear() {
    clearComboItems(*m_Combo1);
    appendComboItem(*m_Combo1, kBlankItem);
}

// A new control only turns enabled; its colours stay as they are, and loaded colours are only
// stored, not shown.
std::span<const PersistedNote<ComboButton>> ComboButton::persistedNotes() {
    using Self = ComboButton;
    static const PersistedNote<Self> notes[] = {
        {"Enabled", true},
        {"ForeColor", int32_t(kBlack),
         [](Self& c, const Variant& v) { c.m_ForeColor = uint32_t(v.toInt32()); }, nullptr, false},
        {"BackColor", int32_t(kWhite),
         [](Self& c, const Variant& v) { c.m_BackColor = uint32_t(v.toInt32()); }, nullptr, false},
    };
    return notes;
}

void ComboButton::InitProperties() {
    initStoredProperties(*this, persistedNotes());
}

void ComboButton::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
}

void ComboButton::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

QSize ComboButton::sizeHint() const {
    return twipsToPixels(QSize(2500, kHeight));
}

void ComboButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const Layout layout = layoutFor(pixelsToTwips(size()));
    m_Combo1->setGeometry(twipsToPixels(layout.combo));
    m_Command1->setGeometry(twipsToPixels(layout.button));
}

bool ComboButton::eventFilter(QObject* watched, QEvent* event) {
    // Enter is reported and still reaches the list.
    if (watched == m_Combo1 && isEnterKeyPress(event)) Q_EMIT OnEnterKeyPress();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq

#include "editors/DropDownList.h"

#include "editors/ComboItems.h"
#include "editors/KeyCodes.h"
#include "editors/WidgetColors.h"
#include "platform/ChangeNotice.h"
#include "platform/PropertyBag.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace vq {

namespace {

// The Qt key that types `character`: control characters by their key code, printable ones by
// their upper-case form, as Qt numbers its Latin-1 keys.
int qtKeyForCharacter(int16_t character) {
    return character < 32 ? qtKeyFromKeyCode(character) : QChar(char16_t(character)).toUpper().unicode();
}

bool typesOneCharacter(const QString& text) {
    return text.size() == 1 && text.at(0).unicode() <= 0x7FFF;
}

}  // namespace

QRect DropDownList::layoutFor(QSize size) {
    return QRect(0, 0, size.width(), kComboHeight);
}

DropDownList::DropDownList(QWidget* parent) : QWidget(parent), m_Combo1(new QComboBox(this)) {
    m_Combo1->setObjectName(QStringLiteral("Combo1"));
    m_Combo1->installEventFilter(this);
    setFocusProxy(m_Combo1);
    // The list keeps its height, so a layout must not make the control lower than the list.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    applyColors();
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, [this] { Q_EMIT Click(); });
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, &DropDownList::ListIndexChanged);
}

void DropDownList::SetBackColor(uint32_t color) {
    const ChangeNotice notice(this, &DropDownList::BackColor, &DropDownList::BackColorChanged);
    m_BackColor = color;
    applyColors();
    markChanged(QStringLiteral("BackColor"));
}

void DropDownList::SetForeColor(uint32_t color) {
    const ChangeNotice notice(this, &DropDownList::ForeColor, &DropDownList::ForeColorChanged);
    m_ForeColor = color;
    applyColors();
    markChanged(QStringLiteral("ForeColor"));
}

bool DropDownList::Enabled() const {
    return m_Combo1->isEnabledTo(this);
}

void DropDownList::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &DropDownList::Enabled, &DropDownList::EnabledChanged);
    m_Combo1->setEnabled(enabled);
    markChanged(QStringLiteral("Enabled"));
}

QFont DropDownList::Font() const {
    return m_Combo1->font();
}

void DropDownList::SetFont(const QFont& font) {
    const ChangeNotice notice(this, &DropDownList::Font, &DropDownList::FontChanged);
    m_Combo1->setFont(font);
    markChanged(QStringLiteral("Font"));
}

int16_t DropDownList::ListIndex() const {
    return int16_t(m_Combo1->currentIndex());
}

void DropDownList::SetListIndex(int16_t index) {
    setComboListIndex(*m_Combo1, index);
    markChanged(QStringLiteral("ListIndex"));
}

QString DropDownList::Text() const {
    return m_Combo1->currentText();
}

void DropDownList::AddItem(const QString& text, std::optional<int16_t> position) {
    insertComboItem(*m_Combo1, text, position ? int(*position) : m_Combo1->count());
}

void DropDownList::Clear() {
    clearComboItems(*m_Combo1);
}

// Loaded straight into the list, without marking anything changed. The host fills the list
// later, so a saved index past its end means no selection rather than an error.
void DropDownList::ReadProperties(const PropertyBag& bag) {
    m_BackColor = bag.ReadColor(QStringLiteral("BackColor"), kDefaultBackColor);
    m_ForeColor = bag.ReadColor(QStringLiteral("ForeColor"), kDefaultForeColor);
    applyColors();
    m_Combo1->setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    QFont font = containerFont();
    font.fromString(bag.ReadProperty(QStringLiteral("Font"), font.toString()).toString());
    m_Combo1->setFont(font);
    const int16_t index = int16_t(bag.ReadProperty(QStringLiteral("ListIndex"), int16_t(0)).toInt32());
    m_Combo1->setCurrentIndex(loadableListIndex(*m_Combo1, index));
}

void DropDownList::WriteProperties(PropertyBag& bag) const {
    bag.WriteColor(QStringLiteral("BackColor"), m_BackColor, kDefaultBackColor);
    bag.WriteColor(QStringLiteral("ForeColor"), m_ForeColor, kDefaultForeColor);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Font"), Font().toString(), containerFont().toString());
    bag.WriteProperty(QStringLiteral("ListIndex"), ListIndex(), int16_t(0));
}

QSize DropDownList::sizeHint() const {
    return twipsToPixels(QSize(1500, kComboHeight));
}

void DropDownList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_Combo1->setGeometry(twipsToPixels(layoutFor(pixelsToTwips(size()))));
}

void DropDownList::applyColors() {
    applyWidgetColors(*m_Combo1, m_ForeColor, m_BackColor);
}

QFont DropDownList::containerFont() const {
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

bool DropDownList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_Combo1 && !m_Resending) {
        if (event->type() == QEvent::KeyPress) return forwardKeyPress(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::KeyRelease) return forwardKeyRelease(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

// Returns true when the list must not see `event` as it came: swallowed or sent again changed.
bool DropDownList::forwardKeyPress(QKeyEvent* event) {
    const int16_t originalCode = keyCodeFromQtKey(event->key(), event->modifiers());
    int16_t keyCode = originalCode;
    int16_t shift = shiftStateFromModifiers(event->modifiers());
    Q_EMIT KeyDown(keyCode, shift);
    if (keyCode != originalCode && keyCode == 0) return true;
    int qtKey = keyCode == originalCode ? event->key() : qtKeyFromKeyCode(keyCode);
    QString text = event->text();
    if (typesOneCharacter(text)) {
        const auto originalAscii = int16_t(text.at(0).unicode());
        int16_t keyAscii = originalAscii;
        Q_EMIT KeyPress(keyAscii);
        if (keyAscii == 0) return true;
        if (keyAscii != originalAscii) {
            text = QString(QChar(char16_t(keyAscii)));
            qtKey = qtKeyForCharacter(keyAscii);
        }
    }
    if (qtKey == event->key() && text == event->text()) return false;
    resend(*event, qtKey, text);
    return true;
}

bool DropDownList::forwardKeyRelease(QKeyEvent* event) {
    const int16_t originalCode = keyCodeFromQtKey(event->key(), event->modifiers());
    int16_t keyCode = originalCode;
    int16_t shift = shiftStateFromModifiers(event->modifiers());
    Q_EMIT KeyUp(keyCode, shift);
    if (keyCode == originalCode) return false;
    if (keyCode != 0) resend(*event, qtKeyFromKeyCode(keyCode), event->text());
    return true;
}

void DropDownList::resend(const QKeyEvent& original, int qtKey, const QString& text) {
    QKeyEvent changed(original.type(), qtKey, original.modifiers(), text, original.isAutoRepeat(),
                      ushort(original.count()));
    const QScopedValueRollback<bool> guard(m_Resending, true);
    QCoreApplication::sendEvent(m_Combo1, &changed);
}

}  // namespace vq

#include "editors/TextBoxControl.h"

#include "editors/KeyCodes.h"
#include "editors/PropertyErrors.h"
#include "editors/WidgetColors.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/SystemColors.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <array>

namespace vq {

namespace {

constexpr std::array<Qt::Alignment, 3> kAlignments{Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};

// Switching to another window or opening the text box's own menu is not leaving the field.
bool leavesTheField(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

TextBoxControl::TextBoxControl(QWidget* parent) : QWidget(parent), m_Text1(new QLineEdit(this)) {
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->installEventFilter(this);
    setFocusProxy(m_Text1);
    connect(m_Text1, &QLineEdit::textChanged, this, &TextBoxControl::TextChanged);
    // The cursor and the selection move together; the selection is one value to its watchers.
    connect(m_Text1, &QLineEdit::selectionChanged, this, &TextBoxControl::noteSelection);
    connect(m_Text1, &QLineEdit::cursorPositionChanged, this, &TextBoxControl::noteSelection);
}

void TextBoxControl::noteSelection() {
    if (m_selection.changed({SelStart(), SelLength(), SelText()})) Q_EMIT SelectionChanged();
}

bool TextBoxControl::Enabled() const {
    return ownEnabled(*this);
}

void TextBoxControl::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &TextBoxControl::Enabled, &TextBoxControl::EnabledChanged);
    markChanged(QStringLiteral("Enabled"));
    setEnabled(enabled);
    m_Text1->setEnabled(enabled);
    if (m_Side) m_Side->setEnabled(enabled);
}

QString TextBoxControl::Text() const {
    return m_Text1->text();
}

void TextBoxControl::SetText(const QString& text) {
    m_Text = text;
    markChanged(QStringLiteral("Text"));
    m_Text1->setText(text);
}

QString TextBoxControl::SelText() const {
    return m_Text1->selectedText();
}

void TextBoxControl::SetSelText(const QString& text) {
    m_Text1->insert(text);
    markChanged(QStringLiteral("SelText"));
}

int32_t TextBoxControl::SelStart() const {
    return m_Text1->hasSelectedText() ? m_Text1->selectionStart() : m_Text1->cursorPosition();
}

void TextBoxControl::SetSelStart(int32_t start) {
    if (start < 0) raiseInvalidPropertyValue(QStringLiteral("SelStart"));
    m_Text1->setCursorPosition(std::min<int32_t>(start, int32_t(m_Text1->text().size())));
    markChanged(QStringLiteral("SelStart"));
}

int32_t TextBoxControl::SelLength() const {
    return m_Text1->selectionLength();
}

void TextBoxControl::SetSelLength(int32_t length) {
    if (length < 0) raiseInvalidPropertyValue(QStringLiteral("SelLength"));
    const int32_t start = SelStart();
    m_Text1->setSelection(start, std::min<int32_t>(length, int32_t(m_Text1->text().size()) - start));
    markChanged(QStringLiteral("SelLength"));
}

void TextBoxControl::SetAlignment(int32_t alignment) {
    if (alignment < 0 || alignment >= int32_t(kAlignments.size())) {
        raiseInvalidPropertyValue(QStringLiteral("Alignment"));
    }
    const ChangeNotice notice(this, &TextBoxControl::Alignment, &TextBoxControl::AlignmentChanged);
    m_Alignment = alignment;
    m_Text1->setAlignment(kAlignments[size_t(alignment)] | m_Vertical);
    markChanged(QStringLiteral("Alignment"));
}

void TextBoxControl::setVerticalTextAlignment(Qt::Alignment vertical) {
    m_Vertical = vertical;
    m_Text1->setAlignment(kAlignments[size_t(m_Alignment)] | m_Vertical);
}

void TextBoxControl::SetForeColor(uint32_t color) {
    const ChangeNotice notice(this, &TextBoxControl::ForeColor, &TextBoxControl::ForeColorChanged);
    m_ForeColor = color;
    showForeColor();
    markChanged(QStringLiteral("ForeColor"));
}

void TextBoxControl::SetBackColor(uint32_t color) {
    const ChangeNotice notice(this, &TextBoxControl::BackColor, &TextBoxControl::BackColorChanged);
    m_BackColor = color;
    showBackColor();
    markChanged(QStringLiteral("BackColor"));
}

void TextBoxControl::showForeColor() {
    applyForeColor(*m_Text1, m_ForeColor);
}

void TextBoxControl::showBackColor() {
    applyBackColor(*m_Text1, m_BackColor);
}

// The colours are only stored: the children keep the look they have until a colour is written.
std::span<const PersistedNote<TextBoxControl>> TextBoxControl::persistedNotes() {
    using Self = TextBoxControl;
    static const PersistedNote<Self> notes[] = {
        {"Enabled", true},
        // What was last written is saved, not what the box shows after the user typed.
        {"Text", QString(), nullptr, [](const Self& c) { return Variant(c.m_Text); }},
        {"ForeColor", int32_t(kBlack),
         [](Self& c, const Variant& v) { c.m_ForeColor = uint32_t(v.toInt32()); }},
        {"BackColor", int32_t(kWhite),
         [](Self& c, const Variant& v) { c.m_BackColor = uint32_t(v.toInt32()); }},
    };
    return notes;
}

void TextBoxControl::initTextBoxProperties() {
    initStoredProperties(*this, persistedNotes());
}

void TextBoxControl::readTextBoxProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
}

void TextBoxControl::writeTextBoxProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

void TextBoxControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

bool TextBoxControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_Text1) return QWidget::eventFilter(watched, event);
    if (isEnterKeyPress(event)) {
        Q_EMIT OnEnterKeyPress();
        return true;  // the Enter character never reaches the text box
    }
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        m_lastReleasedKey = static_cast<QKeyEvent*>(event)->key();
        Q_EMIT OnKeyUp();
    } else if (event->type() == QEvent::FocusOut && leavesTheField(event)) {
        textFocusLost();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq

#include "editors/SecurityControlInd.h"

#include "editors/KeyCodes.h"
#include "editors/SecurityStringParser.h"
#include "editors/WidgetColors.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/SystemColors.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QFocusEvent>

namespace vq {

namespace {}  // namespace

SecurityControlInd::Layout SecurityControlInd::layoutFor(QSize size) {
    return {QSize(size.width(), kHeight), QRect(0, 0, size.width(), kHeight)};
}

SecurityControlInd::SecurityControlInd(QWidget* parent) : QWidget(parent), m_Combo1(new QComboBox(this)) {
    m_Combo1->setObjectName(QStringLiteral("Combo1"));
    m_Combo1->setAccessibleDescription(QStringLiteral("What one class of users may do with the point"));
    for (int16_t level = 0; level < SecurityStringParser::kLevelCount; ++level)
        m_Combo1->addItem(SecurityStringParser::GetLongName(level));
    m_Combo1->setCurrentIndex(-1);
    m_Combo1->installEventFilter(this);
    connect(m_Combo1, &QComboBox::currentIndexChanged, this, [this] { listSelected(); });
    setFixedHeight(twipsToPixels(kHeight));
    SetEnabled(true);
}

bool SecurityControlInd::Enabled() const {
    return ownEnabled(*this);
}

void SecurityControlInd::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &SecurityControlInd::Enabled, &SecurityControlInd::EnabledChanged);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
    setEnabled(enabled);
    m_Combo1->setEnabled(enabled);
}

void SecurityControlInd::SetSecurityScope(int32_t scope) {
    const ChangeNotice notice(this, &SecurityControlInd::SecurityScope,
                              &SecurityControlInd::SecurityScopeChanged);
    m_SecurityScope = scope;
    Q_EMIT PropertyChanged(QStringLiteral("SecurityScope"));
}

void SecurityControlInd::SetSecurity(const QString& security) {
    const ChangeNotice notice(this, &SecurityControlInd::Security, &SecurityControlInd::SecurityChanged);
    const int32_t level = SecurityStringParser::GetIndex(security, m_SecurityScope);
    m_Security = security;
    m_Combo1->setCurrentIndex(level);
}

void SecurityControlInd::SetForeColor(uint32_t color) {
    const ChangeNotice notice(this, &SecurityControlInd::ForeColor, &SecurityControlInd::ForeColorChanged);
    m_ForeColor = color;
    applyForeColor(*m_Combo1, m_ForeColor);
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

void SecurityControlInd::SetBackColor(uint32_t color) {
    const ChangeNotice notice(this, &SecurityControlInd::BackColor, &SecurityControlInd::BackColorChanged);
    m_BackColor = color;
    applyBackColor(*m_Combo1, m_BackColor);
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

QString SecurityControlInd::BuildSecurityString() const {
    // The other tokens come from the stored string; a token it lacks reads as None.
    std::array<int32_t, SecurityStringParser::kScopeCount> levels{};
    for (int scope = 0; scope < SecurityStringParser::kScopeCount; ++scope)
        levels[scope] = scope == m_SecurityScope ? m_Combo1->currentIndex()
                                                 : SecurityStringParser::GetIndexOrNone(m_Security, scope);
    return SecurityStringParser::BuildSecurityString(levels);
}

void SecurityControlInd::listSelected() {
    const int16_t current = int16_t(m_Combo1->currentIndex());
    if (m_LastIndex != -1 && current != m_LastIndex) {
        m_LastIndex = current;
        const QString before = m_Security;
        m_Security = BuildSecurityString();
        if (m_Security != before) Q_EMIT SecurityChanged();
        Q_EMIT OnListIndexChange();
    }
    m_LastIndex = current;
}

// A new control only turns enabled. Saved colours are kept but not shown until they are written
// again.
std::span<const PersistedNote<SecurityControlInd>> SecurityControlInd::persistedNotes() {
    using Self = SecurityControlInd;
    static const PersistedNote<Self> notes[] = {
        {"Enabled", true},
        {"SecurityScope", int32_t(0), nullptr, nullptr, false},
        {"ForeColor", int32_t(kBlack),
         [](Self& c, const Variant& v) { c.m_ForeColor = uint32_t(v.toInt32()); }, nullptr, false},
        {"BackColor", int32_t(kWhite),
         [](Self& c, const Variant& v) { c.m_BackColor = uint32_t(v.toInt32()); }, nullptr, false},
    };
    return notes;
}

void SecurityControlInd::InitProperties() {
    initStoredProperties(*this, persistedNotes());
}

void SecurityControlInd::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
    m_Combo1->setEnabled(Enabled());
}

void SecurityControlInd::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

QSize SecurityControlInd::sizeHint() const {
    return twipsToPixels(QSize(1500, kHeight));
}

void SecurityControlInd::focusInEvent(QFocusEvent* event) {
    // Focus given to the control goes on to the list, unless the list is disabled.
    if (m_Combo1->isEnabled()) m_Combo1->setFocus(event->reason());
}

void SecurityControlInd::resizeEvent(QResizeEvent*) {
    m_Combo1->setGeometry(twipsToPixels(layoutFor(pixelsToTwips(size())).list));
}

bool SecurityControlInd::eventFilter(QObject* watched, QEvent* event) {
    // Enter is reported and still reaches the list.
    if (isEnterKeyPress(event)) Q_EMIT OnEnterKeyPress();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq

#include "editors/SecurityControl.h"

#include "editors/KeyCodes.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QEvent>

#include <algorithm>

namespace vq {

namespace {

struct ScopeList {
    const char* objectName;
    const char* prefix;
    const char* spokenName;  // what a screen reader says for the list
    const char* description;
};

constexpr std::array<ScopeList, SecurityStringParser::kScopeCount> kScopeLists{{
    {"cboOwner", "O:", "Owner access", "What the point's owner may do with it"},
    {"cboGroup", "G:", "Group access", "What members of the point's group may do with it"},
    {"cboWorld", "W:", "World access", "What every other user may do with it"},
}};

}  // namespace

SecurityControl::Layout SecurityControl::layoutFor(QSize size) {
    const int width = size.width();
    const QSize control(width, kHeight);
    if (width <= kNarrowWidth)
        return {control, QRect(0, 0, 800, kHeight), QRect(750, 0, 800, kHeight),
                QRect(1500, 0, 800, kHeight)};
    // Neighbouring lists overlap by 50 so their borders merge.
    const int third = width / 3;
    return {control, QRect(0, 0, third + 50, kHeight), QRect(third, 0, third + 50, kHeight),
            QRect(2 * width / 3, 0, third + 50, kHeight)};
}

SecurityControl::SecurityControl(QWidget* parent) : QWidget(parent) {
    for (int scope = 0; scope < SecurityStringParser::kScopeCount; ++scope) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(kScopeLists[scope].objectName));
        list->setAccessibleName(QString::fromLatin1(kScopeLists[scope].spokenName));
        list->setAccessibleDescription(QString::fromLatin1(kScopeLists[scope].description));
        const QString prefix = QString::fromLatin1(kScopeLists[scope].prefix);
        for (int16_t level = 0; level < SecurityStringParser::kLevelCount; ++level)
            list->addItem(prefix + SecurityStringParser::GetShortName(level));
        // Filling selects the first item; the lists show nothing until Security is written.
        list->setCurrentIndex(-1);
        list->installEventFilter(this);
        connect(list, &QComboBox::currentIndexChanged, this, [this, scope] { listSelected(scope); });
        m_lists[scope] = list;
    }
    setFocusProxy(m_lists[0]);
    setFixedHeight(twipsToPixels(kHeight));
    SetEnabled(true);
}

bool SecurityControl::Enabled() const {
    return ownEnabled(*this);
}

void SecurityControl::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &SecurityControl::Enabled, &SecurityControl::EnabledChanged);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
    setEnabled(enabled);
    for (QComboBox* list : m_lists) list->setEnabled(enabled);
}

QString SecurityControl::Security() const {
    if (std::find(m_lastIndex.begin(), m_lastIndex.end(), -1) != m_lastIndex.end()) return QString();
    return SecurityStringParser::BuildSecurityString(
        {m_lists[0]->currentIndex(), m_lists[1]->currentIndex(), m_lists[2]->currentIndex()});
}

void SecurityControl::SetSecurity(const QString& security) {
    const ChangeNotice notice(this, &SecurityControl::Security, &SecurityControl::SecurityChanged);
    // Read every token first: a short string fails before the lists lose what they show.
    std::array<int32_t, SecurityStringParser::kScopeCount> levels{};
    for (int scope = 0; scope < SecurityStringParser::kScopeCount; ++scope)
        levels[scope] = SecurityStringParser::GetIndex(security, scope);
    // With every last index at -1 the selection handlers only record the new indices.
    m_lastIndex.fill(-1);
    for (QComboBox* list : m_lists) list->setCurrentIndex(-1);
    for (int scope = 0; scope < SecurityStringParser::kScopeCount; ++scope)
        m_lists[scope]->setCurrentIndex(levels[scope]);
}

void SecurityControl::listSelected(int scope) {
    const int16_t current = int16_t(m_lists[scope]->currentIndex());
    const bool changedByUser = m_lastIndex[scope] != -1 && current != m_lastIndex[scope];
    m_lastIndex[scope] = current;
    if (!changedByUser) return;
    Q_EMIT SecurityChanged();
    Q_EMIT OnListIndexChange();
}

std::span<const PersistedNote<SecurityControl>> SecurityControl::persistedNotes() {
    using Self = SecurityControl;
    static const PersistedNote<Self> notes[] = {
        {"Enabled", true},
    };
    return notes;
}

void SecurityControl::InitProperties() {
    initStoredProperties(*this, persistedNotes());
}

void SecurityControl::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
}

void SecurityControl::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

QSize SecurityControl::sizeHint() const {
    return twipsToPixels(QSize(3000, kHeight));
}

QSize SecurityControl::minimumSizeHint() const {
    return twipsToPixels(QSize(kNarrowWidth, kHeight));
}

void SecurityControl::resizeEvent(QResizeEvent*) {
    const Layout layout = layoutFor(pixelsToTwips(size()));
    // The world list reaches 50 twips past the right edge (2300 on a narrow control); it is cut
    // to the control so that its button stays whole.
    m_lists[0]->setGeometry(twipsToPixels(layout.owner).intersected(rect()));
    m_lists[1]->setGeometry(twipsToPixels(layout.group).intersected(rect()));
    m_lists[2]->setGeometry(twipsToPixels(layout.world).intersected(rect()));
}

bool SecurityControl::eventFilter(QObject* watched, QEvent* event) {
    // Enter is reported and still reaches the list.
    if (isEnterKeyPress(event)) Q_EMIT OnEnterKeyPress();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq

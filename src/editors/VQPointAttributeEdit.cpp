#include "editors/VQPointAttributeEdit.h"

#include "core/Error.h"
#include "core/ErrorContexts.h"
#include "editors/AttributeChild.h"
#include "editors/DropDownList.h"
#include "editors/KeyCodes.h"
#include "editors/NonNegative.h"
#include "editors/OptOnOff.h"
#include "editors/PlainTextBox.h"
#include "editors/PropertyErrors.h"
#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"
#include "model/PropSheetEntries.h"
#include "model/ValidationRules.h"
#include "platform/AttributeSearchDialogs.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/ServicesContext.h"
#include "platform/StoredProperties.h"
#include "platform/SystemColors.h"
#include "platform/TextMetrics.h"
#include "platform/Twips.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointList.h"

#include <qdrawutil.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>

namespace vq {

namespace {

const ErrorContexts context("VQPointAttributeEdit");
constexpr uint32_t kButtonFace = kSystemColorFlag | uint32_t(SystemColor::ButtonFace);
constexpr uint32_t kRed = 0x0000FF;
constexpr int kBorderTwips = 30;             // each side of the sunken fixed border
constexpr int kChildOffset = -kBorderTwips;  // hides the child's own border behind the control's edge
constexpr int kChildHeight = 315;
constexpr int kBorderlessExtra = 40;      // without a border the child also reaches past the right edge
constexpr int32_t kTagSearchOptions = 3;  // no server pick list, one tag only
constexpr int32_t kObjectNotSet = 91;

// Runs `body`; any error ends it quietly.
template <typename Body>
void quietly(Body&& body) {
    silently(false, [&] {
        body();
        return true;
    });
}

}  // namespace

// The kinds of child, in the order of kChildTypes.
enum class ChildKind { None, TextBox, DropDown, OnOff, TxtButton, TxtCombo, Security, SecurityInd };

// VQPointAttributeEdit's state and helpers, kept out of its header so that hosts need not rebuild
// when they change.
class VQPointAttributeEditPrivate {
public:
    explicit VQPointAttributeEditPrivate(VQPointAttributeEdit* control) : q(control) {}

    // The child
    void BuildChild();
    void createChild(ChildKind kind);
    void configureChild();
    void nameChild();
    void setChildAlignment();
    void applyLayout();
    // The current child through the part all seven kinds share; raises without a child.
    AttributeChild& child() const;
    template <typename T>
    T& childAs() const;
    template <typename Write>
    void writeSelection(const QString& name, Write&& write);

    // The child's events
    using Step = void (VQPointAttributeEditPrivate::*)();
    using Event = void (VQPointAttributeEdit::*)();
    // What a child's event does while the control shows the entry's value itself.
    enum class WhileUpdating { Runs, OnlyRaises };
    std::function<void()> relay(Step step, Event event = nullptr,
                                WhileUpdating whileUpdating = WhileUpdating::Runs);
    void attachEvents(ChildKind kind);
    void attachTextLikeEvents(TextBoxControl* box, Step pending, Step commitStep);
    void attachDropDownEvents(DropDownList* list);
    template <typename SecurityEditor>
    void attachSecurityEvents(SecurityEditor* editor);

    // Showing the bound entry
    void CommitEntries();
    void UpdateEntries(const QString& name);
    void showValue(PropSheetEntry& entry, const Variant& value);
    void FillDropDown(PropSheetEntry& entry);
    int16_t FillTwinList(PropSheetEntry& entry);
    void ApplyEnabled();
    void ApplyValidityColour(PropSheetEntry& entry);

    // The value flow from the child
    PropSheetEntry& entry() const;
    void commit(const Variant& value);
    void passPendingText();
    void commitText();
    void commitOnOff();
    void commitSecurity();
    void CommitDropDown();
    void DropDownClick();
    void TwinPending();
    void CommitTwin();
    void handTwin(bool commitIt);
    void SearchButton();
    QString searchedName(int32_t displayStyle) const;

    // Focus
    void focusMoved(QWidget* from, QWidget* to);
    bool holds(const QWidget* widget) const;

    VQPointAttributeEdit* const q;
    int32_t m_Alignment = 0;
    QString m_AttributeName;
    int32_t m_BorderStyle = FixedBorder;
    int16_t m_ComboWidth = VQPointAttributeEdit::kDefaultComboWidth;
    // Kept apart from the widget's own enabled state, which a read-only entry also turns off.
    bool m_Enabled = true;
    bool m_applyingEnabled = false;
    bool m_appliedEnabled = true;  // what ApplyEnabled last gave the widget
    int32_t m_OnOffStyle = OnOffOptionButtons;
    int32_t m_SecurityStyle = ViewAllSecurity;
    std::shared_ptr<vq::PropSheetEntries> m_Entries;
    int16_t m_LastIndex = -1;
    int32_t m_HelpContextID = 0;
    QWidget* m_client =
        nullptr;  // the area inside the border; the child's origin hides the child's own border
    QPointer<QWidget> m_child;
    AttributeChild* m_childParts = nullptr;  // m_child seen as its kind's shared part
    ChildKind m_kind = ChildKind::None;
    bool m_updating = false;  // selections the control makes itself are only remembered
    struct Selection {
        int32_t start;
        int32_t length;
        QString text;
        bool operator==(const Selection&) const = default;
    };
    ValueWatch<QString> m_text;
    // The child's parts this control named or described, so that a new attribute renames them.
    QList<QPointer<QWidget>> m_named;
    QList<QPointer<QWidget>> m_described;
    ValueWatch<Selection> m_selection{Selection{0, 0, QString()}};

    // Loaded values are stored as they are and the child is built once at the end; only the border
    // goes through its setter, which checks it. A new control keeps the alignment it has.
    static std::span<const PersistedNote<VQPointAttributeEdit>> persistedNotes();
};

VQPointAttributeEdit::Layout VQPointAttributeEdit::layoutFor(int width, int32_t borderStyle) {
    const bool fixed = borderStyle != NoBorder;
    const int childWidth = NonNegative(width + (fixed ? 0 : kBorderlessExtra));
    return {fixed ? kChildHeight : kChildHeight - 2 * kBorderTwips,
            QRect(kChildOffset, kChildOffset, childWidth, kChildHeight)};
}

VQPointAttributeEdit::VQPointAttributeEdit(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQPointAttributeEditPrivate>(this)) {
    d->m_client = new QWidget(this);
    d->m_client->setObjectName(QStringLiteral("clientArea"));
    // Laid over a grid cell, the control must hide the cell's own text, whatever child it holds.
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* from, QWidget* to) { d->focusMoved(from, to); });
    InitProperties();
}

// The child outlives this part of the control: it must not report its focus loss to it.
VQPointAttributeEdit::~VQPointAttributeEdit() {
    disconnect(qApp, nullptr, this, nullptr);
    if (d->m_child) d->m_child->disconnect(this);
    if (d->m_Entries) d->m_Entries->disconnect(this);
}

// ---- properties ----

int32_t VQPointAttributeEdit::Alignment() const {
    return d->m_Alignment;
}

QString VQPointAttributeEdit::AttributeName() const {
    return d->m_AttributeName;
}

int32_t VQPointAttributeEdit::BorderStyle() const {
    return d->m_BorderStyle;
}

int16_t VQPointAttributeEdit::ComboWidth() const {
    return d->m_ComboWidth;
}

bool VQPointAttributeEdit::Enabled() const {
    return d->m_Enabled;
}

int32_t VQPointAttributeEdit::OnOffStyle() const {
    return d->m_OnOffStyle;
}

int32_t VQPointAttributeEdit::SecurityStyle() const {
    return d->m_SecurityStyle;
}

const std::shared_ptr<PropSheetEntries>& VQPointAttributeEdit::PropSheetEntries() const {
    return d->m_Entries;
}

int32_t VQPointAttributeEdit::HelpContextID() const {
    return d->m_HelpContextID;
}

void VQPointAttributeEdit::SetAlignment(int32_t alignment) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::Alignment,
                              &VQPointAttributeEdit::AlignmentChanged);
    quietly([&] {
        d->m_Alignment = alignment;
        d->BuildChild();
        Q_EMIT PropertyChanged(QStringLiteral("Alignment"));
    });
}

void VQPointAttributeEdit::SetAttributeName(const QString& name) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::AttributeName,
                              &VQPointAttributeEdit::AttributeNameChanged);
    d->m_AttributeName = name;
    d->BuildChild();
    d->CommitEntries();
    Q_EMIT PropertyChanged(QStringLiteral("AttributeName"));
}

void VQPointAttributeEdit::SetBorderStyle(int32_t style) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::BorderStyle,
                              &VQPointAttributeEdit::BorderStyleChanged);
    if (style != NoBorder && style != FixedBorder) raiseInvalidPropertyValue(QStringLiteral("BorderStyle"));
    d->m_BorderStyle = style;
    Q_EMIT PropertyChanged(QStringLiteral("BorderStyle"));
    d->applyLayout();
    update();
}

void VQPointAttributeEdit::SetComboWidth(int16_t width) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::ComboWidth,
                              &VQPointAttributeEdit::ComboWidthChanged);
    d->m_ComboWidth = width;
    d->BuildChild();
    Q_EMIT PropertyChanged(QStringLiteral("ComboWidth"));
}

void VQPointAttributeEdit::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::Enabled, &VQPointAttributeEdit::EnabledChanged);
    d->m_Enabled = enabled;
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
    d->ApplyEnabled();
}

void VQPointAttributeEdit::SetOnOffStyle(int32_t style) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::OnOffStyle,
                              &VQPointAttributeEdit::OnOffStyleChanged);
    d->m_OnOffStyle = style;
    d->BuildChild();
    Q_EMIT PropertyChanged(QStringLiteral("OnOffStyle"));
}

void VQPointAttributeEdit::SetSecurityStyle(int32_t style) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::SecurityStyle,
                              &VQPointAttributeEdit::SecurityStyleChanged);
    d->m_SecurityStyle = style;
    d->BuildChild();
    Q_EMIT PropertyChanged(QStringLiteral("SecurityStyle"));
}

void VQPointAttributeEdit::SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries) {
    if (d->m_Entries) d->m_Entries->disconnect(this);
    d->m_Entries = std::move(entries);
    if (d->m_Entries) {
        // UpdateEntries re-raises; the collection hands its error to the edit's caller once every
        // view has followed the event.
        const auto follow = [this](PropSheetEntry* entry) {
            d->m_Entries->receive([&] { d->UpdateEntries(entry->CurrentAttributeName()); });
        };
        connect(d->m_Entries.get(), &PropSheetEntries::OnValueEdit, this, follow);
        connect(d->m_Entries.get(), &PropSheetEntries::OnDisplayEdit, this, follow);
    }
    d->CommitEntries();
}

int32_t VQPointAttributeEdit::SelStart() const {
    return silently(0, [&] { return d->child().SelStart(); });
}

void VQPointAttributeEdit::SetSelStart(int32_t start) {
    d->writeSelection(QStringLiteral("SelStart"), [start](AttributeChild& c) { c.SetSelStart(start); });
}

int32_t VQPointAttributeEdit::SelLength() const {
    return silently(0, [&] { return d->child().SelLength(); });
}

void VQPointAttributeEdit::SetSelLength(int32_t length) {
    d->writeSelection(QStringLiteral("SelLength"), [length](AttributeChild& c) { c.SetSelLength(length); });
}

QString VQPointAttributeEdit::SelText() const {
    return silently(QString(), [&] { return d->child().SelText(); });
}

void VQPointAttributeEdit::SetSelText(const QString& text) {
    d->writeSelection(QStringLiteral("SelText"), [&text](AttributeChild& c) { c.SetSelText(text); });
}

// A child without a selection refuses the write, which then is not marked as a change.
template <typename Write>
void VQPointAttributeEditPrivate::writeSelection(const QString& name, Write&& write) {
    quietly([&] {
        write(child());
        Q_EMIT q->PropertyChanged(name);
    });
}

QString VQPointAttributeEdit::Text() const {
    return silently(QString(), [&] { return d->child().Text(); });
}

void VQPointAttributeEdit::SetHelpContextID(int32_t helpContextID) {
    d->m_HelpContextID = helpContextID;
    setProperty("HelpContextID", helpContextID);
    if (d->m_child) d->m_child->setProperty("HelpContextID", helpContextID);
}

void VQPointAttributeEdit::SetInternalFocus() {
    if (d->m_child) d->m_child->setFocus(Qt::OtherFocusReason);
}

void VQPointAttributeEdit::CancelEdit() {
    if (!d->m_Entries || d->m_AttributeName.trimmed().isEmpty()) return;
    quietly([this] { d->UpdateEntries(d->m_AttributeName); });
}

QWidget* VQPointAttributeEdit::currentChild() const {
    return d->m_child;
}

// ---- persistence ----

std::span<const PersistedNote<VQPointAttributeEdit>> VQPointAttributeEditPrivate::persistedNotes() {
    using Self = VQPointAttributeEdit;
    static const PersistedNote<Self> notes[] = {
        {"Alignment", int32_t(0), [](Self& c, const Variant& v) { c.d->m_Alignment = v.toInt32(); }, nullptr,
         false},
        {"AttributeName", QString(), [](Self& c, const Variant& v) { c.d->m_AttributeName = v.toString(); }},
        {"BorderStyle", int16_t(FixedBorder)},
        {"ComboWidth", Self::kDefaultComboWidth,
         [](Self& c, const Variant& v) { c.d->m_ComboWidth = int16_t(v.toInt32()); }},
        {"Enabled", true, [](Self& c, const Variant& v) { c.d->m_Enabled = v.toBool(); }},
        {"OnOffStyle", int32_t(OnOffOptionButtons),
         [](Self& c, const Variant& v) { c.d->m_OnOffStyle = v.toInt32(); }},
        {"SecurityStyle", int32_t(ViewAllSecurity),
         [](Self& c, const Variant& v) { c.d->m_SecurityStyle = v.toInt32(); }},
    };
    return notes;
}

void VQPointAttributeEdit::InitProperties() {
    initStoredProperties(*this, VQPointAttributeEditPrivate::persistedNotes());
    d->BuildChild();
    d->ApplyEnabled();
}

void VQPointAttributeEdit::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, VQPointAttributeEditPrivate::persistedNotes());
    d->BuildChild();
    d->ApplyEnabled();
}

void VQPointAttributeEdit::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, VQPointAttributeEditPrivate::persistedNotes());
}

// ---- the child ----

namespace {

struct MadeChild {
    QWidget* widget;
    AttributeChild* parts;
};

template <typename T>
MadeChild makeChild(QWidget* parent) {
    T* child = new T(parent);
    return {child, child};
}

struct ChildType {
    const char* name;
    MadeChild (*make)(QWidget*);
};

// In the order of ChildKind.
const ChildType kChildTypes[] = {
    {nullptr, nullptr},
    {"ctlTextBox", &makeChild<PlainTextBox>},
    {"ctlDropDownList", &makeChild<DropDownList>},
    {"ctlOptOnOff", &makeChild<OptOnOff>},
    {"ctlTxtButton", &makeChild<TxtButton>},
    {"ctlTxtComboControl", &makeChild<TxtComboControl>},
    {"ctlSecurityControl", &makeChild<SecurityControl>},
    {"ctlsecuritycontrolind", &makeChild<SecurityControlInd>},
};

}  // namespace

void VQPointAttributeEditPrivate::BuildChild() {
    ChildKind kind = ChildKind::None;
    switch (ValidationRules::displayStyleFor(m_AttributeName)) {
        case styletext:
            kind = ChildKind::TextBox;
            break;
        case stylecombo:
            kind = ChildKind::DropDown;
            break;
        case styleonoffswitch:
            kind = m_OnOffStyle != OnOffOptionButtons ? ChildKind::DropDown : ChildKind::OnOff;
            break;
        case styletagsearch:
        case styledigsetsearch:
            kind = ChildKind::TxtButton;
            break;
        case styletxtcombofortwin:
            kind = ChildKind::TxtCombo;
            break;
        case stylesecuritycontrol:
            kind = m_SecurityStyle == ViewAllSecurity ? ChildKind::Security : ChildKind::SecurityInd;
            break;
        default:
            break;  // a custom style keeps whatever child there is
    }
    if (kind != ChildKind::None && kind != m_kind) createChild(kind);
    configureChild();
    applyLayout();
}

void VQPointAttributeEditPrivate::createChild(ChildKind kind) {
    if (m_child) {
        m_child->disconnect(q);
        delete m_child;
    }
    const ChildType& type = kChildTypes[int(kind)];
    const MadeChild made = type.make(m_client);
    QWidget* child = made.widget;
    child->setObjectName(QString::fromLatin1(type.name));
    m_child = child;
    m_childParts = made.parts;
    m_kind = kind;
    q->setFocusProxy(child);
    attachEvents(kind);
    // The control's text and selection are the child's: whatever the child notifies may move them.
    const QMetaMethod note = q->metaObject()->method(q->metaObject()->indexOfSlot("noteChild()"));
    const QMetaObject* kindMeta = child->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < kindMeta->propertyCount(); ++i) {
        const QMetaProperty property = kindMeta->property(i);
        if (property.hasNotifySignal()) QObject::connect(child, property.notifySignal(), q, note);
    }
    q->noteChild();
    child->show();
}

void VQPointAttributeEdit::noteChild() {
    if (d->m_text.changed(Text())) Q_EMIT TextChanged();
    if (d->m_selection.changed({SelStart(), SelLength(), SelText()})) Q_EMIT SelectionChanged();
}

// A child's event runs one step of the value flow and then raises the control's event; an error
// ends it quietly. While the control shows a value itself, the step may be skipped: the value
// shown came from the entry and must not be written back.
std::function<void()> VQPointAttributeEditPrivate::relay(Step step, Event event,
                                                         WhileUpdating whileUpdating) {
    return [this, step, event, whileUpdating] {
        const bool stepRuns = !m_updating || whileUpdating == WhileUpdating::Runs;
        quietly([&] {
            if (stepRuns) (this->*step)();
            if (event) Q_EMIT(q->*event)();
        });
    };
}

void VQPointAttributeEditPrivate::attachEvents(ChildKind kind) {
    using P = VQPointAttributeEditPrivate;
    using Q = VQPointAttributeEdit;
    QWidget* child = m_child;
    switch (kind) {
        case ChildKind::TextBox:
            attachTextLikeEvents(static_cast<PlainTextBox*>(child), &P::passPendingText, &P::commitText);
            QObject::connect(static_cast<PlainTextBox*>(child), &PlainTextBox::TextLostFocus, q,
                             relay(&P::commitText));
            break;
        case ChildKind::TxtButton:
            attachTextLikeEvents(static_cast<TxtButton*>(child), &P::passPendingText, &P::commitText);
            QObject::connect(static_cast<TxtButton*>(child), &TxtButton::OnButtonClick, q,
                             [this] { SearchButton(); });
            break;
        case ChildKind::TxtCombo: {
            auto* box = static_cast<TxtComboControl*>(child);
            attachTextLikeEvents(box, &P::TwinPending, &P::CommitTwin);
            QObject::connect(box, &TxtComboControl::TextLostFocus, q, relay(&P::CommitTwin));
            QObject::connect(box, &TxtComboControl::OnListIndexChange, q,
                             relay(&P::CommitTwin, &Q::Click, WhileUpdating::OnlyRaises));
            break;
        }
        case ChildKind::DropDown:
            attachDropDownEvents(static_cast<DropDownList*>(child));
            break;
        case ChildKind::OnOff:
            QObject::connect(static_cast<OptOnOff*>(child), &OptOnOff::OnOptionClick, q,
                             relay(&P::commitOnOff, &Q::Click));
            break;
        case ChildKind::Security:
            attachSecurityEvents(static_cast<SecurityControl*>(child));
            break;
        case ChildKind::SecurityInd:
            attachSecurityEvents(static_cast<SecurityControlInd*>(child));
            break;
        case ChildKind::None:
            break;
    }
}

void VQPointAttributeEditPrivate::attachTextLikeEvents(TextBoxControl* box, Step pending, Step commitStep) {
    // Enter's press has just committed the text: its release hands nothing over, or the entry
    // would hold a pending value and the point would read as edited. It is still a key release.
    QObject::connect(box, &TextBoxControl::OnKeyUp, q, [this, box, pending] {
        quietly([&] {
            if (!isEnterKey(box->lastReleasedKey())) (this->*pending)();
            Q_EMIT q->Change();
        });
    });
    QObject::connect(box, &TextBoxControl::OnEnterKeyPress, q,
                     relay(commitStep, &VQPointAttributeEdit::OnEnterKeyPress));
}

void VQPointAttributeEditPrivate::attachDropDownEvents(DropDownList* list) {
    const auto enter =
        relay(&VQPointAttributeEditPrivate::CommitDropDown, &VQPointAttributeEdit::OnEnterKeyPress);
    QObject::connect(list, &DropDownList::KeyPress, q, [enter](int16_t& keyAscii) {
        if (keyAscii != kEnterCharacter) return;
        keyAscii = 0;  // the list never sees the Enter character
        enter();
    });
    QObject::connect(list, &DropDownList::Click, q, [this] { DropDownClick(); });
}

template <typename SecurityEditor>
void VQPointAttributeEditPrivate::attachSecurityEvents(SecurityEditor* editor) {
    using P = VQPointAttributeEditPrivate;
    using Q = VQPointAttributeEdit;
    QObject::connect(editor, &SecurityEditor::OnEnterKeyPress, q,
                     relay(&P::commitSecurity, &Q::OnEnterKeyPress));
    QObject::connect(editor, &SecurityEditor::OnListIndexChange, q,
                     relay(&P::commitSecurity, &Q::Click, WhileUpdating::OnlyRaises));
}

void VQPointAttributeEditPrivate::configureChild() {
    nameChild();
    switch (m_kind) {
        case ChildKind::TextBox:
        case ChildKind::TxtButton:
            setChildAlignment();
            break;
        case ChildKind::TxtCombo:
            setChildAlignment();
            childAs<TxtComboControl>().SetComboWidth(m_ComboWidth);
            break;
        case ChildKind::SecurityInd:
            childAs<SecurityControlInd>().SetSecurityScope(m_SecurityStyle);
            break;
        default:
            break;
    }
}

// A screen reader names the child's parts after the attribute, unless a part has a name of its own
// (the owner list of the security editor, the search button); a child kept for another attribute
// takes the new name.
void VQPointAttributeEditPrivate::nameChild() {
    if (!m_child) return;
    const QString description = QStringLiteral("Value of the %1 attribute").arg(m_AttributeName);
    QList<QWidget*> parts = m_child->findChildren<QWidget*>();
    parts.prepend(m_child);
    for (QWidget* part : parts) {
        if (part->focusPolicy() == Qt::NoFocus) continue;
        // A button with a caption ("On", "Off") is named by it.
        auto* button = qobject_cast<QAbstractButton*>(part);
        const bool captioned = button && !button->text().isEmpty();
        if (!captioned && (m_named.contains(part) || part->accessibleName().isEmpty())) {
            part->setAccessibleName(m_AttributeName);
            if (!m_named.contains(part)) m_named.append(part);
        }
        if (m_described.contains(part) || part->accessibleDescription().isEmpty()) {
            part->setAccessibleDescription(description);
            if (!m_described.contains(part)) m_described.append(part);
        }
    }
}

// An alignment the text box refuses leaves it as it was.
void VQPointAttributeEditPrivate::setChildAlignment() {
    quietly([&] { childAs<TextBoxControl>().SetAlignment(m_Alignment); });
}

// ---- layout ----

void VQPointAttributeEditPrivate::applyLayout() {
    quietly([&] {
        const int border = m_BorderStyle == FixedBorder ? twipsToPixels(kBorderTwips) : 0;
        const VQPointAttributeEdit::Layout layout =
            VQPointAttributeEdit::layoutFor(pixelsToTwips(q->width()), m_BorderStyle);
        q->setFixedHeight(twipsToPixels(layout.controlHeight));
        m_client->setGeometry(q->rect().adjusted(border, border, -border, -border));
        if (!m_child) return;
        m_child->setVisible(true);
        // The on/off buttons have no border of their own to hide behind the edge.
        const bool bordered = m_kind != ChildKind::OnOff;
        m_child->setGeometry(twipsToPixels(bordered ? layout.child : QRect(QPoint(), layout.child.size())));
        m_child->setProperty("HelpContextID", m_HelpContextID);
    });
}

QSize VQPointAttributeEdit::sizeHint() const {
    return {twipsToPixels(kDefaultWidth),
            twipsToPixels(layoutFor(kDefaultWidth, BorderStyle()).controlHeight)};
}

void VQPointAttributeEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->applyLayout();
}

void VQPointAttributeEdit::paintEvent(QPaintEvent*) {
    if (d->m_BorderStyle != FixedBorder) return;
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
}

// ---- the bound collection ----

void VQPointAttributeEditPrivate::CommitEntries() {
    if (m_AttributeName.isEmpty() || !m_Entries) return;
    reraising(context("CommitEntries"), [&] { UpdateEntries(m_AttributeName); });
}

void VQPointAttributeEditPrivate::UpdateEntries(const QString& name) {
    reraising(context("UpdateEntries"), [&] {
        PropSheetEntry& shown = *m_Entries->Item(Variant(name));
        if (m_AttributeName.trimmed().isEmpty()) return;
        if (m_AttributeName.compare(shown.PrimaryAttributeName(), Qt::CaseInsensitive) != 0 &&
            m_AttributeName.compare(shown.SecondaryAttributeName(), Qt::CaseInsensitive) != 0)
            return;
        {
            const QScopedValueRollback updating(m_updating, true);
            showValue(shown, shown.GetValueAs(QString()));
        }
        ApplyEnabled();
        ApplyValidityColour(shown);
    });
}

void VQPointAttributeEditPrivate::showValue(PropSheetEntry& shown, const Variant& value) {
    switch (shown.DisplayStyle()) {
        case styletext:
            childAs<PlainTextBox>().SetText(value.toString());
            break;
        case styleonoffswitch:
            if (m_OnOffStyle == OnOffOptionButtons) {
                childAs<OptOnOff>().SetValue(value.toCheckedInt16());
                break;
            }
            [[fallthrough]];
        case stylecombo:
            FillDropDown(shown);
            // An empty list has nothing to select.
            if (shown.ValueList().Count() > 0)
                childAs<DropDownList>().SetListIndex(int16_t(shown.ValueList().GetIndexByValue(value)));
            break;
        case styletagsearch:
        case styledigsetsearch:
            childAs<TxtButton>().SetText(value.toString());
            break;
        case styletxtcombofortwin:
            childAs<TxtComboControl>().SetComboWidth(int16_t(FillTwinList(shown) + 400));
            break;
        case stylesecuritycontrol:
            if (m_kind == ChildKind::Security)
                childAs<SecurityControl>().SetSecurity(value.toString());
            else
                childAs<SecurityControlInd>().SetSecurity(value.toString());
            break;
        default:
            break;
    }
}

void VQPointAttributeEditPrivate::FillDropDown(PropSheetEntry& shown) {
    auto& list = childAs<DropDownList>();
    list.Clear();
    const ComboEntries& values = shown.ValueList();
    for (int i = 1; i <= values.Count(); ++i) list.AddItem(values.GetNameByIndex(i));
}

int16_t VQPointAttributeEditPrivate::FillTwinList(PropSheetEntry& shown) {
    auto& box = childAs<TxtComboControl>();
    box.SetText(shown.GetValueAs(QString()).toString());
    const ComboEntries& twins = shown.ValueList();
    const int current = twins.GetIndexByValue(Variant(shown.CurrentAttributeName()));
    QStringList names;
    int16_t widest = 0;
    for (int i = 1; i <= twins.Count(); ++i) {
        names << twins.GetNameByIndex(i);
        widest = std::max(widest, int16_t(textWidthTwips(names.last(), q->font())));
    }
    // Nearly every event leaves the twins as they were; refilling the list would only redraw it.
    if (box.items() != names) {
        box.ComboClear();
        for (const QString& name : names) box.AddItem(name);
    }
    box.SetListIndex(int16_t(current));
    return widest;
}

// A host that enables or disables the control itself sets Enabled, as SetEnabled would, without
// marking it changed; a parent's state, or ApplyEnabled's own, leaves Enabled as it is.
void VQPointAttributeEdit::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange || d->m_applyingEnabled) return;
    if (ownEnabled(*this) == d->m_appliedEnabled) return;
    const ChangeNotice notice(this, &VQPointAttributeEdit::Enabled, &VQPointAttributeEdit::EnabledChanged);
    d->m_Enabled = ownEnabled(*this);
    d->ApplyEnabled();
}

void VQPointAttributeEditPrivate::ApplyEnabled() {
    quietly([&] {
        bool enabled = m_Enabled;
        if (enabled && m_Entries && !m_AttributeName.isEmpty()) enabled = !entry().GetReadOnly();
        if (m_child) child().SetEnabled(enabled);
        const QScopedValueRollback<bool> applying(m_applyingEnabled, true);
        m_appliedEnabled = enabled;
        q->setEnabled(enabled);
        if (m_kind != ChildKind::TextBox) return;
        auto& box = childAs<PlainTextBox>();
        box.SetBackColor(!enabled && box.Text().trimmed().isEmpty() ? kButtonFace : kWhite);
    });
}

void VQPointAttributeEditPrivate::ApplyValidityColour(PropSheetEntry& shown) {
    quietly([&] { child().SetForeColor(shown.IsValid() ? kBlack : kRed); });
}

// ---- value flow from the child ----

PropSheetEntry& VQPointAttributeEditPrivate::entry() const {
    return *m_Entries->Item(Variant(m_AttributeName));
}

void VQPointAttributeEditPrivate::commit(const Variant& value) {
    if (m_Entries) entry().SetValue(value, QString());
}

void VQPointAttributeEditPrivate::passPendingText() {
    if (m_Entries) entry().SetPendingValue(Variant(q->Text()), QString());
}

void VQPointAttributeEditPrivate::commitText() {
    commit(Variant(q->Text()));
}

void VQPointAttributeEditPrivate::commitOnOff() {
    commit(Variant(childAs<OptOnOff>().Value()));
}

void VQPointAttributeEditPrivate::commitSecurity() {
    commit(Variant(m_kind == ChildKind::Security ? childAs<SecurityControl>().Security()
                                                 : childAs<SecurityControlInd>().Security()));
}

void VQPointAttributeEditPrivate::CommitDropDown() {
    if (!m_Entries) return;
    PropSheetEntry& edited = entry();
    edited.SetValue(edited.ValueList().GetValueByName(childAs<DropDownList>().Text()), QString());
}

// The first selection seen is only remembered; so are the ones the control makes itself, which
// are still reported.
void VQPointAttributeEditPrivate::DropDownClick() {
    if (!m_Entries) return;
    const int16_t index = childAs<DropDownList>().ListIndex();
    const bool commits = m_LastIndex != -1 && m_LastIndex != index && !m_updating;
    m_LastIndex = index;
    if (commits) quietly([&] { CommitDropDown(); });
    Q_EMIT q->Click();
}

void VQPointAttributeEditPrivate::TwinPending() {
    handTwin(false);
}

void VQPointAttributeEditPrivate::CommitTwin() {
    handTwin(true);
}

// The text goes in under whichever twin the list shows.
void VQPointAttributeEditPrivate::handTwin(bool commitIt) {
    if (!m_Entries) return;
    PropSheetEntry& edited = entry();
    if (edited.DisplayStyle() != styletxtcombofortwin) return;
    auto& box = childAs<TxtComboControl>();
    const Variant text(box.Text());
    const QString twin = edited.ValueList().GetValueByName(box.ComboText()).toString();
    if (commitIt)
        edited.SetValue(text, twin);
    else
        edited.SetPendingValue(text, twin);
}

// The dialogs come from the dialog layer; without them a search finds nothing.
void VQPointAttributeEditPrivate::SearchButton() {
    if (!m_Entries) return;
    quietly([&] {
        const QString found = searchedName(entry().DisplayStyle());
        if (!found.isEmpty()) {
            childAs<TxtButton>().SetText(found);
            commit(Variant(found));
        }
        Q_EMIT q->OnSearchResults();
    });
}

// The first point or set the user chose; empty when the dialog was cancelled.
QString VQPointAttributeEditPrivate::searchedName(int32_t displayStyle) const {
    // A copy: the dialog may run long enough for a host to change the context meanwhile.
    const std::shared_ptr<AttributeSearchDialogs> dialogs = services().searchDialogs;
    if (!dialogs) return {};
    if (displayStyle == styletagsearch) {
        const SdkPointListPtr points = dialogs->ShowTagSearchDialog(m_Entries->Server(), kTagSearchOptions);
        return points && points->Count() > 0 ? points->Item(1)->Name() : QString();
    }
    if (displayStyle == styledigsetsearch) {
        const QString current = entry().GetValueAs(QString()).toString();
        const SdkNamedValuesPtr sets = dialogs->ShowDigsetSearchDialogShowing(m_Entries->Server(), current);
        return sets && sets->Count() > 0 ? sets->Item(1).Name() : QString();
    }
    return {};
}

// ---- focus ----

// Focus in a popup of the child's own list stays inside; a switch to another window is not
// leaving either.
void VQPointAttributeEditPrivate::focusMoved(QWidget* from, QWidget* to) {
    if (holds(from) && to && !holds(to) && to->window() == q->window()) Q_EMIT q->focusLeft();
}

bool VQPointAttributeEditPrivate::holds(const QWidget* widget) const {
    for (; widget; widget = widget->parentWidget())
        if (widget == q) return true;
    return false;
}

// ---- the child ----

AttributeChild& VQPointAttributeEditPrivate::child() const {
    if (!m_child || !m_childParts)
        throw Error(kObjectNotSet, QStringLiteral("VQPointAttributeEdit"),
                    QStringLiteral("Object variable or With block variable not set"));
    return *m_childParts;
}

template <typename T>
T& VQPointAttributeEditPrivate::childAs() const {
    auto* child = qobject_cast<T*>(m_child.data());
    if (!child)
        throw Error(kObjectNotSet, QStringLiteral("VQPointAttributeEdit"),
                    QStringLiteral("Object variable or With block variable not set"));
    return *child;
}

}  // namespace vq

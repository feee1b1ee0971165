#include "editors/VQPointAttributeEdit.h"

#include "core/Error.h"
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
#include "platform/PersistedProperty.h"
#include "platform/PropertyBag.h"
#include "platform/ServicesContext.h"
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

const QString kCommitContext = QStringLiteral("VQPointAttributeEdit:CommitEntries");
const QString kUpdateContext = QStringLiteral("VQPointAttributeEdit:UpdateEntries");
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

// VQPointAttributeEdit's state, kept out of its header so that hosts need not rebuild when it changes.
class VQPointAttributeEditPrivate {
public:
    int32_t m_Alignment = 0;
    QString m_AttributeName;
    int32_t m_BorderStyle = FixedBorder;
    int16_t m_ComboWidth = VQPointAttributeEdit::kDefaultComboWidth;
    bool m_Enabled = true;
    int32_t m_OnOffStyle = OnOffOptionButtons;
    int32_t m_SecurityStyle = ViewAllSecurity;
    std::shared_ptr<vq::PropSheetEntries> m_Entries;
    int16_t m_LastIndex = -1;
    int32_t m_HelpContextID = 0;
    QWidget* m_client =
        nullptr;  // the area inside the border; the child's origin hides the child's own border
    QPointer<QWidget> m_child;
    AttributeChild* m_childParts = nullptr;  // m_child seen as its kind's shared part
    VQPointAttributeEdit::ChildKind m_kind = VQPointAttributeEdit::ChildKind::None;
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
};

VQPointAttributeEdit::Layout VQPointAttributeEdit::layoutFor(int width, int32_t borderStyle) {
    const bool fixed = borderStyle != NoBorder;
    const int childWidth = NonNegative(width + (fixed ? 0 : kBorderlessExtra));
    return {fixed ? kChildHeight : kChildHeight - 2 * kBorderTwips,
            QRect(kChildOffset, kChildOffset, childWidth, kChildHeight)};
}

VQPointAttributeEdit::VQPointAttributeEdit(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQPointAttributeEditPrivate>()) {
    d->m_client = new QWidget(this);
    d->m_client->setObjectName(QStringLiteral("clientArea"));
    // Laid over a grid cell, the control must hide the cell's own text, whatever child it holds.
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(qApp, &QApplication::focusChanged, this, &VQPointAttributeEdit::focusMoved);
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
        BuildChild();
        markChanged(QStringLiteral("Alignment"));
    });
}

void VQPointAttributeEdit::SetAttributeName(const QString& name) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::AttributeName,
                              &VQPointAttributeEdit::AttributeNameChanged);
    d->m_AttributeName = name;
    BuildChild();
    CommitEntries();
    markChanged(QStringLiteral("AttributeName"));
}

void VQPointAttributeEdit::SetBorderStyle(int32_t style) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::BorderStyle,
                              &VQPointAttributeEdit::BorderStyleChanged);
    if (style != NoBorder && style != FixedBorder) raiseInvalidPropertyValue(QStringLiteral("BorderStyle"));
    d->m_BorderStyle = style;
    markChanged(QStringLiteral("BorderStyle"));
    applyLayout();
    update();
}

void VQPointAttributeEdit::SetComboWidth(int16_t width) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::ComboWidth,
                              &VQPointAttributeEdit::ComboWidthChanged);
    d->m_ComboWidth = width;
    BuildChild();
    markChanged(QStringLiteral("ComboWidth"));
}

void VQPointAttributeEdit::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::Enabled, &VQPointAttributeEdit::EnabledChanged);
    d->m_Enabled = enabled;
    markChanged(QStringLiteral("Enabled"));
    ApplyEnabled();
}

void VQPointAttributeEdit::SetOnOffStyle(int32_t style) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::OnOffStyle,
                              &VQPointAttributeEdit::OnOffStyleChanged);
    d->m_OnOffStyle = style;
    BuildChild();
    markChanged(QStringLiteral("OnOffStyle"));
}

void VQPointAttributeEdit::SetSecurityStyle(int32_t style) {
    const ChangeNotice notice(this, &VQPointAttributeEdit::SecurityStyle,
                              &VQPointAttributeEdit::SecurityStyleChanged);
    d->m_SecurityStyle = style;
    BuildChild();
    markChanged(QStringLiteral("SecurityStyle"));
}

void VQPointAttributeEdit::SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries) {
    if (d->m_Entries) d->m_Entries->disconnect(this);
    d->m_Entries = std::move(entries);
    if (d->m_Entries) {
        // UpdateEntries re-raises; the collection hands its error to the edit's caller once every
        // view has followed the event.
        const auto follow = [this](PropSheetEntry* entry) {
            d->m_Entries->receive([&] { UpdateEntries(entry->CurrentAttributeName()); });
        };
        connect(d->m_Entries.get(), &PropSheetEntries::OnValueEdit, this, follow);
        connect(d->m_Entries.get(), &PropSheetEntries::OnDisplayEdit, this, follow);
    }
    CommitEntries();
}

int32_t VQPointAttributeEdit::SelStart() const {
    return silently(0, [&] { return child().SelStart(); });
}

void VQPointAttributeEdit::SetSelStart(int32_t start) {
    writeSelection(QStringLiteral("SelStart"), [start](AttributeChild& c) { c.SetSelStart(start); });
}

int32_t VQPointAttributeEdit::SelLength() const {
    return silently(0, [&] { return child().SelLength(); });
}

void VQPointAttributeEdit::SetSelLength(int32_t length) {
    writeSelection(QStringLiteral("SelLength"), [length](AttributeChild& c) { c.SetSelLength(length); });
}

QString VQPointAttributeEdit::SelText() const {
    return silently(QString(), [&] { return child().SelText(); });
}

void VQPointAttributeEdit::SetSelText(const QString& text) {
    writeSelection(QStringLiteral("SelText"), [&text](AttributeChild& c) { c.SetSelText(text); });
}

// A child without a selection refuses the write, which then is not marked as a change.
template <typename Write>
void VQPointAttributeEdit::writeSelection(const QString& name, Write&& write) {
    quietly([&] {
        write(child());
        markChanged(name);
    });
}

QString VQPointAttributeEdit::Text() const {
    return silently(QString(), [&] { return child().Text(); });
}

void VQPointAttributeEdit::SetHelpContextID(int32_t helpContextID) {
    d->m_HelpContextID = helpContextID;
    setProperty("HelpContextID", helpContextID);
    if (d->m_child) d->m_child->setProperty("HelpContextID", helpContextID);
}

void VQPointAttributeEdit::SetInternalFocus() {
    if (d->m_child) d->m_child->setFocus(Qt::OtherFocusReason);
}

QWidget* VQPointAttributeEdit::currentChild() const {
    return d->m_child;
}

// ---- persistence ----

// Loaded values are stored as they are and the child is built once at the end; only the border
// goes through its setter, which checks it. A new control keeps the alignment it has.
std::span<const PersistedProperty<VQPointAttributeEdit>> VQPointAttributeEdit::persistedProperties() {
    using Self = VQPointAttributeEdit;
    static const PersistedProperty<Self> table[] = {
        {QStringLiteral("Alignment"), int32_t(0), [](const Self& c) { return Variant(c.d->m_Alignment); },
         [](Self& c, const Variant& v) { c.d->m_Alignment = v.toInt32(); }, false},
        {QStringLiteral("AttributeName"), QString(),
         [](const Self& c) { return Variant(c.d->m_AttributeName); },
         [](Self& c, const Variant& v) { c.d->m_AttributeName = v.toString(); }},
        {QStringLiteral("BorderStyle"), int16_t(FixedBorder),
         [](const Self& c) { return Variant(int16_t(c.d->m_BorderStyle)); },
         [](Self& c, const Variant& v) { c.SetBorderStyle(int16_t(v.toInt32())); }},
        {QStringLiteral("Enabled"), true, [](const Self& c) { return Variant(c.d->m_Enabled); },
         [](Self& c, const Variant& v) { c.d->m_Enabled = v.toBool(); }},
        {QStringLiteral("ComboWidth"), kDefaultComboWidth,
         [](const Self& c) { return Variant(c.d->m_ComboWidth); },
         [](Self& c, const Variant& v) { c.d->m_ComboWidth = int16_t(v.toInt32()); }},
        {QStringLiteral("OnOffStyle"), int32_t(OnOffOptionButtons),
         [](const Self& c) { return Variant(c.d->m_OnOffStyle); },
         [](Self& c, const Variant& v) { c.d->m_OnOffStyle = v.toInt32(); }},
        {QStringLiteral("SecurityStyle"), int32_t(ViewAllSecurity),
         [](const Self& c) { return Variant(c.d->m_SecurityStyle); },
         [](Self& c, const Variant& v) { c.d->m_SecurityStyle = v.toInt32(); }},
    };
    return table;
}

void VQPointAttributeEdit::InitProperties() {
    initPersisted(*this, persistedProperties());
    BuildChild();
    ApplyEnabled();
}

void VQPointAttributeEdit::ReadProperties(const PropertyBag& bag) {
    readPersisted(*this, persistedProperties(), bag);
    BuildChild();
    ApplyEnabled();
}

void VQPointAttributeEdit::WriteProperties(PropertyBag& bag) const {
    writePersisted(*this, persistedProperties(), bag);
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

void VQPointAttributeEdit::BuildChild() {
    ChildKind kind = ChildKind::None;
    switch (ValidationRules::displayStyleFor(d->m_AttributeName)) {
        case styletext:
            kind = ChildKind::TextBox;
            break;
        case stylecombo:
            kind = ChildKind::DropDown;
            break;
        case styleonoffswitch:
            kind = d->m_OnOffStyle != OnOffOptionButtons ? ChildKind::DropDown : ChildKind::OnOff;
            break;
        case styletagsearch:
        case styledigsetsearch:
            kind = ChildKind::TxtButton;
            break;
        case styletxtcombofortwin:
            kind = ChildKind::TxtCombo;
            break;
        case stylesecuritycontrol:
            kind = d->m_SecurityStyle == ViewAllSecurity ? ChildKind::Security : ChildKind::SecurityInd;
            break;
        default:
            break;  // a custom style keeps whatever child there is
    }
    if (kind != ChildKind::None && kind != d->m_kind) createChild(kind);
    configureChild();
    applyLayout();
}

void VQPointAttributeEdit::createChild(ChildKind kind) {
    if (d->m_child) {
        d->m_child->disconnect(this);
        delete d->m_child;
    }
    const ChildType& type = kChildTypes[int(kind)];
    const MadeChild made = type.make(d->m_client);
    QWidget* child = made.widget;
    child->setObjectName(QString::fromLatin1(type.name));
    d->m_child = child;
    d->m_childParts = made.parts;
    d->m_kind = kind;
    setFocusProxy(child);
    attachEvents(kind);
    // The control's text and selection are the child's: whatever the child notifies may move them.
    const QMetaMethod note = metaObject()->method(metaObject()->indexOfSlot("noteChild()"));
    const QMetaObject* kindMeta = child->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < kindMeta->propertyCount(); ++i) {
        const QMetaProperty property = kindMeta->property(i);
        if (property.hasNotifySignal()) connect(child, property.notifySignal(), this, note);
    }
    noteChild();
    child->show();
}

void VQPointAttributeEdit::noteChild() {
    if (d->m_text.changed(Text())) Q_EMIT TextChanged();
    if (d->m_selection.changed({SelStart(), SelLength(), SelText()})) Q_EMIT SelectionChanged();
}

// A child's event runs one step of the value flow and then raises the control's event; an error
// ends it quietly. While the control shows a value itself, the step may be skipped: the value
// shown came from the entry and must not be written back.
std::function<void()> VQPointAttributeEdit::relay(Step step, Event event, WhileUpdating whileUpdating) {
    return [this, step, event, whileUpdating] {
        const bool stepRuns = !d->m_updating || whileUpdating == WhileUpdating::Runs;
        quietly([&] {
            if (stepRuns) (this->*step)();
            if (event) Q_EMIT(this->*event)();
        });
    };
}

void VQPointAttributeEdit::attachEvents(ChildKind kind) {
    using Self = VQPointAttributeEdit;
    QWidget* child = d->m_child;
    switch (kind) {
        case ChildKind::TextBox:
            attachTextLikeEvents(static_cast<PlainTextBox*>(child), &Self::passPendingText,
                                 &Self::commitText);
            connect(static_cast<PlainTextBox*>(child), &PlainTextBox::TextLostFocus, this,
                    relay(&Self::commitText));
            break;
        case ChildKind::TxtButton:
            attachTextLikeEvents(static_cast<TxtButton*>(child), &Self::passPendingText, &Self::commitText);
            connect(static_cast<TxtButton*>(child), &TxtButton::OnButtonClick, this, &Self::SearchButton);
            break;
        case ChildKind::TxtCombo: {
            auto* box = static_cast<TxtComboControl*>(child);
            attachTextLikeEvents(box, &Self::TwinPending, &Self::CommitTwin);
            connect(box, &TxtComboControl::TextLostFocus, this, relay(&Self::CommitTwin));
            connect(box, &TxtComboControl::OnListIndexChange, this,
                    relay(&Self::CommitTwin, &Self::Click, WhileUpdating::OnlyRaises));
            break;
        }
        case ChildKind::DropDown:
            attachDropDownEvents(static_cast<DropDownList*>(child));
            break;
        case ChildKind::OnOff:
            connect(static_cast<OptOnOff*>(child), &OptOnOff::OnOptionClick, this,
                    relay(&Self::commitOnOff, &Self::Click));
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

void VQPointAttributeEdit::attachTextLikeEvents(TextBoxControl* box, Step pending, Step commitStep) {
    // Enter's press has just committed the text: its release hands nothing over, or the entry
    // would hold a pending value and the point would read as edited. It is still a key release.
    connect(box, &TextBoxControl::OnKeyUp, this, [this, box, pending] {
        quietly([&] {
            if (!isEnterKey(box->lastReleasedKey())) (this->*pending)();
            Q_EMIT Change();
        });
    });
    connect(box, &TextBoxControl::OnEnterKeyPress, this,
            relay(commitStep, &VQPointAttributeEdit::OnEnterKeyPress));
}

void VQPointAttributeEdit::attachDropDownEvents(DropDownList* list) {
    const auto enter = relay(&VQPointAttributeEdit::CommitDropDown, &VQPointAttributeEdit::OnEnterKeyPress);
    connect(list, &DropDownList::KeyPress, this, [enter](int16_t& keyAscii) {
        if (keyAscii != kEnterCharacter) return;
        keyAscii = 0;  // the list never sees the Enter character
        enter();
    });
    connect(list, &DropDownList::Click, this, &VQPointAttributeEdit::DropDownClick);
}

template <typename SecurityEditor>
void VQPointAttributeEdit::attachSecurityEvents(SecurityEditor* editor) {
    using Self = VQPointAttributeEdit;
    connect(editor, &SecurityEditor::OnEnterKeyPress, this,
            relay(&Self::commitSecurity, &Self::OnEnterKeyPress));
    connect(editor, &SecurityEditor::OnListIndexChange, this,
            relay(&Self::commitSecurity, &Self::Click, WhileUpdating::OnlyRaises));
}

void VQPointAttributeEdit::configureChild() {
    nameChild();
    switch (d->m_kind) {
        case ChildKind::TextBox:
        case ChildKind::TxtButton:
            setChildAlignment();
            break;
        case ChildKind::TxtCombo:
            setChildAlignment();
            childAs<TxtComboControl>().SetComboWidth(d->m_ComboWidth);
            break;
        case ChildKind::SecurityInd:
            childAs<SecurityControlInd>().SetSecurityScope(d->m_SecurityStyle);
            break;
        default:
            break;
    }
}

// A screen reader names the child's parts after the attribute, unless a part has a name of its own
// (the owner list of the security editor, the search button); a child kept for another attribute
// takes the new name.
void VQPointAttributeEdit::nameChild() {
    if (!d->m_child) return;
    const QString description = QStringLiteral("Value of the %1 attribute").arg(d->m_AttributeName);
    QList<QWidget*> parts = d->m_child->findChildren<QWidget*>();
    parts.prepend(d->m_child);
    for (QWidget* part : parts) {
        if (part->focusPolicy() == Qt::NoFocus) continue;
        // A button with a caption ("On", "Off") is named by it.
        auto* button = qobject_cast<QAbstractButton*>(part);
        const bool captioned = button && !button->text().isEmpty();
        if (!captioned && (d->m_named.contains(part) || part->accessibleName().isEmpty())) {
            part->setAccessibleName(d->m_AttributeName);
            if (!d->m_named.contains(part)) d->m_named.append(part);
        }
        if (d->m_described.contains(part) || part->accessibleDescription().isEmpty()) {
            part->setAccessibleDescription(description);
            if (!d->m_described.contains(part)) d->m_described.append(part);
        }
    }
}

// An alignment the text box refuses leaves it as it was.
void VQPointAttributeEdit::setChildAlignment() {
    quietly([&] { childAs<TextBoxControl>().SetAlignment(d->m_Alignment); });
}

// ---- layout ----

void VQPointAttributeEdit::applyLayout() {
    quietly([&] {
        const int border = d->m_BorderStyle == FixedBorder ? twipsToPixels(kBorderTwips) : 0;
        const Layout layout = layoutFor(pixelsToTwips(width()), d->m_BorderStyle);
        setFixedHeight(twipsToPixels(layout.controlHeight));
        d->m_client->setGeometry(rect().adjusted(border, border, -border, -border));
        if (!d->m_child) return;
        d->m_child->setVisible(true);
        // The on/off buttons have no border of their own to hide behind the edge.
        const bool bordered = d->m_kind != ChildKind::OnOff;
        d->m_child->setGeometry(
            twipsToPixels(bordered ? layout.child : QRect(QPoint(), layout.child.size())));
        d->m_child->setProperty("HelpContextID", d->m_HelpContextID);
    });
}

void VQPointAttributeEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void VQPointAttributeEdit::paintEvent(QPaintEvent*) {
    if (d->m_BorderStyle != FixedBorder) return;
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
}

// ---- the bound collection ----

void VQPointAttributeEdit::CommitEntries() {
    if (d->m_AttributeName.isEmpty() || !d->m_Entries) return;
    reraising(kCommitContext, [&] { UpdateEntries(d->m_AttributeName); });
}

void VQPointAttributeEdit::UpdateEntries(const QString& name) {
    reraising(kUpdateContext, [&] {
        PropSheetEntry& shown = *d->m_Entries->Item(Variant(name));
        if (d->m_AttributeName.trimmed().isEmpty()) return;
        if (d->m_AttributeName.compare(shown.PrimaryAttributeName(), Qt::CaseInsensitive) != 0 &&
            d->m_AttributeName.compare(shown.SecondaryAttributeName(), Qt::CaseInsensitive) != 0)
            return;
        {
            const QScopedValueRollback updating(d->m_updating, true);
            showValue(shown, shown.GetValueAs(QString()));
        }
        ApplyEnabled();
        ApplyValidityColour(shown);
    });
}

void VQPointAttributeEdit::showValue(PropSheetEntry& shown, const Variant& value) {
    switch (shown.DisplayStyle()) {
        case styletext:
            childAs<PlainTextBox>().SetText(value.toString());
            break;
        case styleonoffswitch:
            if (d->m_OnOffStyle == OnOffOptionButtons) {
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
            if (d->m_kind == ChildKind::Security)
                childAs<SecurityControl>().SetSecurity(value.toString());
            else
                childAs<SecurityControlInd>().SetSecurity(value.toString());
            break;
        default:
            break;
    }
}

void VQPointAttributeEdit::FillDropDown(PropSheetEntry& shown) {
    auto& list = childAs<DropDownList>();
    list.Clear();
    const ComboEntries& values = shown.ValueList();
    for (int i = 1; i <= values.Count(); ++i) list.AddItem(values.GetNameByIndex(i));
}

int16_t VQPointAttributeEdit::FillTwinList(PropSheetEntry& shown) {
    auto& box = childAs<TxtComboControl>();
    box.SetText(shown.GetValueAs(QString()).toString());
    const ComboEntries& twins = shown.ValueList();
    const int current = twins.GetIndexByValue(Variant(shown.CurrentAttributeName()));
    QStringList names;
    int16_t widest = 0;
    for (int i = 1; i <= twins.Count(); ++i) {
        names << twins.GetNameByIndex(i);
        widest = std::max(widest, int16_t(textWidthTwips(names.last(), font())));
    }
    // Nearly every event leaves the twins as they were; refilling the list would only redraw it.
    if (box.items() != names) {
        box.ComboClear();
        for (const QString& name : names) box.AddItem(name);
    }
    box.SetListIndex(int16_t(current));
    return widest;
}

void VQPointAttributeEdit::ApplyEnabled() {
    quietly([&] {
        bool enabled = d->m_Enabled;
        if (enabled && d->m_Entries && !d->m_AttributeName.isEmpty()) enabled = !entry().GetReadOnly();
        if (d->m_child) child().SetEnabled(enabled);
        QWidget::setEnabled(enabled);
        if (d->m_kind != ChildKind::TextBox) return;
        auto& box = childAs<PlainTextBox>();
        box.SetBackColor(!enabled && box.Text().trimmed().isEmpty() ? kButtonFace : kWhite);
    });
}

void VQPointAttributeEdit::ApplyValidityColour(PropSheetEntry& shown) {
    quietly([&] { child().SetForeColor(shown.IsValid() ? kBlack : kRed); });
}

// ---- value flow from the child ----

PropSheetEntry& VQPointAttributeEdit::entry() const {
    return *d->m_Entries->Item(Variant(d->m_AttributeName));
}

void VQPointAttributeEdit::commit(const Variant& value) {
    if (d->m_Entries) entry().SetValue(value, QString());
}

void VQPointAttributeEdit::passPendingText() {
    if (d->m_Entries) entry().SetPendingValue(Variant(Text()), QString());
}

void VQPointAttributeEdit::commitText() {
    commit(Variant(Text()));
}

void VQPointAttributeEdit::commitOnOff() {
    commit(Variant(childAs<OptOnOff>().Value()));
}

void VQPointAttributeEdit::commitSecurity() {
    commit(Variant(d->m_kind == ChildKind::Security ? childAs<SecurityControl>().Security()
                                                    : childAs<SecurityControlInd>().Security()));
}

void VQPointAttributeEdit::CommitDropDown() {
    if (!d->m_Entries) return;
    PropSheetEntry& edited = entry();
    edited.SetValue(edited.ValueList().GetValueByName(childAs<DropDownList>().Text()), QString());
}

// The first selection seen is only remembered; so are the ones the control makes itself, which
// are still reported.
void VQPointAttributeEdit::DropDownClick() {
    if (!d->m_Entries) return;
    const int16_t index = childAs<DropDownList>().ListIndex();
    const bool commits = d->m_LastIndex != -1 && d->m_LastIndex != index && !d->m_updating;
    d->m_LastIndex = index;
    if (commits) quietly([&] { CommitDropDown(); });
    Q_EMIT Click();
}

void VQPointAttributeEdit::TwinPending() {
    handTwin(false);
}

void VQPointAttributeEdit::CommitTwin() {
    handTwin(true);
}

// The text goes in under whichever twin the list shows.
void VQPointAttributeEdit::handTwin(bool commitIt) {
    if (!d->m_Entries) return;
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
void VQPointAttributeEdit::SearchButton() {
    if (!d->m_Entries) return;
    quietly([&] {
        const QString found = searchedName(entry().DisplayStyle());
        if (!found.isEmpty()) {
            childAs<TxtButton>().SetText(found);
            commit(Variant(found));
        }
        Q_EMIT OnSearchResults();
    });
}

// The first point or set the user chose; empty when the dialog was cancelled.
QString VQPointAttributeEdit::searchedName(int32_t displayStyle) const {
    // A copy: the dialog may run long enough for a host to change the context meanwhile.
    const std::shared_ptr<AttributeSearchDialogs> dialogs = services().searchDialogs;
    if (!dialogs) return {};
    if (displayStyle == styletagsearch) {
        const SdkPointListPtr points =
            dialogs->ShowTagSearchDialog(d->m_Entries->Server(), kTagSearchOptions);
        return points && points->Count() > 0 ? points->Item(1)->Name() : QString();
    }
    if (displayStyle == styledigsetsearch) {
        const SdkNamedValuesPtr sets = dialogs->ShowDigsetSearchDialog(d->m_Entries->Server(), true, true);
        return sets && sets->Count() > 0 ? sets->Item(1).Name() : QString();
    }
    return {};
}

// ---- focus ----

// Focus in a popup of the child's own list stays inside; a switch to another window is not
// leaving either.
void VQPointAttributeEdit::focusMoved(QWidget* from, QWidget* to) {
    if (holds(from) && to && !holds(to) && to->window() == window()) Q_EMIT focusLeft();
}

bool VQPointAttributeEdit::holds(const QWidget* widget) const {
    for (; widget; widget = widget->parentWidget())
        if (widget == this) return true;
    return false;
}

// ---- the child ----

AttributeChild& VQPointAttributeEdit::child() const {
    if (!d->m_child || !d->m_childParts)
        throw Error(kObjectNotSet, QStringLiteral("VQPointAttributeEdit"),
                    QStringLiteral("Object variable or With block variable not set"));
    return *d->m_childParts;
}

template <typename T>
T& VQPointAttributeEdit::childAs() const {
    auto* child = qobject_cast<T*>(d->m_child.data());
    if (!child)
        throw Error(kObjectNotSet, QStringLiteral("VQPointAttributeEdit"),
                    QStringLiteral("Object variable or With block variable not set"));
    return *child;
}

}  // namespace vq

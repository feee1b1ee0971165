#include "editors/VQCompressionSpecs.h"

#include "core/Error.h"
#include "editors/DeviationFormat.h"
#include "editors/PropertyErrors.h"
#include "editors/TextBoxControl.h"
#include "editors/TimeDivisionControl.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "platform/ChangeNotice.h"
#include "platform/PersistedProperty.h"
#include "platform/PropertyBag.h"
#include "platform/SystemColors.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMetaObject>

namespace vq {

namespace {

const QString kEnabled = QStringLiteral("Enabled");
const QString kDisplayStyle = QStringLiteral("DisplayStyle");
const QString kPercentOfSpan = QStringLiteral("% of Span");
const QString kEngineeringUnits = QStringLiteral("Eng. Units");
constexpr uint32_t kInvalidForeColor = 0x0000FF;  // red
constexpr int32_t kRightAligned = 1;
constexpr qreal kSmallestCaptionFont = 0.75;  // of the panel's font
constexpr char kDigitalPointType[] = "101";

const QRect kFrame1(0, 0, 2655, 1695);
const QRect kAttributeEdit(240, 250, 2295, 315);
const QRect kTimesFrame(0, 720, 2600, 855);
const std::array<QRect, 2> kTimeControls{QRect(800, 220, 1740, 315), QRect(800, 530, 1740, 315)};
// Both time captions end where "Min. Time:" does, just left of the time editors.
constexpr int kCaptionEnd = 765;

enum class Container { Frame1, Times };

struct LabelDesign {
    const char* name;
    Container container;
    QRect rect;
    const char* text;
    Qt::Alignment alignment;
    int textRight = 0;  // where right-aligned text ends, when not at the label's edge
};

const std::array<LabelDesign, 8> kLabels{{
    {"lblDeviationValue", Container::Frame1, {370, 0, 975, 255}, "", Qt::AlignRight},
    {"lblDeviationUnits", Container::Frame1, {1440, 0, 1095, 255}, "% of Span", Qt::AlignLeft},
    {"lblCmpDay", Container::Times, {915, 0, 375, 255}, "Day", Qt::AlignHCenter},
    {"lblCmpHour", Container::Times, {1470, 0, 255, 255}, "Hr", Qt::AlignHCenter},
    {"lblCmpMinute", Container::Times, {1830, 0, 375, 255}, "Min", Qt::AlignHCenter},
    {"lblCmpSecond", Container::Times, {2205, 0, 375, 255}, "Sec", Qt::AlignHCenter},
    {"lblCmpMinTime", Container::Times, {30, 240, 735, 255}, "Min. Time:", Qt::AlignRight, kCaptionEnd},
    {"lblCmpMaxTime", Container::Times, {-15, 555, 855, 255}, "Max. Time:", Qt::AlignRight, kCaptionEnd},
}};

QFrame* makeGroup(QWidget* parent, const QString& name, const QRect& twips) {
    auto* group = new QFrame(parent);
    group->setObjectName(name);
    group->setFrameShape(QFrame::NoFrame);
    group->setGeometry(twipsToPixels(twips));
    return group;
}

QLabel* makeLabel(QWidget* parent, const LabelDesign& design) {
    auto* label = new QLabel(QString::fromLatin1(design.text), parent);
    label->setObjectName(QString::fromLatin1(design.name));
    label->setAlignment(design.alignment | Qt::AlignVCenter);
    // A caption drawn from just left of its group keeps its text where it was, inside the group.
    label->setGeometry(twipsToPixels(design.rect).intersected(parent->rect()));
    if (design.textRight > 0)
        label->setContentsMargins(0, 0,
                                  twipsToPixels(design.rect.x() + design.rect.width() - design.textRight), 0);
    return label;
}

bool sameName(const QString& a, const QString& b) {
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

// VQCompressionSpecs's state, kept out of its header so that hosts need not rebuild when it changes.
class VQCompressionSpecsPrivate {
public:
    bool m_Enabled = true;
    int32_t m_DisplayStyle = 0;  // no style until the properties are initialised
    std::shared_ptr<vq::PropSheetEntries> m_Entries;
    std::array<QMetaObject::Connection, 2> m_entryConnections;
    QMetaObject::Connection m_focusConnection;
    QFrame* m_Frame1 = nullptr;
    QLabel* m_lblDeviationValue = nullptr;
    QLabel* m_lblDeviationUnits = nullptr;
    VQPointAttributeEdit* m_VQPointAttributeEdit1 = nullptr;
    std::array<TimeDivisionControl*, 2> m_timeControls{};
};

VQCompressionSpecs::Layout VQCompressionSpecs::layoutFor(bool bound, const Variant& pointType) {
    if (bound && pointType.toString() == QLatin1String(kDigitalPointType))
        return {QSize(kWidth, kDigitalHeight), kDigitalFrameTop};
    return {QSize(kWidth, kHeight), 0};
}

VQCompressionSpecs::AttributeNames VQCompressionSpecs::attributeNamesFor(int32_t style) {
    switch (style) {
        case styleCompressionDeviation:
            return {QStringLiteral("CompDev"), QStringLiteral("CompDevPercent"), QStringLiteral("CompMin"),
                    QStringLiteral("CompMax")};
        case styleExceptionDeviation:
            return {QStringLiteral("ExcDev"), QStringLiteral("ExcDevPercent"), QStringLiteral("ExcMin"),
                    QStringLiteral("ExcMax")};
        default:
            return {};
    }
}

VQCompressionSpecs::VQCompressionSpecs(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQCompressionSpecsPrivate>()) {
    buildChildren();
    connectTimeControl(MinimumTime);
    connectTimeControl(MaximumTime);
    d->m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                   [this](QWidget* old, QWidget* now) { timeFocusChanged(old, now); });
    InitProperties();
    fitCaptionFont();
    applyLayout();
}

VQCompressionSpecs::~VQCompressionSpecs() {
    // The children go after this object's members; a focused child going must reach no handler.
    disconnect(d->m_focusConnection);
    for (TimeDivisionControl* control : d->m_timeControls) control->disconnect(this);
    disconnectEntries();
}

void VQCompressionSpecs::buildChildren() {
    d->m_Frame1 = makeGroup(this, QStringLiteral("Frame1"), kFrame1);
    QFrame* times = makeGroup(d->m_Frame1, QStringLiteral("frameCmpDayHrMinSec"), kTimesFrame);
    for (const LabelDesign& design : kLabels)
        makeLabel(design.container == Container::Frame1 ? d->m_Frame1 : times, design);
    d->m_lblDeviationValue = d->m_Frame1->findChild<QLabel*>(QStringLiteral("lblDeviationValue"));
    d->m_lblDeviationUnits = d->m_Frame1->findChild<QLabel*>(QStringLiteral("lblDeviationUnits"));

    d->m_VQPointAttributeEdit1 = new VQPointAttributeEdit(d->m_Frame1);
    d->m_VQPointAttributeEdit1->setObjectName(QStringLiteral("VQPointAttributeEdit1"));
    d->m_VQPointAttributeEdit1->setGeometry(twipsToPixels(kAttributeEdit));
    d->m_VQPointAttributeEdit1->SetAlignment(kRightAligned);
    for (TimeRow row : {MinimumTime, MaximumTime}) {
        auto* control = new TimeDivisionControl(times);
        control->setObjectName(QStringLiteral("TimeDivisionControl%1").arg(row + 1));
        control->move(twipsToPixels(kTimeControls[row].topLeft()));
        control->setAccessibleCaption(row == MinimumTime ? QStringLiteral("Min. Time")
                                                         : QStringLiteral("Max. Time"));
        d->m_timeControls[row] = control;
    }
}

void VQCompressionSpecs::connectTimeControl(TimeRow row) {
    TimeDivisionControl* control = d->m_timeControls[row];
    connect(control, &TimeDivisionControl::OnEnterKeyPress, this, [this, row] {
        handleTimeEvent(row, QStringLiteral("OnEnterKeyPress"), &VQCompressionSpecs::CommitTime);
    });
    connect(control, &TimeDivisionControl::OnPendingChange, this, [this, row] {
        handleTimeEvent(row, QStringLiteral("OnPendingChange"), &VQCompressionSpecs::PassPendingTime);
    });
}

bool VQCompressionSpecs::Enabled() const {
    return d->m_Enabled;
}

int32_t VQCompressionSpecs::DisplayStyle() const {
    return d->m_DisplayStyle;
}

const std::shared_ptr<PropSheetEntries>& VQCompressionSpecs::PropSheetEntries() const {
    return d->m_Entries;
}

void VQCompressionSpecs::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &VQCompressionSpecs::Enabled, &VQCompressionSpecs::EnabledChanged);
    d->m_Enabled = enabled;
    Q_EMIT PropertyChanged(kEnabled);
    setEnabled(enabled);
    d->m_VQPointAttributeEdit1->SetEnabled(enabled);
    for (TimeDivisionControl* control : d->m_timeControls) control->SetEnabled(enabled);
}

void VQCompressionSpecs::SetDisplayStyle(int32_t style) {
    const ChangeNotice notice(this, &VQCompressionSpecs::DisplayStyle,
                              &VQCompressionSpecs::DisplayStyleChanged);
    const AttributeNames names = attributeNamesFor(style);
    if (names.deviation.isEmpty()) raiseInvalidPropertyValue(QStringLiteral("VQCompressionSpecs"));
    if (style == d->m_DisplayStyle) return;
    d->m_DisplayStyle = style;
    Q_EMIT PropertyChanged(kDisplayStyle);
    d->m_VQPointAttributeEdit1->SetAttributeName(names.deviation);
    if (d->m_Entries) RefreshDisplay();
}

void VQCompressionSpecs::SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries) {
    disconnectEntries();
    d->m_Entries = std::move(entries);
    connectEntries();
    if (d->m_Entries)
        RefreshDisplay();
    else
        ClearDisplay();
}

void VQCompressionSpecs::SetHelpContextID(int32_t helpContextID) {
    silently(false, [&] {
        setProperty("HelpContextID", helpContextID);
        d->m_VQPointAttributeEdit1->SetHelpContextID(helpContextID);
        for (TimeDivisionControl* control : d->m_timeControls) control->SetHelpContextID(helpContextID);
        return true;
    });
}

std::span<const PersistedProperty<VQCompressionSpecs>> VQCompressionSpecs::persistedProperties() {
    using Self = VQCompressionSpecs;
    static const PersistedProperty<Self> table[] = {
        {kEnabled, true, [](const Self& c) { return Variant(c.d->m_Enabled); },
         [](Self& c, const Variant& v) { c.SetEnabled(v.toBool()); }},
        {kDisplayStyle, int32_t(styleCompressionDeviation),
         [](const Self& c) { return Variant(c.d->m_DisplayStyle); },
         [](Self& c, const Variant& v) { c.SetDisplayStyle(v.toInt32()); }},
    };
    return table;
}

void VQCompressionSpecs::InitProperties() {
    initPersisted(*this, persistedProperties());
}

void VQCompressionSpecs::ReadProperties(const PropertyBag& bag) {
    readPersisted(*this, persistedProperties(), bag);
}

void VQCompressionSpecs::WriteProperties(PropertyBag& bag) const {
    writePersisted(*this, persistedProperties(), bag);
}

// The captions' room is fixed by the layout; in a wide font they share a smaller one, down to three
// quarters of the panel's, rather than be cut.
void VQCompressionSpecs::fitCaptionFont() {
    QFont font = this->font();
    const qreal smallest = font.pointSizeF() * kSmallestCaptionFont;
    while (!captionsFit(font) && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    for (QLabel* label : d->m_Frame1->findChildren<QLabel*>()) label->setFont(font);
}

bool VQCompressionSpecs::captionsFit(const QFont& font) const {
    const QFontMetrics metrics(font);
    const auto fits = [&](const QLabel* label, const QString& text) {
        return metrics.horizontalAdvance(text) <= label->contentsRect().width();
    };
    for (const QLabel* label : d->m_Frame1->findChildren<QLabel*>())
        if (label != d->m_lblDeviationValue && !fits(label, label->text())) return false;
    return fits(d->m_lblDeviationUnits, kPercentOfSpan) && fits(d->m_lblDeviationUnits, kEngineeringUnits);
}

void VQCompressionSpecs::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitCaptionFont();
}

QSize VQCompressionSpecs::sizeHint() const {
    return twipsToPixels(layoutFor(false, Variant()).control);
}

void VQCompressionSpecs::connectEntries() {
    if (!d->m_Entries) return;
    const auto changed = [this](PropSheetEntry* entry) {
        d->m_Entries->receive([&] { OnEntryChanged(entry); });
    };
    d->m_entryConnections = {connect(d->m_Entries.get(), &PropSheetEntries::OnValueEdit, this, changed),
                             connect(d->m_Entries.get(), &PropSheetEntries::OnDisplayEdit, this, changed)};
}

void VQCompressionSpecs::disconnectEntries() {
    for (QMetaObject::Connection& connection : d->m_entryConnections) disconnect(connection);
}

void VQCompressionSpecs::RefreshDisplay() {
    d->m_VQPointAttributeEdit1->SetPropSheetEntries(d->m_Entries);
    ShowTimes();
    ShowDeviationLabels();
    applyLayout();
}

// Unbound, the panel shows what it shows at design time.
void VQCompressionSpecs::ClearDisplay() {
    d->m_VQPointAttributeEdit1->SetPropSheetEntries(nullptr);
    if (auto* text = qobject_cast<TextBoxControl*>(d->m_VQPointAttributeEdit1->currentChild()))
        text->SetText(QString());
    d->m_lblDeviationValue->clear();
    d->m_lblDeviationUnits->setText(kPercentOfSpan);
    for (TimeDivisionControl* control : d->m_timeControls) {
        control->SetTime(int32_t(0));
        control->SetForeColor(kBlack);
    }
    applyLayout();
}

void VQCompressionSpecs::ShowTimes() {
    if (attributeNamesFor(d->m_DisplayStyle).minimum.isEmpty()) return;
    for (TimeRow row : {MinimumTime, MaximumTime}) {
        const PropSheetEntry* entry = timeEntry(row);
        d->m_timeControls[row]->SetTime(entry->GetValueAs(QString()));
        d->m_timeControls[row]->SetForeColor(entry->IsValid() ? kBlack : kInvalidForeColor);
    }
}

void VQCompressionSpecs::ShowDeviationLabels() {
    const AttributeNames names = attributeNamesFor(d->m_DisplayStyle);
    if (names.deviation.isEmpty()) return;
    const PropSheetEntry* deviation = d->m_Entries->Item(Variant(names.deviation)).get();
    const QString& current = deviation->CurrentAttributeName();
    if (sameName(current, names.deviation))
        d->m_lblDeviationUnits->setText(kPercentOfSpan);
    else if (sameName(current, names.percent))
        d->m_lblDeviationUnits->setText(kEngineeringUnits);
    else
        return;
    const Variant span = d->m_Entries->Item(Variant(QStringLiteral("Span")))->GetValueAs(QString());
    d->m_lblDeviationValue->setText(ConvertedDeviationText(span, deviation->GetValueAs(QString()), current));
}

void VQCompressionSpecs::OnEntryChanged(PropSheetEntry* entry) {
    const AttributeNames names = attributeNamesFor(d->m_DisplayStyle);
    const QString& name = entry->CurrentAttributeName();
    if (sameName(name, names.minimum) || sameName(name, names.maximum))
        ShowTimes();
    else if (sameName(name, names.deviation) || sameName(name, names.percent))
        ShowDeviationLabels();
    applyLayout();
}

void VQCompressionSpecs::applyLayout() {
    const Variant pointType = d->m_Entries ? d->m_Entries->GetValue(QStringLiteral("PointType")) : Variant();
    const Layout layout = layoutFor(d->m_Entries != nullptr, pointType);
    setFixedSize(twipsToPixels(layout.control));
    // Frame1 is drawn without a border, so it ends at the panel's edges rather than past them; a
    // frame wider than its panel would lay the time rows out beyond what the panel shows.
    const int frameTop = twipsToPixels(layout.frameTop);
    d->m_Frame1->setGeometry(0, frameTop, width(), height() - frameTop);
}

// The focus left a time editor for another control: commit it, as Enter would. Switching windows
// moves no focus between controls.
void VQCompressionSpecs::timeFocusChanged(QWidget* old, QWidget* now) {
    if (!old || !now) return;
    for (TimeRow row : {MinimumTime, MaximumTime}) {
        TimeDivisionControl* control = d->m_timeControls[row];
        if (control->isAncestorOf(old) && !control->isAncestorOf(now))
            handleTimeEvent(row, QStringLiteral("LostFocus"), &VQCompressionSpecs::CommitTime);
    }
}

// The time editors' events come from the event loop, which must not see an error: it is reported.
void VQCompressionSpecs::handleTimeEvent(TimeRow row, const QString& event, TimeAction action) {
    if (!d->m_Entries || attributeNamesFor(d->m_DisplayStyle).minimum.isEmpty()) return;
    const QString context =
        QStringLiteral("VQCompressionSpecs:%1_%2").arg(d->m_timeControls[row]->objectName(), event);
    reporting(context, ReportLayout::Long, [&] { (this->*action)(row); });
}

PropSheetEntry* VQCompressionSpecs::timeEntry(TimeRow row) const {
    const AttributeNames names = attributeNamesFor(d->m_DisplayStyle);
    return d->m_Entries->Item(Variant(row == MinimumTime ? names.minimum : names.maximum)).get();
}

void VQCompressionSpecs::CommitTime(TimeRow row) {
    timeEntry(row)->SetValue(d->m_timeControls[row]->Time(), QString());
}

void VQCompressionSpecs::PassPendingTime(TimeRow row) {
    timeEntry(row)->SetPendingValue(d->m_timeControls[row]->Time(), QString());
}

}  // namespace vq

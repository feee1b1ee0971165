#include "editors/VQCompressionSpecs.h"

#include "core/Error.h"
#include "editors/DeviationFormat.h"
#include "editors/PropertyErrors.h"
#include "editors/TextBoxControl.h"
#include "editors/TimeDivisionControl.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
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

// Both are applied through their setters.
const PersistedNote<VQCompressionSpecs> kPersistedNotes[] = {
    {"Enabled", true},
    {"DisplayStyle", int32_t(styleCompressionDeviation)},
};

// VQCompressionSpecs's state, kept out of its header so that hosts need not rebuild when it changes.
class VQCompressionSpecsPrivate {
public:
    explicit VQCompressionSpecsPrivate(VQCompressionSpecs* control) : q(control) {}

    enum TimeRow { MinimumTime = 0, MaximumTime = 1 };
    using TimeAction = void (VQCompressionSpecsPrivate::*)(TimeRow);

    // Building
    void buildChildren();
    void connectTimeControl(TimeRow row);
    void fitCaptionFont();
    bool captionsFit(const QFont& font) const;
    void applyLayout();
    // Showing the bound entries
    void connectEntries();
    void disconnectEntries();
    void RefreshDisplay();
    void clearDisplay();
    void ShowTimes();
    void ShowDeviationLabels();
    void OnEntryChanged(PropSheetEntry* entry);
    // Editing the times
    void timeFocusChanged(QWidget* old, QWidget* now);
    void handleTimeEvent(TimeRow row, const QString& event, TimeAction action);
    PropSheetEntry* timeEntry(TimeRow row) const;
    void commitTime(TimeRow row);
    void passPendingTime(TimeRow row);

    VQCompressionSpecs* const q;
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
    : QWidget(parent), d(std::make_unique<VQCompressionSpecsPrivate>(this)) {
    d->buildChildren();
    d->connectTimeControl(VQCompressionSpecsPrivate::MinimumTime);
    d->connectTimeControl(VQCompressionSpecsPrivate::MaximumTime);
    d->m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                   [this](QWidget* old, QWidget* now) { d->timeFocusChanged(old, now); });
    InitProperties();
    d->fitCaptionFont();
    d->applyLayout();
}

VQCompressionSpecs::~VQCompressionSpecs() {
    // The children go after this object's members; a focused child going must reach no handler.
    disconnect(d->m_focusConnection);
    for (TimeDivisionControl* control : d->m_timeControls) control->disconnect(this);
    d->disconnectEntries();
}

void VQCompressionSpecsPrivate::buildChildren() {
    m_Frame1 = makeGroup(q, QStringLiteral("Frame1"), kFrame1);
    QFrame* times = makeGroup(m_Frame1, QStringLiteral("frameCmpDayHrMinSec"), kTimesFrame);
    for (const LabelDesign& design : kLabels)
        makeLabel(design.container == Container::Frame1 ? m_Frame1 : times, design);
    m_lblDeviationValue = m_Frame1->findChild<QLabel*>(QStringLiteral("lblDeviationValue"));
    m_lblDeviationUnits = m_Frame1->findChild<QLabel*>(QStringLiteral("lblDeviationUnits"));

    m_VQPointAttributeEdit1 = new VQPointAttributeEdit(m_Frame1);
    m_VQPointAttributeEdit1->setObjectName(QStringLiteral("VQPointAttributeEdit1"));
    m_VQPointAttributeEdit1->setGeometry(twipsToPixels(kAttributeEdit));
    m_VQPointAttributeEdit1->SetAlignment(kRightAligned);
    for (TimeRow row : {MinimumTime, MaximumTime}) {
        auto* control = new TimeDivisionControl(times);
        control->setObjectName(QStringLiteral("TimeDivisionControl%1").arg(row + 1));
        control->move(twipsToPixels(kTimeControls[row].topLeft()));
        control->setAccessibleCaption(row == MinimumTime ? QStringLiteral("Min. Time")
                                                         : QStringLiteral("Max. Time"));
        m_timeControls[row] = control;
    }
}

void VQCompressionSpecsPrivate::connectTimeControl(TimeRow row) {
    TimeDivisionControl* control = m_timeControls[row];
    QObject::connect(control, &TimeDivisionControl::OnEnterKeyPress, q, [this, row] {
        handleTimeEvent(row, QStringLiteral("OnEnterKeyPress"), &VQCompressionSpecsPrivate::commitTime);
    });
    QObject::connect(control, &TimeDivisionControl::OnPendingChange, q, [this, row] {
        handleTimeEvent(row, QStringLiteral("OnPendingChange"), &VQCompressionSpecsPrivate::passPendingTime);
    });
}

bool VQCompressionSpecs::Enabled() const {
    return ownEnabled(*this);
}

int32_t VQCompressionSpecs::DisplayStyle() const {
    return d->m_DisplayStyle;
}

const std::shared_ptr<PropSheetEntries>& VQCompressionSpecs::PropSheetEntries() const {
    return d->m_Entries;
}

void VQCompressionSpecs::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &VQCompressionSpecs::Enabled, &VQCompressionSpecs::EnabledChanged);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
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
    Q_EMIT PropertyChanged(QStringLiteral("DisplayStyle"));
    d->m_VQPointAttributeEdit1->SetAttributeName(names.deviation);
    if (d->m_Entries) d->RefreshDisplay();
}

void VQCompressionSpecs::SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries) {
    d->disconnectEntries();
    d->m_Entries = std::move(entries);
    d->connectEntries();
    if (d->m_Entries)
        d->RefreshDisplay();
    else
        d->clearDisplay();
}

void VQCompressionSpecs::SetHelpContextID(int32_t helpContextID) {
    silently(false, [&] {
        setProperty("HelpContextID", helpContextID);
        d->m_VQPointAttributeEdit1->SetHelpContextID(helpContextID);
        for (TimeDivisionControl* control : d->m_timeControls) control->SetHelpContextID(helpContextID);
        return true;
    });
}

void VQCompressionSpecs::InitProperties() {
    initStoredProperties(*this, kPersistedNotes);
}

void VQCompressionSpecs::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, kPersistedNotes);
}

void VQCompressionSpecs::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, kPersistedNotes);
}

// The captions' room is fixed by the layout; in a wide font they share a smaller one, down to three
// quarters of the panel's, rather than be cut.
void VQCompressionSpecsPrivate::fitCaptionFont() {
    QFont font = q->font();
    const qreal smallest = font.pointSizeF() * kSmallestCaptionFont;
    while (!captionsFit(font) && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    for (QLabel* label : m_Frame1->findChildren<QLabel*>()) label->setFont(font);
}

bool VQCompressionSpecsPrivate::captionsFit(const QFont& font) const {
    const QFontMetrics metrics(font);
    const auto fits = [&](const QLabel* label, const QString& text) {
        return metrics.horizontalAdvance(text) <= label->contentsRect().width();
    };
    for (const QLabel* label : m_Frame1->findChildren<QLabel*>())
        if (label != m_lblDeviationValue && !fits(label, label->text())) return false;
    return fits(m_lblDeviationUnits, kPercentOfSpan) && fits(m_lblDeviationUnits, kEngineeringUnits);
}

void VQCompressionSpecs::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) d->fitCaptionFont();
}

QSize VQCompressionSpecs::sizeHint() const {
    return twipsToPixels(layoutFor(false, Variant()).control);
}

void VQCompressionSpecsPrivate::connectEntries() {
    if (!m_Entries) return;
    const auto changed = [this](PropSheetEntry* entry) {
        m_Entries->receive([&] { OnEntryChanged(entry); });
    };
    m_entryConnections = {QObject::connect(m_Entries.get(), &PropSheetEntries::OnValueEdit, q, changed),
                          QObject::connect(m_Entries.get(), &PropSheetEntries::OnDisplayEdit, q, changed)};
}

void VQCompressionSpecsPrivate::disconnectEntries() {
    for (QMetaObject::Connection& connection : m_entryConnections) QObject::disconnect(connection);
}

void VQCompressionSpecsPrivate::RefreshDisplay() {
    m_VQPointAttributeEdit1->SetPropSheetEntries(m_Entries);
    ShowTimes();
    ShowDeviationLabels();
    applyLayout();
}

// Unbound, the panel shows what it shows at design time.
void VQCompressionSpecsPrivate::clearDisplay() {
    m_VQPointAttributeEdit1->SetPropSheetEntries(nullptr);
    if (auto* text = qobject_cast<TextBoxControl*>(m_VQPointAttributeEdit1->currentChild()))
        text->SetText(QString());
    m_lblDeviationValue->clear();
    m_lblDeviationUnits->setText(kPercentOfSpan);
    for (TimeDivisionControl* control : m_timeControls) {
        control->SetTime(int32_t(0));
        control->SetForeColor(kBlack);
    }
    applyLayout();
}

void VQCompressionSpecsPrivate::ShowTimes() {
    if (VQCompressionSpecs::attributeNamesFor(m_DisplayStyle).minimum.isEmpty()) return;
    for (TimeRow row : {MinimumTime, MaximumTime}) {
        const PropSheetEntry* entry = timeEntry(row);
        m_timeControls[row]->SetTime(entry->GetValueAs(QString()));
        m_timeControls[row]->SetForeColor(entry->IsValid() ? kBlack : kInvalidForeColor);
    }
}

void VQCompressionSpecsPrivate::ShowDeviationLabels() {
    const VQCompressionSpecs::AttributeNames names = VQCompressionSpecs::attributeNamesFor(m_DisplayStyle);
    if (names.deviation.isEmpty()) return;
    const PropSheetEntry* deviation = m_Entries->Item(Variant(names.deviation)).get();
    const QString& current = deviation->CurrentAttributeName();
    if (sameName(current, names.deviation))
        m_lblDeviationUnits->setText(kPercentOfSpan);
    else if (sameName(current, names.percent))
        m_lblDeviationUnits->setText(kEngineeringUnits);
    else
        return;
    const Variant span = m_Entries->Item(Variant(QStringLiteral("Span")))->GetValueAs(QString());
    m_lblDeviationValue->setText(ConvertedDeviationText(span, deviation->GetValueAs(QString()), current));
}

void VQCompressionSpecsPrivate::OnEntryChanged(PropSheetEntry* entry) {
    const VQCompressionSpecs::AttributeNames names = VQCompressionSpecs::attributeNamesFor(m_DisplayStyle);
    const QString& name = entry->CurrentAttributeName();
    if (sameName(name, names.minimum) || sameName(name, names.maximum))
        ShowTimes();
    else if (sameName(name, names.deviation) || sameName(name, names.percent))
        ShowDeviationLabels();
    applyLayout();
}

void VQCompressionSpecsPrivate::applyLayout() {
    const Variant pointType = m_Entries ? m_Entries->GetValue(QStringLiteral("PointType")) : Variant();
    const VQCompressionSpecs::Layout layout = VQCompressionSpecs::layoutFor(m_Entries != nullptr, pointType);
    q->setFixedSize(twipsToPixels(layout.control));
    // Frame1 is drawn without a border, so it ends at the panel's edges rather than past them; a
    // frame wider than its panel would lay the time rows out beyond what the panel shows.
    const int frameTop = twipsToPixels(layout.frameTop);
    m_Frame1->setGeometry(0, frameTop, q->width(), q->height() - frameTop);
}

// The focus left a time editor for another control: commit it, as Enter would. Switching windows
// moves no focus between controls.
void VQCompressionSpecsPrivate::timeFocusChanged(QWidget* old, QWidget* now) {
    if (!old || !now) return;
    for (TimeRow row : {MinimumTime, MaximumTime}) {
        TimeDivisionControl* control = m_timeControls[row];
        if (control->isAncestorOf(old) && !control->isAncestorOf(now))
            handleTimeEvent(row, QStringLiteral("LostFocus"), &VQCompressionSpecsPrivate::commitTime);
    }
}

// The time editors' events come from the event loop, which must not see an error: it is reported.
void VQCompressionSpecsPrivate::handleTimeEvent(TimeRow row, const QString& event, TimeAction action) {
    if (!m_Entries || VQCompressionSpecs::attributeNamesFor(m_DisplayStyle).minimum.isEmpty()) return;
    const QString context =
        QStringLiteral("VQCompressionSpecs:%1_%2").arg(m_timeControls[row]->objectName(), event);
    reporting(context, ReportLayout::Long, [&] { (this->*action)(row); });
}

PropSheetEntry* VQCompressionSpecsPrivate::timeEntry(TimeRow row) const {
    const VQCompressionSpecs::AttributeNames names = VQCompressionSpecs::attributeNamesFor(m_DisplayStyle);
    return m_Entries->Item(Variant(row == MinimumTime ? names.minimum : names.maximum)).get();
}

void VQCompressionSpecsPrivate::commitTime(TimeRow row) {
    timeEntry(row)->SetValue(m_timeControls[row]->Time(), QString());
}

void VQCompressionSpecsPrivate::passPendingTime(TimeRow row) {
    timeEntry(row)->SetPendingValue(m_timeControls[row]->Time(), QString());
}

}  // namespace vq

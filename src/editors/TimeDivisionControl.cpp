#include "editors/TimeDivisionControl.h"

#include "editors/KeyCodes.h"
#include "editors/WidgetColors.h"
#include "platform/ChangeNotice.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/StoredProperties.h"
#include "platform/SystemColors.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace vq {

namespace {

constexpr std::array<double, TimeDivisionControl::kUnitCount> kUnitSeconds{1, 60, 3600, 86400};
constexpr int kFieldHeight = 285;
constexpr int kLineEditTextMargin = 2;  // QLineEdit's fixed inner margin on each side

const QString kUnknown = QStringLiteral("?");

// The fields are narrow: a longer number (a fraction of a second, a large day count) is shown in a
// smaller font rather than cut, down to three quarters of the control's font; the tool tip holds
// the whole text when even that is too wide.
void fitFontToText(QLineEdit& field) {
    const QFont base = field.parentWidget()->font();
    const int frame = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &field);
    const int room = field.width() - 2 * frame - 2 * kLineEditTextMargin - 1;
    QFont font = base;
    const qreal smallest = base.pointSizeF() * 0.75;
    while (QFontMetrics(font).horizontalAdvance(field.text()) > room && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    field.setFont(font);
    field.setToolTip(QFontMetrics(font).horizontalAdvance(field.text()) > room ? field.text() : QString());
}

// Fifteen significant digits; never "-0".
QString plainNumber(double value) {
    return QString::number(value == 0 ? 0.0 : value, 'g', 15);
}

// The seconds left after taking out days, hours and minutes, rounded to the fifteen significant
// digits of the largest number the subtractions went through: 3661.1 leaves 1.1, not the
// 1.0999999999999 they give.
double secondsLeft(double remainder, double largest) {
    const int wholeDigits = largest < 1 ? 0 : int(std::floor(std::log10(largest))) + 1;
    const double scale = std::pow(10.0, std::clamp(15 - wholeDigits, 0, 15));
    const double rounded = std::round(remainder * scale) / scale;
    return rounded < 60 ? rounded : remainder;
}

QVariant toQVariant(const Variant& value) {
    if (value.isNumberType() || value.type() == Variant::Type::Boolean) return value.toDouble();
    if (value.isEmpty() || value.isNull() || value.isMissing()) return QVariant();
    return value.toString();
}

Variant fromQVariant(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::Int:
        case QMetaType::Short:
            return int32_t(value.toInt());
        case QMetaType::UnknownType:
            return Variant();
        default:
            return value.canConvert<double>() && value.typeId() != QMetaType::QString
                       ? Variant(value.toDouble())
                       : Variant(value.toString());
    }
}

}  // namespace

TimeDivisionControl::Layout TimeDivisionControl::layoutFor(QSize) {
    return {kSize,
            {QRect(1350, 0, 380, kFieldHeight), QRect(960, 0, 380, kFieldHeight),
             QRect(570, 0, 380, kFieldHeight), QRect(0, 0, 560, kFieldHeight)}};
}

Variant TimeDivisionControl::ComputeTime(const std::array<QString, kUnitCount>& texts) {
    double seconds = 0;
    for (int unit = kUnitCount - 1; unit >= 0; --unit) {
        bool ok = false;
        const double value = Variant(texts[unit]).toDouble(&ok);
        if (!ok) return kUnknown;
        seconds += kUnitSeconds[unit] * value;
    }
    return seconds;
}

std::array<QString, TimeDivisionControl::kUnitCount> TimeDivisionControl::DisplayTexts(const Variant& time) {
    bool numeric = false;
    double t = time.toDouble(&numeric);
    if (!numeric || !std::isfinite(t))
        return {kUnknown, QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    // Floor division, so a negative span shows as negative days and positive smaller units.
    std::array<QString, kUnitCount> texts;
    double largest = std::fabs(t);
    for (int unit = Days; unit > Seconds; --unit) {
        const double count = std::floor(t / kUnitSeconds[unit]);
        t -= kUnitSeconds[unit] * count;
        largest = std::max(largest, std::fabs(kUnitSeconds[unit] * count));
        texts[unit] = plainNumber(count);
    }
    texts[Seconds] = plainNumber(secondsLeft(t, largest));
    return texts;
}

TimeDivisionControl::TimeDivisionControl(QWidget* parent) : QWidget(parent) {
    // Created left to right (days first) so the tab order runs days, hours, minutes, seconds.
    const Layout layout = layoutFor(kSize);
    for (int unit = Days; unit >= Seconds; --unit) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("txtTime(%1)").arg(unit));
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setTextMargins(0, 0, 0, 0);
        field->setGeometry(twipsToPixels(layout.fields[unit]));
        field->installEventFilter(this);
        m_txtTime[unit] = field;
    }
    setAccessibleCaption(QString());
    setFocusProxy(m_txtTime[Days]);
    setFixedSize(twipsToPixels(layout.control));
    SetEnabled(true);
    // Shown from the start, so a new control reads 0 rather than "?" from empty fields.
    DisplayTime();
    // The time is read from the fields, so typing and SetTime change it the same way.
    noteTime();
    for (QLineEdit* field : m_txtTime)
        connect(field, &QLineEdit::textChanged, this, &TimeDivisionControl::noteTime);
}

// Several fields change for one new time; DisplayTime rewrites all four.
void TimeDivisionControl::noteTime() {
    if (m_displaying) return;
    if (m_shownTime.changed(toQVariant(ComputeTime(fieldTexts())))) Q_EMIT TimeChanged();
}

TimeDivisionControl::~TimeDivisionControl() {
    // A focused field loses the focus while it is destroyed; that is no commit.
    for (QLineEdit* field : m_txtTime) field->removeEventFilter(this);
}

bool TimeDivisionControl::Enabled() const {
    return ownEnabled(*this);
}

void TimeDivisionControl::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &TimeDivisionControl::Enabled, &TimeDivisionControl::EnabledChanged);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
    setEnabled(enabled);
    for (QLineEdit* field : m_txtTime) field->setEnabled(enabled);
}

Variant TimeDivisionControl::Time() {
    m_Time = ComputeTime(fieldTexts());
    return m_Time;
}

void TimeDivisionControl::SetTime(const Variant& time) {
    m_Time = time;
    DisplayTime();
    Q_EMIT PropertyChanged(QStringLiteral("Time"));
}

void TimeDivisionControl::SetForeColor(uint32_t color) {
    const ChangeNotice notice(this, &TimeDivisionControl::ForeColor, &TimeDivisionControl::ForeColorChanged);
    m_ForeColor = color;
    for (int unit = Days; unit >= Seconds; --unit) applyForeColor(*m_txtTime[unit], m_ForeColor);
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

void TimeDivisionControl::SetBackColor(uint32_t color) {
    const ChangeNotice notice(this, &TimeDivisionControl::BackColor, &TimeDivisionControl::BackColorChanged);
    m_BackColor = color;
    for (int unit = Days; unit >= Seconds; --unit) applyBackColor(*m_txtTime[unit], m_BackColor);
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

void TimeDivisionControl::setAccessibleCaption(const QString& caption) {
    static const std::array<const char*, kUnitCount> units{"seconds", "minutes", "hours", "days"};
    for (int unit = 0; unit < kUnitCount; ++unit) {
        const QString name = QString::fromLatin1(units[size_t(unit)]);
        m_txtTime[unit]->setAccessibleName(caption.isEmpty() ? name.left(1).toUpper() + name.mid(1)
                                                             : caption + QStringLiteral(", ") + name);
        m_txtTime[unit]->setAccessibleDescription(
            QStringLiteral("The %1 of the time span; the four fields add up to one time").arg(name));
    }
}

void TimeDivisionControl::SetHelpContextID(int32_t helpContextId) {
    setProperty("HelpContextID", helpContextId);
    for (QLineEdit* field : m_txtTime) field->setProperty("HelpContextID", helpContextId);
}

// Saved colours are kept but not shown until they are written again. A loaded time is checked and
// shown by its setter; a new control's is only stored (see InitProperties).
std::span<const PersistedNote<TimeDivisionControl>> TimeDivisionControl::persistedNotes() {
    using Self = TimeDivisionControl;
    static const PersistedNote<Self> notes[] = {
        {"Enabled", true},
        {"Time", int32_t(0), [](Self& c, const Variant& v) { c.SetTime(v); },
         [](const Self& c) { return c.m_Time; }, false},
        {"ForeColor", int32_t(kBlack),
         [](Self& c, const Variant& v) { c.m_ForeColor = uint32_t(v.toInt32()); }},
        {"BackColor", int32_t(kWhite),
         [](Self& c, const Variant& v) { c.m_BackColor = uint32_t(v.toInt32()); }},
    };
    return notes;
}

void TimeDivisionControl::InitProperties() {
    initStoredProperties(*this, persistedNotes());
    m_Time = int32_t(0);
}

void TimeDivisionControl::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
}

void TimeDivisionControl::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

QSize TimeDivisionControl::sizeHint() const {
    return twipsToPixels(kSize);
}

QVariant TimeDivisionControl::timeValue() {
    return toQVariant(Time());
}

void TimeDivisionControl::setTimeValue(const QVariant& time) {
    SetTime(fromQVariant(time));
}

std::array<QString, TimeDivisionControl::kUnitCount> TimeDivisionControl::fieldTexts() const {
    std::array<QString, kUnitCount> texts;
    for (int unit = 0; unit < kUnitCount; ++unit) texts[unit] = m_txtTime[unit]->text();
    return texts;
}

void TimeDivisionControl::DisplayTime() {
    const auto texts = DisplayTexts(m_Time);
    {
        const QScopedValueRollback displaying(m_displaying, true);
        for (int unit = 0; unit < kUnitCount; ++unit) {
            m_txtTime[unit]->setText(texts[unit]);
            fitFontToText(*m_txtTime[unit]);
        }
    }
    noteTime();
}

void TimeDivisionControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        for (QLineEdit* field : m_txtTime) fitFontToText(*field);
}

void TimeDivisionControl::ValidateField(int index) {
    QLineEdit* field = m_txtTime[index];
    const QString text = field->text().trimmed();
    // Undo the character just typed, as Backspace would.
    if (!text.isEmpty() && !Variant(text).isNumeric()) field->backspace();
}

void TimeDivisionControl::CommitField(int index) {
    if (m_txtTime[index]->text().trimmed().isEmpty()) m_txtTime[index]->setText(QStringLiteral("0"));
    m_Time = ComputeTime(fieldTexts());
    DisplayTime();
}

int TimeDivisionControl::indexOf(QObject* field) const {
    for (int unit = 0; unit < kUnitCount; ++unit)
        if (m_txtTime[unit] == field) return unit;
    return -1;
}

bool TimeDivisionControl::eventFilter(QObject* watched, QEvent* event) {
    const int index = indexOf(watched);
    if (index < 0) return QWidget::eventFilter(watched, event);
    if (isEnterKeyPress(event)) {
        CommitField(index);
        Q_EMIT OnEnterKeyPress();
        return true;  // the Enter character never reaches the field
    }
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        ValidateField(index);
        Q_EMIT OnPendingChange();
    } else if (event->type() == QEvent::FocusOut) {
        // Switching windows or opening a menu moves no focus between controls.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            CommitField(index);
            Q_EMIT OnEnterKeyPress();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq

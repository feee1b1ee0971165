#include "servers/MultiServerPickList.h"

#include "core/Error.h"
#include "core/ErrorContexts.h"
#include "platform/ChangeNotice.h"
#include "platform/FormRegistry.h"
#include "platform/OwnEnabled.h"
#include "platform/PropertyBag.h"
#include "platform/ScreenServices.h"
#include "platform/StoredProperties.h"
#include "platform/SystemColors.h"
#include "platform/TextMetrics.h"
#include "platform/Twips.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "servers/Environment.h"
#include "servers/MultiServerPickListMenuForm.h"
#include "servers/MultiServerPickListSelectForm.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace vq {

namespace {
const QString kSelectFormName = QStringLiteral("MultiServerPickListSelectForm");
const QString kMenuFormName = QStringLiteral("MultiServerPickListMenuForm");
const QString kEllipsis = QStringLiteral("...");
const QString kMarkerName = QStringLiteral("!");
constexpr int32_t kMarkerValue = -1;
constexpr int kFramePixels = 2;  // the sunken edge around the field
constexpr int kNamesSharingWidth = 4;

const ErrorContexts context("MultiServerPickList");

SdkServersPtr knownServers() {
    return SdkApplication::instance()->Servers();
}

SdkNamedValuesPtr copyOf(const SdkNamedValues& source) {
    return std::make_shared<SdkNamedValues>(source);
}

SdkNamedValuesPtr singleServer(const QString& name) {
    auto selection = SdkNamedValues::create();
    selection->Add(name, Variant(int16_t(0)));
    return selection;
}

// Two edges of a 3-D frame: top-left and bottom-right colours, outer line then inner line.
struct Edges {
    QColor topLeftOuter, topLeftInner, bottomRightOuter, bottomRightInner;
};

void drawEdges(QPainter& painter, const QRect& rect, const Edges& edges) {
    auto frame = [&](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    frame(rect, edges.topLeftOuter, edges.bottomRightOuter);
    frame(rect.adjusted(1, 1, -1, -1), edges.topLeftInner, edges.bottomRightInner);
}

// The top-left corner that keeps `window` whole on `screen`, as near to where it was as it can.
QPoint keptOnScreen(const QRect& window, const QScreen* screen) {
    if (!screen) return window.topLeft();
    const QRect area = screen->availableGeometry();
    const int x =
        std::clamp(window.x(), area.left(), std::max(area.left(), area.right() + 1 - window.width()));
    const int y =
        std::clamp(window.y(), area.top(), std::max(area.top(), area.bottom() + 1 - window.height()));
    return {x, y};
}

}  // namespace

class MultiServerPickListPrivate {
public:
    explicit MultiServerPickListPrivate(MultiServerPickList* q) : q(q) {}

    bool IsNvsDifferent(const SdkNamedValuesPtr& candidate) const;
    void setSelection(const SdkNamedValuesPtr& servers);
    void RefreshDisplayText();
    QString fitText(const QString& full, const QString& abbreviated) const;
    void layoutControl();
    QRect innerRect() const;
    SdkNamedValuesPtr cycleList(int& markerPosition) const;
    int currentCyclePosition(const SdkNamedValues& cycle, int markerPosition) const;
    MultiServerPickListSelectForm* selectForm();
    MultiServerPickListMenuForm* menuForm();
    void paintText(QPainter& painter);
    void PaintButton(QPainter& painter);
    double widthOf(const QString& text) const { return textWidthTwips(text, gFont); }

    MultiServerPickList* const q;
    SdkNamedValuesPtr m_nvSelected = SdkNamedValues::create();
    SdkNamedValuesPtr m_nvReturn;
    SdkNamedValuesPtr m_nvMulti = SdkNamedValues::create();
    QString m_DisplayText;
    double m_TextWidth = 0;
    double px1 = 0, px2 = 0, px3 = 0, px4 = 0;
    double py1 = 0, py2 = 0, py3 = 0, py4 = 0;
    bool m_Pressed = false;
    bool m_hasFocus = false;
    int m_resizeDepth = 0;
    QFont gFont;
    QRect m_buttonRect;  // pixels
    SdkServersPtr SrvsEvents;
};

// Different when the counts differ or a name of `candidate` is not selected; the order of the
// names does not matter.
bool MultiServerPickListPrivate::IsNvsDifferent(const SdkNamedValuesPtr& candidate) const {
    if (!candidate || candidate->Count() != m_nvSelected->Count()) return true;
    for (const SdkNamedValue& entry : *candidate)
        if (!q->IsServerSelected(entry.Name())) return true;
    return false;
}

void MultiServerPickListPrivate::setSelection(const SdkNamedValuesPtr& servers) {
    const SdkNamedValuesPtr chosen = servers ? servers : SdkNamedValues::create();
    if (!IsNvsDifferent(chosen)) return;
    m_nvSelected = chosen;
    if (chosen->Count() > 1) m_nvMulti = copyOf(*chosen);
    RefreshDisplayText();
    q->update();
    Q_EMIT q->OnSelection();
    Q_EMIT q->SelectedServerNamesChanged();
    Q_EMIT q->PropertyChanged(QStringLiteral("SelectedServers"));
}

// The text area shows the full list when it fits, else every name abbreviated to its share of
// the width, else as much of that as fits followed by "...".
void MultiServerPickListPrivate::RefreshDisplayText() {
    const int count = m_nvSelected->Count();
    const double widthPerName =
        count == 0 ? m_TextWidth : m_TextWidth / (count < 5 ? count : kNamesSharingWidth);
    QStringList full, abbreviated;
    for (const SdkNamedValue& entry : *m_nvSelected) {
        full << entry.Name();
        abbreviated << MultiServerPickList::GetAbbreviatedServerName(entry.Name(), widthPerName, gFont);
    }
    const QString fullText = full.join(QStringLiteral(", "));
    q->setToolTip(fullText);
    m_DisplayText = fitText(fullText, abbreviated.join(QStringLiteral(", ")));
}

QString MultiServerPickListPrivate::fitText(const QString& full, const QString& abbreviated) const {
    if (widthOf(full) < m_TextWidth) return full;
    if (widthOf(abbreviated) < m_TextWidth) return abbreviated;
    for (qsizetype i = 1; i <= abbreviated.size(); ++i)
        if (widthOf(abbreviated.left(i) + kEllipsis) >= m_TextWidth)
            return abbreviated.left(i - 1) + kEllipsis;
    return abbreviated;
}

QRect MultiServerPickListPrivate::innerRect() const {
    return q->rect().adjusted(kFramePixels, kFramePixels, -kFramePixels, -kFramePixels);
}

// Height from the font, the button as wide as a scroll bar at the right of the field.
void MultiServerPickListPrivate::layoutControl() {
    if (m_resizeDepth > 0) return;
    ++m_resizeDepth;
    const double border = pixelsToTwips(q->height() - innerRect().height()) / 2.0;
    const double heightTwips = 2 * border + textHeightTwips(gFont) + px4;
    q->setFixedHeight(twipsToPixels(int(std::lround(heightTwips))));
    const QRect inner = innerRect();
    const int buttonWidth = std::min(twipsToPixels(GetScrollBarWidth()), inner.width());
    m_buttonRect =
        QRect(inner.left() + inner.width() - buttonWidth, inner.top(), buttonWidth, inner.height());
    m_TextWidth = pixelsToTwips(inner.width() - buttonWidth) - px2;
    RefreshDisplayText();
    q->update();
    --m_resizeDepth;
}

// Every known server in order, with the marker of the remembered multi-server choice right
// after its first server.
SdkNamedValuesPtr MultiServerPickListPrivate::cycleList(int& markerPosition) const {
    auto cycle = SdkNamedValues::create();
    markerPosition = 0;
    for (const SdkServerPtr& server : knownServers()->All()) {
        cycle->Add(server->Name(), Variant(int16_t(0)));
        if (m_nvMulti->Count() > 0 && m_nvMulti->Item(1).Name() == server->Name() && markerPosition == 0) {
            cycle->Add(kMarkerName, Variant(kMarkerValue));
            markerPosition = cycle->Count();
        }
    }
    return cycle;
}

// Position 0 when the selected server is not in the cycle, so either direction lands on an end.
int MultiServerPickListPrivate::currentCyclePosition(const SdkNamedValues& cycle, int markerPosition) const {
    if (m_nvSelected->Count() > 1) return markerPosition;
    if (m_nvSelected->Count() == 0) return 1;
    const QString selected = m_nvSelected->Item(1).Name();
    for (int position = 1; position <= cycle.Count(); ++position)
        if (cycle.Item(position).Name().compare(selected, Qt::CaseInsensitive) == 0) return position;
    return 0;
}

// The forms are shared through the thread's registry; another pick list may have unloaded them,
// so they are looked up (and loaded again if needed) every time.
MultiServerPickListSelectForm* MultiServerPickListPrivate::selectForm() {
    auto* form = static_cast<MultiServerPickListSelectForm*>(FormRegistry::current().load(
        kSelectFormName, [] { return std::make_unique<MultiServerPickListSelectForm>(); }));
    form->setControl(q);
    return form;
}

MultiServerPickListMenuForm* MultiServerPickListPrivate::menuForm() {
    auto* form = static_cast<MultiServerPickListMenuForm*>(FormRegistry::current().load(
        kMenuFormName, [] { return std::make_unique<MultiServerPickListMenuForm>(); }));
    form->setControl(q);
    return form;
}

void MultiServerPickListPrivate::paintText(QPainter& painter) {
    QRect textArea = innerRect();
    textArea.setRight(m_buttonRect.left() - 1);
    const bool focused = q->Enabled() && m_hasFocus;
    painter.fillRect(textArea, systemColor(q->Enabled() ? SystemColor::Window : SystemColor::ButtonFace));
    painter.setFont(gFont);
    const QRect textRect = textArea.adjusted(twipsToPixels(int(px2)), 0, 0, 0);
    QColor textColor = systemColor(q->Enabled() ? SystemColor::WindowText : SystemColor::ButtonShadow);
    if (focused) {
        const QRect behind = painter.boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter, m_DisplayText)
                                 .intersected(textArea);
        painter.fillRect(behind.isEmpty() ? textArea.adjusted(1, 1, -1, -1) : behind,
                         systemColor(SystemColor::Highlight));
        textColor = systemColor(SystemColor::HighlightText);
    }
    painter.setPen(textColor);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_DisplayText);
}

// A raised 3-D button whose edges swap while it is held down.
void MultiServerPickListPrivate::PaintButton(QPainter& painter) {
    painter.fillRect(m_buttonRect, systemColor(SystemColor::ButtonFace));
    const QColor light = systemColor(SystemColor::ButtonHighlight);
    const QColor shadow = systemColor(SystemColor::ButtonShadow);
    const QColor dark = systemColor(SystemColor::DarkShadow3D);
    const QColor face = systemColor(SystemColor::ButtonFace);
    drawEdges(painter, m_buttonRect,
              m_Pressed ? Edges{dark, shadow, light, face} : Edges{light, face, dark, shadow});
    painter.setFont(gFont);
    painter.setPen(systemColor(SystemColor::ButtonText));
    const int shift = m_Pressed ? 1 : 0;
    painter.drawText(m_buttonRect.translated(shift, shift), Qt::AlignCenter, kEllipsis);
}

MultiServerPickList::MultiServerPickList(QWidget* parent)
    : QWidget(parent), d(std::make_unique<MultiServerPickListPrivate>(this)) {
    const double step = twipsPerPixel();
    d->px1 = d->py1 = step;
    d->px2 = d->py2 = 2 * step;
    d->px3 = d->py3 = 3 * step;
    d->px4 = d->py4 = 4 * step;
    d->gFont = font();
    d->gFont.setPointSize(8);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Its caption names it; the description says how the keyboard changes the choice.
    setAccessibleDescription(QStringLiteral(
        "The chosen servers; Space opens the choice, the arrow keys step through the servers"));
    d->selectForm();
    d->menuForm();
    d->SrvsEvents = silently(SdkServersPtr(), [] { return knownServers(); });
    if (d->SrvsEvents) {
        connect(d->SrvsEvents.get(), &SdkServers::OnRemove, this,
                [this](const QString& name) { RemoveServerFromList(name); });
    }
    InitProperties();
    d->layoutControl();
}

MultiServerPickList::~MultiServerPickList() {
    FormRegistry::current().unload(kSelectFormName);
    FormRegistry::current().unload(kMenuFormName);
}

bool MultiServerPickList::Enabled() const {
    return ownEnabled(*this);
}

void MultiServerPickList::SetEnabled(bool enabled) {
    const ChangeNotice notice(this, &MultiServerPickList::Enabled, &MultiServerPickList::EnabledChanged);
    setEnabled(enabled);
    // Tab stop follows Enabled; a disabled pick list does not take the focus at all.
    setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
    update();
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

QFont MultiServerPickList::Font() const {
    return d->gFont;
}

void MultiServerPickList::SetFont(const QFont& font) {
    d->gFont = font;
    // A new font changes the text height, so the height and the fitted text follow.
    d->layoutControl();
}

SdkNamedValuesPtr MultiServerPickList::SelectedServers() {
    if (d->IsNvsDifferent(d->m_nvReturn)) d->m_nvReturn = copyOf(*d->m_nvSelected);
    return d->m_nvReturn;
}

void MultiServerPickList::SetSelectedServers(const SdkNamedValuesPtr& servers) {
    reporting(context("SetSelectedServers"), ReportLayout::Short, [&] { d->setSelection(servers); });
}

QStringList MultiServerPickList::SelectedServerNames() const {
    QStringList names;
    for (const SdkNamedValue& entry : *d->m_nvSelected) names << entry.Name();
    return names;
}

void MultiServerPickList::SetSelectedServerNames(const QStringList& names) {
    reporting(context("SetSelectedServerNames"), ReportLayout::Short, [&] {
        auto servers = SdkNamedValues::create();
        for (const QString& name : names) servers->Add(name, Variant(int16_t(0)));
        d->setSelection(servers);
    });
}

bool MultiServerPickList::IsServerSelected(const QString& serverName) const {
    return silently(false, [&] {
        d->m_nvSelected->Item(serverName);
        return true;
    });
}

void MultiServerPickList::RemoveServerFromList(const QString& serverName) {
    reporting(context("RemoveServerFromList"), ReportLayout::Short, [&] {
        if (!IsServerSelected(serverName)) return;
        auto remaining = SdkNamedValues::create();
        for (const SdkNamedValue& entry : *d->m_nvSelected)
            if (entry.Name() != serverName) remaining->Add(entry.Name(), entry.Value());
        SetSelectedServers(remaining);
    });
}

void MultiServerPickList::CycleList(int direction) {
    reporting(context("CycleList"), ReportLayout::Short, [&] {
        int markerPosition = 0;
        const SdkNamedValuesPtr cycle = d->cycleList(markerPosition);
        if (cycle->Count() == 0) return;
        int position = d->currentCyclePosition(*cycle, markerPosition) + direction;
        if (position < 1) position = cycle->Count();
        if (position > cycle->Count()) position = 1;
        const SdkNamedValue& entry = cycle->Item(position);
        if (entry.Name() == kMarkerName && entry.Value().toInt32() == kMarkerValue)
            SetSelectedServers(d->m_nvMulti);
        else
            SetSelectedServers(singleServer(entry.Name()));
    });
}

void MultiServerPickList::ShowPopupMenu() {
    reporting(context("ShowPopupMenu"), ReportLayout::Long, [&] {
        if (!Enabled()) return;
        MultiServerPickListMenuForm* form = d->menuForm();
        form->RefreshMenu(*knownServers());
        form->popup(mousePosition());
    });
}

void MultiServerPickList::ShowSelectForm() {
    reporting(context("ShowSelectForm"), ReportLayout::Long, [&] {
        MultiServerPickListSelectForm* form = d->selectForm();
        // Opened by a click, the dialog comes up at the pointer; opened from the keyboard the
        // pointer may be anywhere, so the control's centre stands in for it and the dialog is
        // kept on the control's screen.
        const bool byMouse = d->m_Pressed;
        const QPoint anchor = byMouse ? mousePosition() : mapToGlobal(rect().center());
        QPoint place(anchor.x() - form->width() / 4, std::max(0, anchor.y() - form->height() / 4));
        if (!byMouse) place = keptOnScreen(QRect(place, form->size()), screen());
        form->move(place);
        form->RefreshSelectForm(*knownServers());
        form->exec();
    });
    // The release of the button that opened the dialog went to the dialog.
    d->m_Pressed = false;
    update();
}

void MultiServerPickList::InitProperties() {
    initStoredProperties(*this);
}

void MultiServerPickList::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag);
}

void MultiServerPickList::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag);
}

QString MultiServerPickList::displayText() const {
    return d->m_DisplayText;
}

double MultiServerPickList::textWidthTwips() const {
    return d->m_TextWidth;
}

QRect MultiServerPickList::buttonRect() const {
    return d->m_buttonRect;
}

QString MultiServerPickList::GetAbbreviatedServerName(const QString& name, double maxWidth,
                                                      const QFont& font) {
    for (qsizetype i = name.size(); i >= 1; --i) {
        if (vq::textWidthTwips(name.left(i), font) >= maxWidth) continue;
        return i == name.size() ? name : name.left(i) + kEllipsis;
    }
    return kEllipsis;
}

QSize MultiServerPickList::sizeHint() const {
    return {twipsToPixels(2400), height()};
}

void MultiServerPickList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawEdges(painter, rect(),
              {systemColor(SystemColor::ButtonShadow), systemColor(SystemColor::DarkShadow3D),
               systemColor(SystemColor::ButtonHighlight), systemColor(SystemColor::Light3D)});
    d->paintText(painter);
    d->PaintButton(painter);
}

void MultiServerPickList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->layoutControl();
}

void MultiServerPickList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !Enabled()) return;
    d->m_Pressed = true;
    repaint();
    ShowSelectForm();
}

void MultiServerPickList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        d->m_Pressed = false;
        update();
    } else if (event->button() == Qt::RightButton) {
        ShowPopupMenu();
    }
}

void MultiServerPickList::keyPressEvent(QKeyEvent* event) {
    if (!Enabled()) return QWidget::keyPressEvent(event);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
        case Qt::Key_Space:
            ShowSelectForm();
            break;
        case Qt::Key_F10:
            if (!shift) return QWidget::keyPressEvent(event);
            ShowPopupMenu();
            break;
        case Qt::Key_Up:
            CycleList(-1);
            break;
        case Qt::Key_Down:
            CycleList(+1);
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void MultiServerPickList::focusInEvent(QFocusEvent* event) {
    d->m_hasFocus = true;
    update();
    QWidget::focusInEvent(event);
}

void MultiServerPickList::focusOutEvent(QFocusEvent* event) {
    d->m_hasFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace vq

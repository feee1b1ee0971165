#include "PointBuilderWindow.h"

#include "PointEditSummary.h"
#include "core/Error.h"
#include "core/MessageService.h"
#include "editors/VQCompressionSpecs.h"
#include "model/PropSheetEntries.h"
#include "platform/AccessibleNames.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QVBoxLayout>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kSheetWidth = 4800;  // twips: room for the name column and a readable value

template <typename Widget>
Widget* named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QGroupBox* framed(const QString& caption, QWidget* content) {
    auto* frame = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(content);
    return frame;
}

// A caption whose buddy is `field`: a screen reader names the field by it.
QLabel* caption(const QString& text, QWidget* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

// Shown on hover and read out after the name, so it says what the control does.
template <typename Widget>
Widget* described(Widget* widget, const QString& description) {
    widget->setToolTip(description);
    return widget;
}

QLabel* statusLabel(const QString& name) {
    auto* label = named(new QLabel, name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

PointBuilderWindow::PointBuilderWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(u"Point Builder[*]"_s);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(makeChooser());
    layout->addWidget(makeEditors(), 1);
    setCentralWidget(central);
    makeStatusBar();
    nameFieldsByCaptions(this);
    connectActions();
    fillServers();
    refreshStatus();
}

PointBuilderWindow::~PointBuilderWindow() = default;

QWidget* PointBuilderWindow::makeChooser() {
    m_cboServer = described(named(new QComboBox, u"cboServer"_s),
                            u"The server that points are created on and opened from"_s);
    m_cboPointClass = described(named(new QComboBox, u"cboPointClass"_s), u"The class of a new point"_s);
    m_txtTag = described(named(new QLineEdit, u"txtTag"_s),
                         u"The tag of the point to open or create; Enter opens it"_s);
    m_txtTag->setPlaceholderText(u"Tag"_s);
    m_txtTag->setMinimumWidth(twipsToPixels(2400));
    m_cmdNew = described(named(new QPushButton(u"&New point"_s), u"cmdNew"_s),
                         u"Starts a new point of the chosen class with the tag typed"_s);
    m_cmdOpen =
        described(named(new QPushButton(u"&Open"_s), u"cmdOpen"_s), u"Opens the point with the tag typed"_s);
    m_cmdSave = described(named(new QPushButton(u"&Save"_s), u"cmdSave"_s),
                          u"Writes the point's edits to the server"_s);
    m_cmdSave->setShortcut(QKeySequence::Save);
    m_cmdRevert = described(named(new QPushButton(u"&Revert"_s), u"cmdRevert"_s),
                            u"Drops the point's edits and shows it as the server has it"_s);

    auto* chooser = new QWidget;
    auto* row = new QHBoxLayout(chooser);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(caption(u"Server:"_s, m_cboServer));
    row->addWidget(m_cboServer);
    row->addSpacing(8);
    row->addWidget(caption(u"Class:"_s, m_cboPointClass));
    row->addWidget(m_cboPointClass);
    row->addSpacing(8);
    row->addWidget(caption(u"Tag:"_s, m_txtTag));
    row->addWidget(m_txtTag);
    row->addWidget(m_cmdNew);
    row->addWidget(m_cmdOpen);
    row->addStretch(1);
    row->addWidget(m_cmdSave);
    row->addWidget(m_cmdRevert);
    return chooser;
}

QWidget* PointBuilderWindow::makeEditors() {
    m_categorized = named(new VQPointPropSheet, u"sheetCategorized"_s);
    m_categorized->SetView(viewCategorized);
    m_alphabetic = named(new VQPointPropSheet, u"sheetAlphabetic"_s);
    m_alphabetic->SetView(viewAlphabetic);
    for (VQPointPropSheet* sheet : {m_categorized, m_alphabetic})
        sheet->setMinimumSize(twipsToPixels(QSize(kSheetWidth, 6000)));
    m_compression = named(new VQCompressionSpecs, u"specsCompression"_s);
    m_compression->SetDisplayStyle(styleCompressionDeviation);
    m_exception = named(new VQCompressionSpecs, u"specsException"_s);
    m_exception->SetDisplayStyle(styleExceptionDeviation);
    m_compressionFrame = framed(u"Compression"_s, m_compression);
    m_exceptionFrame = framed(u"Exception"_s, m_exception);

    auto* panels = new QVBoxLayout;
    panels->addWidget(m_compressionFrame);
    panels->addWidget(m_exceptionFrame);
    panels->addStretch(1);
    auto* editors = new QWidget;
    auto* row = new QHBoxLayout(editors);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(framed(u"Categorized"_s, m_categorized), 1);
    row->addWidget(framed(u"Alphabetic"_s, m_alphabetic), 1);
    row->addLayout(panels);
    return editors;
}

void PointBuilderWindow::makeStatusBar() {
    m_lblPoint = statusLabel(u"lblPoint"_s);
    m_lblEdited = statusLabel(u"lblEdited"_s);
    m_lblInvalid = statusLabel(u"lblInvalid"_s);
    m_lblSaved = statusLabel(u"lblSaved"_s);
    statusBar()->addWidget(m_lblPoint);
    statusBar()->addWidget(m_lblEdited);
    statusBar()->addWidget(m_lblInvalid);
    statusBar()->addWidget(m_lblSaved, 1);
}

void PointBuilderWindow::connectActions() {
    connect(m_cboServer, &QComboBox::currentIndexChanged, this, &PointBuilderWindow::serverChosen);
    connect(m_cmdNew, &QPushButton::clicked, this,
            [this] { newPoint(m_cboPointClass->currentText(), m_txtTag->text()); });
    connect(m_cmdOpen, &QPushButton::clicked, this, [this] { openPoint(m_txtTag->text()); });
    connect(m_txtTag, &QLineEdit::returnPressed, this, [this] { openPoint(m_txtTag->text()); });
    connect(m_cmdSave, &QPushButton::clicked, this, &PointBuilderWindow::save);
    connect(m_cmdRevert, &QPushButton::clicked, this, &PointBuilderWindow::revert);
}

void PointBuilderWindow::fillServers() {
    reporting(u"PointBuilderWindow:FillServers"_s, ReportLayout::Long, [this] {
        const QSignalBlocker quiet(m_cboServer);
        const SdkServersPtr servers = SdkApplication::instance()->Servers();
        for (const SdkServerPtr& server : servers->All()) m_cboServer->addItem(server->Name());
        if (const SdkServerPtr fallback = servers->DefaultServer())
            m_cboServer->setCurrentText(fallback->Name());
    });
    serverChosen(m_cboServer->currentIndex());
}

bool PointBuilderWindow::selectServer(const QString& name) {
    const int index = m_cboServer->findText(name, Qt::MatchFixedString);
    if (index < 0) return false;
    m_cboServer->setCurrentIndex(index);
    return m_server != nullptr;
}

void PointBuilderWindow::serverChosen(int index) {
    m_server.reset();
    if (index >= 0) {
        reporting(u"PointBuilderWindow:ChooseServer"_s, ReportLayout::Long, [this, index] {
            m_server = SdkApplication::instance()->Servers()->Item(m_cboServer->itemText(index));
        });
    }
    fillClasses();
}

void PointBuilderWindow::fillClasses() {
    m_cboPointClass->clear();
    if (m_server) {
        reporting(u"PointBuilderWindow:FillClasses"_s, ReportLayout::Long, [this] {
            for (const SdkPointClassPtr& pointClass : m_server->PointClasses()->All())
                m_cboPointClass->addItem(pointClass->Name());
        });
    }
    // Engineers mostly build measurements; start there when the server has the class.
    const int classic = m_cboPointClass->findText(u"classic"_s);
    if (classic >= 0) m_cboPointClass->setCurrentIndex(classic);
    m_cmdNew->setEnabled(m_cboPointClass->count() > 0);
    m_cmdOpen->setEnabled(m_server != nullptr);
}

bool PointBuilderWindow::newPoint(const QString& className, const QString& tag) {
    if (!m_server || !mayDropEdits()) return false;
    return reporting(u"PointBuilderWindow:NewPoint"_s, ReportLayout::Long, false, [&] {
        bind(newPointEntries(m_server, className, tag.trimmed()));
        m_newPointTag = tag.trimmed();
        return true;
    });
}

std::shared_ptr<PropSheetEntries> PointBuilderWindow::newPointEntries(const SdkServerPtr& server,
                                                                      const QString& className,
                                                                      const QString& tag) {
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddDefaultAttributes(server, className);
    if (!tag.isEmpty()) entries->SetValue(u"Tag"_s, Variant(tag));
    return entries;
}

bool PointBuilderWindow::openPoint(const QString& tag) {
    if (!m_server || tag.trimmed().isEmpty() || !mayDropEdits()) return false;
    return reporting(u"PointBuilderWindow:OpenPoint"_s, ReportLayout::Long, false, [&] {
        bindStoredPoint(m_server->Points()->Item(tag.trimmed()));
        return true;
    });
}

bool PointBuilderWindow::save() {
    if (!m_entries) return false;
    const bool wasNew = m_entries->Mode() == modeNewPoint;
    bool saved = m_entries->SaveEdits();
    if (!saved && m_entries->SaveErrorNumber() == sdkerr::PointChanged) saved = saveOverNewerPoint();
    // A new point is read back once stored: the sheets then show what the archive keeps (creator,
    // creation date) and the attributes fixed at creation, such as the class, turn read-only.
    if (saved && wasNew) reopenSavedPoint();
    const QString tag = m_entries->GetValue(u"Tag"_s).toString();
    showSaveResult(saved ? u"Saved %1 at %2"_s.arg(tag, QTime::currentTime().toString(u"HH:mm:ss"_s))
                         : u"Not saved: %1 (see the message)"_s.arg(tag));
    refreshStatus();
    return saved;
}

// Someone saved the point after it was opened here: the user may save these edits over theirs,
// or keep the edits unsaved (Revert then reads the newer point without them).
bool PointBuilderWindow::saveOverNewerPoint() {
    const QString text =
        u"%1 was changed by someone else after it was opened here.\r\n"
        u"OK saves your edits over the newer point; Cancel keeps them unsaved "
        u"(Revert reads the newer point and drops them)."_s.arg(pointTitle());
    if (messageService().show(text, MessageButtons::OkCancel, QString()) != MessageResult::Ok) return false;
    return reporting(u"PointBuilderWindow:Save"_s, ReportLayout::Long, false, [this] {
        m_entries->Point()->PointAttributes()->LoadAll();
        return m_entries->SaveEdits();
    });
}

void PointBuilderWindow::reopenSavedPoint() {
    reporting(u"PointBuilderWindow:Save"_s, ReportLayout::Long,
              [this] { bindStoredPoint(m_entries->Point()); });
}

void PointBuilderWindow::bindStoredPoint(const SdkPointPtr& point) {
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddAttributesForPoint(point);
    bind(std::move(entries));
}

void PointBuilderWindow::revert() {
    if (!m_entries) return;
    reporting(u"PointBuilderWindow:Revert"_s, ReportLayout::Long, [this] {
        if (m_entries->Mode() == modeEditPoint) {
            bindStoredPoint(m_entries->Point());
        } else {
            bind(newPointEntries(m_entries->Server(), m_entries->PointClass()->Name(), m_newPointTag));
        }
        showSaveResult(u"Reverted"_s);
    });
}

bool PointBuilderWindow::mayDropEdits() {
    if (!m_entries || !m_entries->AreValuesEdited()) return true;
    const QString text = u"The edits of %1 are not saved.\r\nDrop them?"_s.arg(pointTitle());
    return messageService().show(text, MessageButtons::OkCancel, QString()) == MessageResult::Ok;
}

void PointBuilderWindow::closeEvent(QCloseEvent* event) {
    if (mayDropEdits())
        event->accept();
    else
        event->ignore();
}

void PointBuilderWindow::bind(std::shared_ptr<PropSheetEntries> entries) {
    if (m_entries) disconnect(m_entries.get(), nullptr, this, nullptr);
    m_entries = std::move(entries);
    m_lastPending = nullptr;
    PropSheetEntries* model = m_entries.get();
    connect(model, &PropSheetEntries::OnPendingChange, this, &PointBuilderWindow::entryPending);
    connect(model, &PropSheetEntries::OnValueEdit, this, &PointBuilderWindow::entryEdited);
    connect(model, &PropSheetEntries::OnDisplayEdit, this, &PointBuilderWindow::refreshStatus);
    m_categorized->SetPropSheetEntries(m_entries);
    m_alphabetic->SetPropSheetEntries(m_entries);
    bindPanel(m_compression, m_compressionFrame);
    bindPanel(m_exception, m_exceptionFrame);
    showSaveResult(QString());
    refreshStatus();
}

// A panel reads its deviation, both times and the span; a class without them gets an empty,
// disabled panel rather than a failing one.
void PointBuilderWindow::bindPanel(VQCompressionSpecs* panel, QGroupBox* frame) {
    const VQCompressionSpecs::AttributeNames names =
        VQCompressionSpecs::attributeNamesFor(panel->DisplayStyle());
    bool complete = true;
    for (const QString& name : {names.deviation, names.minimum, names.maximum, u"Span"_s})
        complete = complete && m_entries->find(name) != nullptr;
    panel->SetPropSheetEntries(complete ? m_entries : nullptr);
    frame->setEnabled(complete);
}

void PointBuilderWindow::entryPending(PropSheetEntry* entry) {
    m_lastPending = entry;
    refreshStatus();
}

void PointBuilderWindow::entryEdited(PropSheetEntry*) {
    m_lastPending = nullptr;  // a committed value ends the pending one, as in the collection
    refreshStatus();
}

QString PointBuilderWindow::pointTitle() const {
    const QString server = m_entries->Server()->Name();
    if (m_entries->Mode() == modeNewPoint)
        return u"new %1 point on %2"_s.arg(m_entries->PointClass()->Name(), server);
    return u"%1 on %2"_s.arg(m_entries->GetValue(u"Tag"_s).toString(), server);
}

void PointBuilderWindow::refreshStatus() {
    m_cmdSave->setEnabled(m_entries != nullptr);
    m_cmdRevert->setEnabled(m_entries != nullptr);
    if (!m_entries) {
        m_lblPoint->setText(u"No point open"_s);
        return;
    }
    const PointEditSummary summary = PointEditSummary::of(*m_entries, m_lastPending);
    m_lblPoint->setText(pointTitle());
    QString edited = PointEditSummary::listText(u"Edited"_s, summary.edited);
    if (!summary.pending.isEmpty()) edited += u"; typing in %1"_s.arg(summary.pending);
    m_lblEdited->setText(edited);
    m_lblEdited->setToolTip(summary.edited.join(u", "_s));
    m_lblInvalid->setText(PointEditSummary::listText(u"Invalid"_s, summary.invalid));
    m_lblInvalid->setToolTip(summary.invalid.join(u", "_s));
    m_lblInvalid->setStyleSheet(summary.invalid.isEmpty() ? QString() : u"color: red"_s);
    setWindowTitle(u"Point Builder - %1[*]"_s.arg(pointTitle()));
    setWindowModified(m_entries->AreValuesEdited());
}

void PointBuilderWindow::showSaveResult(const QString& text) {
    m_lblSaved->setText(text);
}

QString PointBuilderWindow::statusText() const {
    QStringList texts;
    for (const QLabel* label : {m_lblPoint, m_lblEdited, m_lblInvalid, m_lblSaved})
        if (!label->text().isEmpty()) texts << label->text();
    return texts.join(u" | "_s);
}

}  // namespace vq

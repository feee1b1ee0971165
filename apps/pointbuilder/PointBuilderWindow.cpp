#include "PointBuilderWindow.h"

#include "PointBuilderMessages.h"
#include "PointBuilderSettings.h"
#include "PointEditSummary.h"
#include "PointTableWindow.h"
#include "TagCompleter.h"
#include "core/Error.h"
#include "core/MessageService.h"
#include "dialogs/TagwrightDlgs.h"
#include "editors/VQCompressionSpecs.h"
#include "model/PropSheetEntries.h"
#include "platform/AccessibleNames.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "servers/Environment.h"
#include "table/VQPointTable.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
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

// The button shows the action: a click triggers it, and it is enabled while the action is.
QPushButton* showing(QPushButton* button, QAction* action) {
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    button->setEnabled(action->isEnabled());
    button->setToolTip(action->toolTip());
    return button;
}

QLabel* statusLabel(const QString& name) {
    auto* label = named(new QLabel, name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

PointBuilderWindow::PointBuilderWindow(QWidget* parent)
    : QMainWindow(parent),
      m_settings(std::make_unique<PointBuilderSettings>()),
      m_dialogs(std::make_unique<TagwrightDlgs>()) {
    setWindowTitle(u"Point Builder"_s);
    makeActions();
    makeMenus();
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(makeChooser());
    layout->addWidget(makeEditors(), 1);
    setCentralWidget(central);
    makeStatusBar();
    nameFieldsByCaptions(this);
    connectActions();
    fillServers();
    followServerList();
    refreshStatus();
    updateHistoryAction();
    if (!restoreGeometry(m_settings->geometry())) resize(firstSize());
}

PointBuilderWindow::~PointBuilderWindow() = default;

// Wide enough for the sheets' name, value and help columns side by side with both panels, and
// tall enough for a classic point's categories without scrolling at first.
QSize PointBuilderWindow::firstSize() {
    return twipsToPixels(QSize(21000, 12000));
}

void PointBuilderWindow::makeActions() {
    m_actNew = makeAction(u"actNew"_s, u"&New point"_s,
                          u"Starts a new point of the chosen class with the tag typed"_s);
    m_actOpen = makeAction(u"actOpen"_s, u"&Open"_s, u"Opens the point with the tag typed"_s);
    m_actNew->setShortcut(QKeySequence::New);
    m_actOpen->setShortcut(QKeySequence::Open);
    m_actSave = makeAction(u"actSave"_s, u"&Save"_s, u"Writes the point's edits to the server"_s);
    m_actSave->setShortcut(QKeySequence::Save);
    m_actRevert = makeAction(u"actRevert"_s, u"&Revert"_s,
                             u"Drops the point's edits and shows it as the server has it"_s);
    QAction* find = makeAction(u"actFind"_s, u"&Find..."_s,
                               u"Finds a point by its tag, descriptor or other attributes and opens it"_s);
    find->setShortcut(QKeySequence::Find);
    makeAction(u"actProperties"_s, u"Propert&ies..."_s,
               u"Finds points and shows all their attributes, read-only"_s);
    QAction* quit =
        makeAction(u"actQuit"_s, u"&Quit"_s, u"Closes the Point Builder, asking about unsaved edits"_s);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    makeAction(u"actPoints"_s, u"Poin&ts..."_s,
               u"The Points window: many points found, edited, reviewed and saved together"_s)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    makeAction(u"actEditSelection"_s, u"Edit Properties Se&lection in Points"_s,
               u"Adds the points last chosen with Properties... to the Points window"_s)
        ->setEnabled(false);
    makeAction(u"actConnections"_s, u"&Connections..."_s,
               u"Connects to servers and adds them to the server list"_s);
    makeAction(u"actHistory"_s, u"&History..."_s, QString())->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    makeAction(u"actAbout"_s, u"&About Point Builder"_s, u"The program's version"_s);
    QAction* guide = makeAction(u"actGuide"_s, u"Point Builder &Guide"_s,
                                u"Opens the user guide at the Point Builder's page"_s);
    guide->setShortcut(QKeySequence::HelpContents);
    connect(m_actNew, &QAction::triggered, this,
            [this] { newPoint(m_cboPointClass->currentText(), m_txtTag->text()); });
    connect(m_actOpen, &QAction::triggered, this, [this] { openPoint(m_txtTag->text()); });
    connect(m_actSave, &QAction::triggered, this, &PointBuilderWindow::save);
    connect(m_actRevert, &QAction::triggered, this, &PointBuilderWindow::revert);
    connect(find, &QAction::triggered, this, &PointBuilderWindow::findPoint);
    connect(action(u"actProperties"_s), &QAction::triggered, this, &PointBuilderWindow::showPointProperties);
    connect(action(u"actPoints"_s), &QAction::triggered, this, &PointBuilderWindow::showPointsWindow);
    connect(action(u"actEditSelection"_s), &QAction::triggered, this,
            &PointBuilderWindow::editSelectionInPoints);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    connect(action(u"actConnections"_s), &QAction::triggered, this, &PointBuilderWindow::showConnections);
    connect(action(u"actAbout"_s), &QAction::triggered, this, &PointBuilderWindow::showAbout);
    connect(guide, &QAction::triggered, this, [] { ShowGuideTopic(kPointBuilderHelpTopic); });
    connect(action(u"actHistory"_s), &QAction::triggered, this, &PointBuilderWindow::showHistory);
}

QAction* PointBuilderWindow::makeAction(const QString& name, const QString& text, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    return action;
}

QAction* PointBuilderWindow::action(const QString& name) const {
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void PointBuilderWindow::makeMenus() {
    QMenu* file = menuBar()->addMenu(u"&File"_s);
    file->setToolTipsVisible(true);  // a disabled History... says why
    file->addActions({m_actNew, m_actOpen, action(u"actFind"_s), action(u"actProperties"_s),
                      action(u"actPoints"_s), action(u"actEditSelection"_s)});
    file->addSeparator();
    file->addActions({m_actSave, m_actRevert, action(u"actHistory"_s)});
    file->addSeparator();
    m_mnuRecent = file->addMenu(u"Recent &points"_s);
    m_mnuRecent->setObjectName(u"mnuRecent"_s);
    file->addSeparator();
    file->addAction(action(u"actQuit"_s));
    menuBar()->addMenu(u"&Tools"_s)->addAction(action(u"actConnections"_s));
    menuBar()->addMenu(u"&Help"_s)->addActions({action(u"actGuide"_s), action(u"actAbout"_s)});
    fillRecentMenu();
}

// The entries are made once and relabelled: one may be the action being triggered right now.
void PointBuilderWindow::fillRecentMenu() {
    if (m_mnuRecent->isEmpty()) {
        for (int i = 0; i < PointBuilderSettings::MaxRecentPoints; ++i)
            connect(m_mnuRecent->addAction(QString()), &QAction::triggered, this,
                    [this, i] { openRecent(i + 1); });
    }
    const QList<RecentPoint> recent = m_settings->recentPoints();
    const QList<QAction*> entries = m_mnuRecent->actions();
    for (int i = 0; i < entries.size(); ++i) {
        entries[i]->setVisible(i < recent.size());
        if (i < recent.size())
            entries[i]->setText(u"&%1 %2 on %3"_s.arg(i + 1).arg(recent[i].tag, recent[i].server));
    }
    m_mnuRecent->setEnabled(!recent.isEmpty());
    markUnlistedRecentPoints();
}

bool PointBuilderWindow::openRecent(int position) {
    const QList<RecentPoint> recent = m_settings->recentPoints();
    if (position < 1 || position > recent.size() || !mayDropEdits()) return false;
    const RecentPoint point = recent[position - 1];
    if (!isListed(point.server)) return false;  // waits on the menu for its server's return
    const auto stillThere = [&] {
        const SdkServersPtr servers = SdkApplication::instance()->Servers();
        return servers->Contains(point.server) && servers->Item(point.server)->Points()->Contains(point.tag);
    };
    // A server that cannot answer now keeps its points on the menu; only a known absence drops one.
    bool answered = false;
    const bool found = reporting(u"PointBuilderWindow:OpenRecent"_s, ReportLayout::Long, false, [&] {
        const bool there = stillThere();
        answered = true;
        return there;
    });
    if (found) return selectServer(point.server) && loadPoint(point.tag);
    if (answered) {
        messageService().show(
            u"%1 on %2 no longer exists; it is taken off the recent points."_s.arg(point.tag, point.server),
            MessageButtons::Ok, QString());
        m_settings->removeRecentPoint(point);
        fillRecentMenu();
    }
    return false;
}

void PointBuilderWindow::rememberPoint() {
    if (!m_entries || m_entries->Mode() != modeEditPoint) return;
    m_settings->addRecentPoint({m_entries->Server()->Name(), m_entries->GetValue(u"Tag"_s).toString()});
    fillRecentMenu();
}

void PointBuilderWindow::showConnections() {
    reporting(u"PointBuilderWindow:Connections"_s, ReportLayout::Long,
              [] { SdkConnectDialog::create()->ConnectionManager(false, true); });
    fillServers();  // servers may have been added or removed there
}

QString PointBuilderWindow::aboutText() {
    return u"Point Builder %1\r\nCreates and edits points on the known servers.\r\nVQTagwrightCtls %1, Qt %2"_s
        .arg(QString::fromLatin1(VQ_VERSION_TEXT), QString::fromLatin1(qVersion()));
}

void PointBuilderWindow::showAbout() {
    messageService().show(aboutText(), MessageButtons::Ok, u"About Point Builder"_s);
}

QWidget* PointBuilderWindow::makeChooser() {
    m_cboServer = described(named(new QComboBox, u"cboServer"_s),
                            u"The server that points are created on and opened from"_s);
    m_cboPointClass = described(named(new QComboBox, u"cboPointClass"_s), u"The class of a new point"_s);
    m_txtTag = described(named(new QLineEdit, u"txtTag"_s),
                         u"The tag of the point to open or create; Enter opens it"_s);
    m_txtTag->setPlaceholderText(u"Tag"_s);
    m_txtTag->setMinimumWidth(twipsToPixels(2400));
    m_completer = new TagCompleter(m_txtTag);
    m_cmdNew = showing(named(new QPushButton(u"&New point"_s), u"cmdNew"_s), m_actNew);
    m_cmdOpen = showing(named(new QPushButton(u"&Open"_s), u"cmdOpen"_s), m_actOpen);
    m_cmdFind = showing(named(new QPushButton(u"F&ind..."_s), u"cmdFind"_s), action(u"actFind"_s));
    m_cmdSave = showing(named(new QPushButton(u"&Save"_s), u"cmdSave"_s), m_actSave);
    m_cmdRevert = showing(named(new QPushButton(u"&Revert"_s), u"cmdRevert"_s), m_actRevert);

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
    row->addWidget(m_cmdFind);
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
    connect(m_txtTag, &QLineEdit::returnPressed, m_actOpen, &QAction::trigger);
}

// Keeps the server shown, else the one chosen in the last run, else the list's default.
void PointBuilderWindow::fillServers() {
    const QString shown = m_server ? m_server->Name() : m_settings->server();
    reporting(u"PointBuilderWindow:FillServers"_s, ReportLayout::Long, [&] {
        const QSignalBlocker quiet(m_cboServer);
        m_cboServer->clear();
        const SdkServersPtr servers = SdkApplication::instance()->Servers();
        for (const SdkServerPtr& server : servers->All()) m_cboServer->addItem(server->Name());
        const int known = m_cboServer->findText(shown, Qt::MatchFixedString);
        if (known >= 0)
            m_cboServer->setCurrentIndex(known);
        else if (const SdkServerPtr fallback = servers->DefaultServer())
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
    if (m_server) m_settings->setServer(m_server->Name());
    m_completer->setServer(m_server);
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
    m_actNew->setEnabled(m_cboPointClass->count() > 0);
    m_actOpen->setEnabled(m_server != nullptr);
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
    return loadPoint(tag);
}

bool PointBuilderWindow::findPoint() {
    const SdkPointListPtr found = reporting(
        u"PointBuilderWindow:Find"_s, ReportLayout::Long, SdkPointListPtr(),
        [this] { return m_dialogs->ShowTagSearchDialog(m_server, tsoptAllowOnlyOneTagToBeSelected); });
    if (!found || found->Count() == 0 || !mayDropEdits()) return false;
    return openFound(found);
}

// The dialog's pick list may have added the point's server to the server list.
bool PointBuilderWindow::openFound(const SdkPointListPtr& found) {
    const QString server = found->ServerName(1);
    if (m_cboServer->findText(server, Qt::MatchFixedString) < 0) fillServers();
    if (!selectServer(server)) {
        messageService().show(
            u"The server \"%1\" of %2 is not in the server list."_s.arg(server, found->Tag(1)),
            MessageButtons::Ok, QString());
        return false;
    }
    return reporting(u"PointBuilderWindow:Find"_s, ReportLayout::Long, false, [&] {
        bindStoredPoint(found->Item(1));
        return true;
    });
}

void PointBuilderWindow::showPointProperties() {
    reporting(u"PointBuilderWindow:Properties"_s, ReportLayout::Long, [this] {
        const SdkPointListPtr found = m_dialogs->ShowTagSearchDialog(m_server, 0);
        if (found->Count() == 0) return;
        m_propertiesSelection = found;
        action(u"actEditSelection"_s)->setEnabled(true);
        m_dialogs->ShowVQPointPropertySheet(found);
    });
}

// Opens without asking about unsaved edits: the caller has asked.
bool PointBuilderWindow::loadPoint(const QString& tag) {
    return reporting(u"PointBuilderWindow:OpenPoint"_s, ReportLayout::Long, false, [&] {
        bindStoredPoint(m_server->Points()->Item(tag.trimmed()));
        return true;
    });
}

bool PointBuilderWindow::save() {
    if (!m_entries) return false;
    const PointBuilderMessages::Doing doing(u"saving %1"_s.arg(pointTitle()));
    const bool wasNew = m_entries->Mode() == modeNewPoint;
    PointSaveResult result = m_entries->Save();
    if (result.error.number() == sdkerr::PointChanged) {
        if (!resolveStaleEdit(result)) return false;
    } else if (!result.saved()) {
        presentSaveFailure(result);
    }
    // A new point is read back once stored: the sheets then show what the archive keeps (creator,
    // creation date) and the attributes fixed at creation, such as the class, turn read-only.
    if (result.saved() && wasNew) reopenSavedPoint();
    if (result.saved()) rememberPoint();
    const QString tag = m_entries->GetValue(u"Tag"_s).toString();
    showSaveResult(result.saved() ? u"Saved %1 at %2"_s.arg(tag, QTime::currentTime().toString(u"HH:mm:ss"_s))
                                  : notSavedText(tag, result));
    refreshStatus();
    return result.saved();
}

// A cancelled log-on window is the user's choice not to log on: nothing more is shown.
void PointBuilderWindow::presentSaveFailure(const PointSaveResult& result) {
    if (result.error.number() == sdkerr::LogonFailed) return;
    report(result.error, u"PropSheetEntries:SaveEdits"_s, ReportLayout::Short, result.refusedLines());
}

// The status bar says why itself: the message it could point at is closed by now.
QString PointBuilderWindow::notSavedText(const QString& tag, const PointSaveResult& result) {
    if (result.error.number() == sdkerr::LogonFailed)
        return u"Not saved: %1 (not logged on to %2)"_s.arg(tag, m_entries->Server()->Name());
    if (result.error.number() == sdkerr::PointChanged)
        return u"Not saved: %1 (changed by someone else; your edits are kept)"_s.arg(tag);
    const QString reason = result.error.description().section(u"\r\n"_s, 0, 0);
    return u"Not saved: %1 (%2)"_s.arg(tag, reason);
}

// Someone saved the point after it was opened here: one question with the three ways out. False
// when the window shows another state than a save result (their version reloaded).
bool PointBuilderWindow::resolveStaleEdit(PointSaveResult& result) {
    const QString question =
        u"%1 was changed by someone else after you opened it. Your edits are not saved yet."_s.arg(
            pointTitle());
    const int answer = PointBuilderMessages::choose(
        this, question, {u"Save over their change"_s, u"Keep my edits unsaved"_s, u"Reload their version"_s},
        1, result.error.description());
    if (answer == 1) return true;
    if (answer == 2) {
        reporting(u"PointBuilderWindow:Reload"_s, ReportLayout::Long,
                  [this] { bindStoredPoint(m_entries->Point()); });
        showSaveResult(u"Reloaded their version"_s);
        return false;
    }
    result = reporting(u"PointBuilderWindow:Save"_s, ReportLayout::Long, result, [this] {
        m_entries->Point()->PointAttributes()->LoadAll();
        return m_entries->Save();
    });
    if (!result.saved()) presentSaveFailure(result);
    return true;
}

void PointBuilderWindow::reopenSavedPoint() {
    reporting(u"PointBuilderWindow:Save"_s, ReportLayout::Long,
              [this] { bindStoredPoint(m_entries->Point()); });
}

void PointBuilderWindow::bindStoredPoint(const SdkPointPtr& point) {
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddAttributesForPoint(point);
    bind(std::move(entries));
    rememberPoint();
}

void PointBuilderWindow::revert() {
    if (!m_entries || !mayRevert()) return;
    reporting(u"PointBuilderWindow:Revert"_s, ReportLayout::Long, [this] {
        if (m_entries->Mode() == modeEditPoint) {
            bindStoredPoint(m_entries->Point());
        } else {
            bind(newPointEntries(m_entries->Server(), m_entries->PointClass()->Name(), m_newPointTag));
        }
        showSaveResult(u"Reverted"_s);
    });
}

bool PointBuilderWindow::hasUnsavedEdits() const {
    return m_entries && !m_untouched && m_entries->AreValuesEdited();
}

bool PointBuilderWindow::mayRevert() {
    if (!hasUnsavedEdits()) return true;
    const QString question = u"Drop the edits of %1 and show it as the server has it?"_s.arg(pointTitle());
    return PointBuilderMessages::choose(this, question, {u"Revert"_s, u"Keep editing"_s}, 1) == 0;
}

// Save, Discard or Cancel; a save that fails keeps the window open.
bool PointBuilderWindow::mayQuit() {
    if (!hasUnsavedEdits()) return true;
    const QString question = u"The edits of %1 are not saved."_s.arg(pointTitle());
    const int answer =
        PointBuilderMessages::choose(this, question, {u"Save"_s, u"Discard"_s, u"Cancel"_s}, 2);
    return answer == 1 || (answer == 0 && save());
}

bool PointBuilderWindow::mayDropEdits() {
    if (!hasUnsavedEdits()) return true;
    const QString text = u"The edits of %1 are not saved.\r\nDrop them?"_s.arg(pointTitle());
    return messageService().show(text, MessageButtons::OkCancel, QString()) == MessageResult::Ok;
}

void PointBuilderWindow::closeEvent(QCloseEvent* event) {
    if ((m_pointsWindow && m_pointsWindow->isVisible() && !m_pointsWindow->close()) || !mayQuit()) {
        event->ignore();
        return;
    }
    m_settings->setGeometry(saveGeometry());
    event->accept();
}

void PointBuilderWindow::bind(std::shared_ptr<PropSheetEntries> entries) {
    if (m_entries) disconnect(m_entries.get(), nullptr, this, nullptr);
    m_entries = std::move(entries);
    m_lastPending = nullptr;
    m_untouched = true;
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
    showOpenPoint();
    updateHistoryAction();
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
    m_untouched = false;
    refreshStatus();
}

void PointBuilderWindow::entryEdited(PropSheetEntry*) {
    m_lastPending = nullptr;  // a committed value ends the pending one, as in the collection
    m_untouched = false;
    refreshStatus();
}

QString PointBuilderWindow::pointTitle() const {
    const QString server = m_entries->Server()->Name() + unlistedNote();
    if (m_entries->Mode() == modeNewPoint)
        return u"new %1 point on %2"_s.arg(m_entries->PointClass()->Name(), server);
    return u"%1 on %2"_s.arg(m_entries->GetValue(u"Tag"_s).toString(), server);
}

void PointBuilderWindow::refreshStatus() {
    m_actSave->setEnabled(m_entries != nullptr);
    m_actRevert->setEnabled(m_entries != nullptr);
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
    // The platform adds the program's name after the title.
    setWindowTitle(pointTitle() + u"[*]"_s);
    setWindowModified(m_entries->AreValuesEdited());
}

// The chooser names what the sheets show: a point opened from Find or the recent points, or read
// back after a save, would otherwise sit beside the tag and server typed before.
void PointBuilderWindow::showOpenPoint() {
    const QString server = m_entries->Server()->Name();
    if (m_cboServer->currentText().compare(server, Qt::CaseInsensitive) != 0) selectServer(server);
    m_txtTag->setText(silently(QString(), [this] { return m_entries->GetValue(u"Tag"_s).toString(); }));
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

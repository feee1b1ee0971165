#include "PointTableWindow.h"

#include "PointBuilderMessages.h"
#include "PointBuilderSettings.h"
#include "core/Error.h"
#include "core/MessageService.h"
#include "dialogs/TagwrightDlgs.h"
#include "platform/Twips.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"
#include "table/PointTableModel.h"
#include "table/VQPointTable.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>

namespace vq {

using namespace Qt::Literals::StringLiterals;

PointTableWindow::PointTableWindow(PointBuilderSettings& settings, TagwrightDlgs& dialogs,
                                   ServerOfChoice server, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      m_settings(settings),
      m_dialogs(dialogs),
      m_server(std::move(server)),
      m_table(new VQPointTable(this)),
      m_txtTag(new QLineEdit(this)) {
    setObjectName(u"PointTableWindow"_s);
    setWindowTitle(u"Points"_s);
    setCentralWidget(m_table);
    makeToolBar();
    if (!m_settings.pointTableColumns().isEmpty()) m_table->SetColumnsText(m_settings.pointTableColumns());
    connect(m_table, &VQPointTable::ColumnsChanged, this,
            [this] { m_settings.setPointTableColumns(m_table->ColumnsText()); });
    connect(m_table, &VQPointTable::OpenPoint, this, &PointTableWindow::openPointRequested);
    connect(m_table, &VQPointTable::StatusChanged, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(m_table->model(), &QAbstractItemModel::rowsInserted, this, &PointTableWindow::showCount);
    connect(m_table->model(), &QAbstractItemModel::modelReset, this, &PointTableWindow::showCount);
    if (!restoreGeometry(m_settings.pointTableGeometry())) resize(twipsToPixels(QSize(18000, 10000)));
}

PointTableWindow::~PointTableWindow() = default;

void PointTableWindow::makeToolBar() {
    QToolBar* bar = addToolBar(u"Points"_s);
    bar->setObjectName(u"tbrPoints"_s);
    bar->setMovable(false);
    QAction* find = bar->addAction(u"&Find Points..."_s, this, &PointTableWindow::findPoints);
    find->setObjectName(u"actFindPoints"_s);
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setToolTip(u"Finds points, several at once, and adds them to the table (Ctrl+F)"_s);
    bar->addSeparator();
    auto* caption = new QLabel(u"&Tag:"_s);
    caption->setBuddy(m_txtTag);
    m_txtTag->setObjectName(u"txtAddTag"_s);
    m_txtTag->setAccessibleName(u"Tag"_s);
    m_txtTag->setToolTip(u"A tag of the chosen server to add as a row; Enter adds it"_s);
    m_txtTag->setMaximumWidth(twipsToPixels(3600));
    bar->addWidget(caption);
    bar->addWidget(m_txtTag);
    QAction* add = bar->addAction(u"&Add"_s, this, [this] { addTag(); });
    add->setObjectName(u"actAddTag"_s);
    connect(m_txtTag, &QLineEdit::returnPressed, add, &QAction::trigger);
}

int PointTableWindow::findPoints() {
    return reporting(u"PointTableWindow:Find"_s, ReportLayout::Long, 0, [this] {
        const SdkPointListPtr found = m_dialogs.ShowTagSearchDialog(m_server(), 0);
        if (!found || found->Count() == 0) return 0;
        m_table->AddPoints(*found);
        return found->Count();
    });
}

bool PointTableWindow::addTag(const QString& tag) {
    const QString typed = (tag.isEmpty() ? m_txtTag->text() : tag).trimmed();
    const SdkServerPtr server = m_server();
    if (typed.isEmpty() || !server) return false;
    const bool added = reporting(u"PointTableWindow:AddTag"_s, ReportLayout::Long, false,
                                 [&] { return m_table->AddPointByTag(server, typed); });
    if (added)
        m_txtTag->clear();
    else
        statusBar()->showMessage(
            u"%1 has no point \"%2\"; check the tag, or choose its server in the Point "
            u"Builder"_s.arg(server->Name(), typed));
    return added;
}

void PointTableWindow::showCount() {
    const int rows = m_table->model()->rowCount();
    setWindowTitle(rows == 0 ? u"Points"_s : u"Points - %1 points"_s.arg(rows));
}

// Unsaved edits are asked about as the single-point view asks: save, discard or stay.
bool PointTableWindow::mayClose() {
    const PointTableModel& model = *m_table->model();
    if (model.pendingAttributeCount() == 0) return true;
    const QString question =
        u"The Points window has %1 unsaved edits of %2 points."_s.arg(model.pendingAttributeCount())
            .arg(model.pendingPointCount());
    const int answer =
        PointBuilderMessages::choose(this, question, {u"Save"_s, u"Discard"_s, u"Cancel"_s}, 2);
    if (answer == 0) m_table->Save();
    return answer == 1 || (answer == 0 && model.pendingAttributeCount() == 0);
}

void PointTableWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    m_settings.setPointTableGeometry(saveGeometry());
    m_settings.setPointTableColumns(m_table->ColumnsText());
    QMainWindow::closeEvent(event);
}

}  // namespace vq

#include "search/VQTagSearch.h"
#include "search/VQTagSearchPrivate.h"

#include "core/Error.h"
#include "core/MessageService.h"
#include "platform/ChangeNotice.h"
#include "platform/Hourglass.h"
#include "platform/PointPropertyDialogs.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "search/SearchRunner.h"
#include "search/TagSearchQuery.h"
#include "search/TagSearchResultsModel.h"
#include "servers/Environment.h"
#include "servers/MultiServerPickList.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace vq {

namespace {

using namespace tagsearch;
using namespace tagsearchui;

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
            return true;
        default:
            return false;
    }
}

}  // namespace

QString VQTagSearchPrivate::whereClause() const {
    return toClauseText(txtWhereClause->toPlainText());
}

SdkServersPtr VQTagSearchPrivate::servers() const {
    return SdkApplication::instance()->Servers();
}

// ---------------------------------------------------------------------------------------------
// Pages, focus and keys

void VQTagSearchPrivate::SSTab1Click(int page) {
    reporting(context("SSTab1Click"), kReport, [&] {
        if (page == 0 || page == 1) {
            frameAdvancedSearchCriteria->setVisible(page == 1);
            frameSimpleSearchCriteria->setVisible(page == 0);
            m_View = page;
        }
        SetFocusToDefaultField();
        SetTabOrder();
    });
}

// Showing the page already shown changes nothing on the tab control, so the switch runs here.
void VQTagSearchPrivate::showView(int view) {
    if (SSTab1->currentIndex() == view)
        SSTab1Click(view);
    else
        SSTab1->setCurrentIndex(view);
}

void VQTagSearchPrivate::SetFocusToDefaultField() {
    reraising(context("SetFocusToDefaultField"), [this] {
        if (!q->isVisible()) return;
        QLineEdit* field = m_View == 0 ? txtTagMask : m_View == 1 ? txtSQLValue : nullptr;
        if (!field) return;
        field->setFocus();
        field->setSelection(0, int(field->text().size()));
    });
}

// Labels take no focus here; their access keys lead to the field beside them.
void VQTagSearchPrivate::SetTabOrder() {
    reporting(context("SetTabOrder"), kReport, [this] {
        const std::vector<QWidget*> simple = {MultiServerPickList1, cboPointType,   cboPointClass,
                                              txtTagMask,           txtPointSource, txtEngineeringUnits,
                                              txtDescriptor,        txtValue};
        const std::vector<QWidget*> advanced = {MultiServerPickList2, cboSQLTable, cboSQLColumn,
                                                cboSQLCondition,      txtSQLValue, cmdAddWhereClause,
                                                txtWhereClause};
        const std::vector<QWidget*> common = {stSearchResults, cmdConnections, cmdSearch,
                                              cmdReset,        cmdSelectAll,   cmdPtAttr,
                                              cmdOK,           cmdCancel,      cmdHelp};
        const auto& first = m_View == 0 ? simple : advanced;
        const auto& last = m_View == 0 ? advanced : simple;
        std::vector<QWidget*> order(first);
        order.insert(order.end(), common.begin(), common.end());
        order.insert(order.end(), last.begin(), last.end());
        for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    });
}

void VQTagSearchPrivate::setDefaultButton(int which) {
    m_defaultButton = which;
    cmdSearch->setDefault(which == SearchButton);
    cmdAddWhereClause->setDefault(which == AddButton);
}

void VQTagSearchPrivate::pressDefaultButton() {
    QPushButton* button = m_defaultButton == AddButton ? cmdAddWhereClause : cmdSearch;
    if (button->isEnabled()) button->click();
}

void VQTagSearchPrivate::txtSQLValueChange() {
    reporting(context("txtSQLValueChange"), kReport, [this] {
        const bool blank = txtSQLValue->text().trimmed().isEmpty();
        cmdAddWhereClause->setEnabled(!blank);
        setDefaultButton(blank ? SearchButton : AddButton);
    });
}

// Enter presses the default button, Ctrl+Enter breaks the line, Tab goes on to the results.
bool VQTagSearchPrivate::whereClauseKey(QKeyEvent* event) {
    if (isEnterKey(event->key())) {
        if (event->modifiers() & Qt::ControlModifier)
            txtWhereClause->insertPlainText(QStringLiteral("\n"));
        else
            pressDefaultButton();
        return true;
    }
    if (event->key() == Qt::Key_Tab && !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        reporting(context("txtWhereClauseKeyPress"), kReport,
                  [this] { stSearchResults->setFocus(Qt::TabFocusReason); });
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Lists of the criteria

void VQTagSearchPrivate::fillList(QComboBox* box, const QStringList& items) {
    {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(items);
    }
    box->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void VQTagSearchPrivate::FillPointTypeCombo() {
    reraising(context("FillPointTypeCombo"), [this] { fillList(cboPointType, pointTypes()); });
}

void VQTagSearchPrivate::FillSQLTableCombo() {
    reraising(context("FillSQLTableCombo"), [this] {
        fillList(cboSQLTable, sqlTables());
        // The refill selects without a click: the table it chose is the one the columns are for.
        m_sqlTableIndex = cboSQLTable->currentIndex();
    });
}

void VQTagSearchPrivate::FillSQLConditionCombo() {
    reraising(context("FillSQLConditionCombo"), [this] { fillList(cboSQLCondition, sqlConditions()); });
}

void VQTagSearchPrivate::FillSQLColumnCombo() {
    reraising(context("FillSQLColumnCombo"), [this] {
        const QString remembered = cboSQLTable->currentIndex() >= 0 ? cboSQLColumn->currentText() : QString();
        const QStringList columns = sqlColumns(cboSQLTable->currentText());
        int chosen = 0;
        if (!remembered.isEmpty())
            for (int i = 0; i < columns.size(); ++i)
                if (columns[i].compare(remembered, Qt::CaseInsensitive) == 0) {
                    chosen = i;
                    break;
                }
        fillList(cboSQLColumn, columns);
        if (!columns.isEmpty()) cboSQLColumn->setCurrentIndex(chosen);
    });
}

void VQTagSearchPrivate::SQLTableClick(int index) {
    reporting(context("SQLTableClick"), kReport, [&] {
        if (index == m_sqlTableIndex) return;
        m_sqlTableIndex = index;
        FillSQLColumnCombo();
    });
}

void VQTagSearchPrivate::FillPointClassCombo() {
    reraising(context("FillPointClassCombo"), [this] {
        const QString remembered =
            cboPointClass->currentIndex() >= 0 ? cboPointClass->currentText() : QString();
        std::vector<SdkServerPtr> qualifying;
        if (const SdkNamedValuesPtr chosen = MultiServerPickList1->SelectedServers()) {
            const SdkServersPtr known = servers();
            for (const SdkNamedValue& entry : *chosen) {
                const SdkServerPtr server = known->Item(entry.Name());
                if (server->IsConnected() && IsVQ32(server->Name())) qualifying.push_back(server);
            }
        }
        fillList(cboPointClass, QStringList{kStar} + gatherPointClasses(qualifying));
        const int match =
            remembered.isEmpty() ? -1 : cboPointClass->findText(remembered, Qt::MatchFixedString);
        cboPointClass->setCurrentIndex(std::max(match, 0));
    });
}

void VQTagSearchPrivate::setWhereClause(const QString& clause) {
    txtWhereClause->setPlainText(toBoxText(clause));
}

void VQTagSearchPrivate::txtWhereClauseChange() {
    reporting(context("txtWhereClauseChange"), kReport,
              [this] { frameSelectStatement->setTitle(selectStatementCaption(whereClause())); });
}

void VQTagSearchPrivate::cmdAddWhereClauseClick() {
    reporting(context("cmdAddWhereClauseClick"), kReport, [this] {
        const WhereCondition condition{cboSQLTable->currentText(), cboSQLColumn->currentText(),
                                       cboSQLCondition->currentText(), txtSQLValue->text()};
        setWhereClause(addWhereCondition(whereClause(), condition));
        txtSQLValue->clear();
    });
}

// ---------------------------------------------------------------------------------------------
// Searching

SimpleCriteria VQTagSearchPrivate::simpleCriteria() const {
    return {txtTagMask->text(),     txtDescriptor->text(),        txtEngineeringUnits->text(),
            txtPointSource->text(), cboPointClass->currentText(), cboPointType->currentText(),
            txtValue->text()};
}

void VQTagSearchPrivate::search() {
    // A search runs already (a log-on window or the servers' answers let events through); its
    // caller waits for it.
    if (m_searching) return;
    // A slot may delete the control (or its form) while the servers answer; then nothing of it
    // is touched again.
    const QPointer<VQTagSearch> control(q);
    m_searching = true;
    searchOnce(control);
    if (control) m_searching = false;
}

void VQTagSearchPrivate::searchOnce(const QPointer<VQTagSearch>& control) {
    std::optional<Hourglass> hourglass;
    try {
        SdkNamedValuesPtr chosen = MultiServerPickList1->SelectedServers();
        if (!chosen) chosen = SdkNamedValues::create();
        startOutcomes(*chosen);
        if (!dropUnconnectedServers(chosen)) {
            clearResults();
            showServerOutcomes();
            return;
        }
        if (m_View == 0 && cboPointClass->currentText() != kStar && !passesPointClassRule()) return;
        m_PointList.reset();
        m_partial = false;
        hourglass.emplace();
        beginRun();
        if (m_View == 0)
            SimpleSearch();
        else if (m_View == 1)
            AdvancedSearch();
        endRun();
        hourglass.reset();
        ListSearchResults();
    } catch (...) {
        if (!control) return;
        const Error error = currentError();
        const bool stopped = m_Runner->stopped();
        endRun();
        hourglass.reset();
        m_partial = stopped;
        if (!stopped) report(error, context("Search"), kReport);
        reporting(context("Search"), kReport, [this] { ListSearchResults(); });
    }
    cmdStop->hide();
    showServerOutcomes();
}

// While the servers answer, window events go on; the control takes no input but Stop and Esc.
void VQTagSearchPrivate::beginRun() {
    m_Runner->begin();
    qApp->installEventFilter(q);
}

void VQTagSearchPrivate::endRun() {
    qApp->removeEventFilter(q);
    m_Runner->end();
}

// True when a chosen server is left; otherwise both lists get the choice back.
bool VQTagSearchPrivate::dropUnconnectedServers(const SdkNamedValuesPtr& chosen) {
    const SdkServersPtr known = servers();
    for (const SdkNamedValue& entry : *chosen) {
        SdkServerPtr server = known->Item(entry.Name());
        if (!server->IsConnected()) ConnectOnSelect(server);
        if (server && server->IsConnected()) continue;
        MultiServerPickList1->RemoveServerFromList(entry.Name());
        MultiServerPickList2->RemoveServerFromList(entry.Name());
        if (ServerOutcome* outcome = outcomeOf(entry.Name()))
            outcome->outcome = QStringLiteral("not connected");
    }
    const SdkNamedValuesPtr left = MultiServerPickList1->SelectedServers();
    if (left && left->Count() > 0) return true;
    q->SetSelectedServers(chosen);
    return false;
}

void VQTagSearchPrivate::ConnectOnSelect(SdkServerPtr& server) {
    reporting(context("ConnectOnSelect"), kReport, [&] {
        if (!m_ConnectDialog) m_ConnectDialog = SdkConnectDialog::create();
        m_ConnectDialog->Logon(server, QStringLiteral("vqadmin"), QString(), false, false);
    });
}

// Servers that cannot restrict a search by point class are left out, each after asking.
bool VQTagSearchPrivate::passesPointClassRule() {
    const SdkNamedValuesPtr chosen = MultiServerPickList1->SelectedServers();
    if (!IsVQ32(QString())) {
        messageService().show(kVersionText, MessageButtons::Ok, kVersionTitle + u'.');
        const SdkNamedValuesPtr left = MultiServerPickList1->SelectedServers();
        if (!left || left->Count() == 0) q->SetSelectedServers(chosen);
        return false;
    }
    QStringList names;
    for (const SdkNamedValue& entry : *chosen) names << entry.Name();
    for (const QString& name : names) {
        QString serverName = name;
        if (IsVQ32(serverName)) continue;
        const QString text =
            kVersionText + QStringLiteral("  Server ") + name + QStringLiteral(" will not be searched.");
        if (messageService().show(text, MessageButtons::OkCancel, kVersionTitle) == MessageResult::Cancel)
            return false;
        MultiServerPickList1->RemoveServerFromList(name);
        MultiServerPickList2->RemoveServerFromList(name);
        if (ServerOutcome* outcome = outcomeOf(name))
            outcome->outcome = QStringLiteral("not searched (no point classes)");
    }
    return true;
}

bool VQTagSearchPrivate::IsVQ32(const QString& serverName) {
    return reraising(context("IsVQ32"), [&] {
        const SdkServersPtr known = servers();
        if (!serverName.isEmpty()) return qualifiesForPointClass(*known->Item(serverName));
        const SdkNamedValuesPtr chosen = MultiServerPickList1->SelectedServers();
        if (!chosen) return false;
        for (const SdkNamedValue& entry : *chosen)
            if (qualifiesForPointClass(*known->Item(entry.Name()))) return true;
        return false;
    });
}

// The clauses' own errors already name SimpleSearch as their source.
void VQTagSearchPrivate::SimpleSearch() {
    const SimpleClauses clauses = simpleSearchClauses(simpleCriteria());
    reraising(context("SimpleSearch"), [&] {
        SdkNamedValues tables;
        GetExtraServerTables(clauses.first, tables);
        QStringList sent{clauses.first};
        if (!clauses.second.trimmed().isEmpty()) sent << clauses.second;
        searchServers(sent, tables);
    });
}

void VQTagSearchPrivate::AdvancedSearch() {
    reraising(context("AdvancedSearch"), [this] {
        const QString clause = advancedSearchClause(whereClause());
        SdkNamedValues tables;
        GetExtraServerTables(clause, tables);
        searchServers({clause}, tables);
    });
}

// Server after server in the choice's order, each clause in turn; an error ends the loop and
// keeps what was found. The next query starts once the previous one has answered and runs while
// that answer is merged, so merging a large answer costs no extra time.
void VQTagSearchPrivate::searchServers(const QStringList& clauses, const SdkNamedValues& tables) {
    const SdkNamedValuesPtr chosen = MultiServerPickList1->SelectedServers();
    if (!chosen) return;
    const SdkServersPtr known = servers();
    std::vector<SearchJob> jobs;
    for (const SdkNamedValue& entry : *chosen) {
        const SdkServerPtr server = known->Item(entry.Name());
        const size_t outcome = outcomeIndex(entry.Name());
        if (!server->IsConnected()) {
            m_Outcomes[outcome].outcome = QStringLiteral("not connected");
            continue;
        }
        for (int i = 0; i < clauses.size(); ++i)
            jobs.push_back({server, clauses[i], outcome, i + 1 == clauses.size()});
    }
    if (jobs.empty()) return;
    startJob(jobs.front(), tables);
    for (size_t j = 0; j < jobs.size(); ++j) {
        SdkPointListPtr found = finishJob(jobs[j]);
        if (j + 1 < jobs.size()) startJob(jobs[j + 1], tables);
        try {
            AddToPointList(found ? std::move(found) : SdkPointList::create());
        } catch (...) {
            if (j + 1 < jobs.size()) silently(SdkPointListPtr(), [this] { return m_Runner->wait(); });
            throw;
        }
    }
}

void VQTagSearchPrivate::startJob(const SearchJob& job, const SdkNamedValues& tables) {
    m_Runner->start(job.server, [server = job.server, clause = job.clause, tables] {
        return GetPointsSQLWrapper(*server, clause, tables);
    });
}

SdkPointListPtr VQTagSearchPrivate::finishJob(const SearchJob& job) {
    const QPointer<SearchRunner> runner(m_Runner);  // deleted with the control while it waits
    try {
        SdkPointListPtr found = m_Runner->wait();
        ServerOutcome& outcome = m_Outcomes[job.outcome];
        outcome.points += found ? found->Count() : 0;
        outcome.answered = job.lastClause;
        return found;
    } catch (...) {
        if (!runner) throw;
        m_Outcomes[job.outcome].outcome =
            m_Runner->stopped() ? QStringLiteral("stopped")
                                : currentError().description().section(QStringLiteral("\r\n"), 0, 0);
        throw;
    }
}

void VQTagSearchPrivate::AddToPointList(const SdkPointListPtr& list) {
    reraising(context("AddToPointList"), [&] {
        if (!list) return;
        if (!m_PointList)
            m_PointList = list;
        else if (list.use_count() == 1)  // an answer no one else holds: taken over, not copied
            m_PointList->Append(std::move(*list));
        else
            m_PointList->Append(*list);
    });
}

void VQTagSearchPrivate::startOutcomes(const SdkNamedValues& chosen) {
    m_Outcomes.clear();
    for (const SdkNamedValue& entry : chosen) m_Outcomes.push_back({entry.Name(), {}});
}

ServerOutcome* VQTagSearchPrivate::outcomeOf(const QString& server) {
    for (ServerOutcome& outcome : m_Outcomes)
        if (outcome.server.compare(server, Qt::CaseInsensitive) == 0) return &outcome;
    return nullptr;
}

size_t VQTagSearchPrivate::outcomeIndex(const QString& server) {
    if (ServerOutcome* outcome = outcomeOf(server)) return size_t(outcome - m_Outcomes.data());
    m_Outcomes.push_back({server, {}});
    return m_Outcomes.size() - 1;
}

void VQTagSearchPrivate::showLongSearch() {
    cmdStop->show();
    statServerResults->setText(
        QStringLiteral("Searching... (Esc or Stop ends the search and keeps what it found)"));
}

// No server could be reached: rows of an earlier search would sit under this search's outcome.
void VQTagSearchPrivate::clearResults() {
    m_PointList.reset();
    ListSearchResults();
}

// "vqsouth 1000 · vqnorth 234 · vqlegacy: not connected", so that a server that failed is never
// taken for one without matches. Counts are plain decimal, as the list count beside them.
void VQTagSearchPrivate::showServerOutcomes() {
    QStringList parts;
    for (const ServerOutcome& outcome : m_Outcomes) {
        if (outcome.answered)
            parts << outcome.server + u' ' + QString::number(outcome.points);
        else
            parts << outcome.server + QStringLiteral(": ") +
                         (outcome.outcome.isEmpty() ? QStringLiteral("not searched") : outcome.outcome);
    }
    QString text = parts.join(QStringLiteral(" \u00b7 "));
    if (m_partial) text += QStringLiteral(" \u2014 stopped: the list is partial");
    statServerResults->setText(text);
}

// ---------------------------------------------------------------------------------------------
// Results

void VQTagSearchPrivate::ListSearchResults() {
    reraising(context("ListSearchResults"), [this] {
        if (!m_PointList) {
            m_Rows->setList(nullptr);
            cmdSelectAll->setEnabled(false);
            statSearchResults->setText(kListCount + u'0');
            return;
        }
        const int count = m_PointList->Count();
        cmdSelectAll->setEnabled(count >= 1 && m_SearchResultsMultiselect);
        m_Rows->setList(m_PointList);
        statSearchResults->setText(kListCount + QString::number(count));
    });
}

void VQTagSearchPrivate::SelectTopListItem() {
    reraising(context("SelectTopListItem"), [this] {
        if (m_Rows->rowCount() == 0) {
            cmdPtAttr->setEnabled(false);
            return;
        }
        stSearchResults->selectionModel()->select(m_Rows->index(0, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        updatePtAttr();
    });
}

void VQTagSearchPrivate::cmdSelectAllClick() {
    reporting(context("cmdSelectAllClick"), kReport, [this] {
        const int rows = m_Rows->rowCount();
        if (m_SearchResultsMultiselect && rows > 0) {
            const QItemSelection all(m_Rows->index(0, 0),
                                     m_Rows->index(rows - 1, TagSearchResultsModel::ColumnCount - 1));
            stSearchResults->selectionModel()->select(all, QItemSelectionModel::Select);
        }
        updatePtAttr();
    });
}

void VQTagSearchPrivate::selectionChanged() {
    reporting(context("stSearchResultsClick"), kReport, [this] { updatePtAttr(); });
}

void VQTagSearchPrivate::updatePtAttr() {
    cmdPtAttr->setEnabled(stSearchResults->selectionModel()->hasSelection());
}

// Selected rows top to bottom, each once, read from the selection's ranges so that a million
// selected rows need no index per row.
std::vector<int> VQTagSearchPrivate::selectedRows() const {
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& range : stSearchResults->selectionModel()->selection())
        ranges.emplace_back(range.top(), range.bottom());
    std::sort(ranges.begin(), ranges.end());
    std::vector<int> rows;
    int next = 0;  // ranges may overlap: a row is taken once
    for (const auto& [top, bottom] : ranges) {
        for (int row = std::max(top, next); row <= bottom; ++row) rows.push_back(row);
        next = std::max(next, bottom + 1);
    }
    return rows;
}

SdkPointListPtr VQTagSearchPrivate::pointListSelection() {
    return reraising(context("GetPointListSelection"), [this] {
        auto selection = SdkPointList::create();
        const std::vector<int> rows = selectedRows();
        if (!rows.empty() && !m_PointList)
            throw Error(sdkerr::PointUnknown, QStringLiteral("VQTagSearch"),
                        QStringLiteral("No search results are listed"));
        // A row of the listed points is that point; a row of another list is found by its path.
        const bool listed = m_Rows->list() == m_PointList;
        const QString prefix = QStringLiteral("\\\\");
        const auto positionOf = [&](int row) {
            if (listed) return row + 1;
            const QString path = prefix + m_Rows->cellText(row, 0) + u'\\' + m_Rows->cellText(row, 1);
            const int position = m_PointList->Position(path);
            if (position == 0) m_PointList->Item(path);  // raises the list's own error
            return position;
        };
        for (int row : rows) selection->AddItem(*m_PointList, positionOf(row));
        m_LastSelection = selection;
        return selection;
    });
}

// A modal report in the middle of painting would paint again and report again; it waits until
// painting is over, once per row.
void VQTagSearchPrivate::reportRow(int row, const Error& error) {
    const int direct = m_PointList ? m_PointList->Count() : 0;
    const int viaGetter = q->PointList() ? q->PointList()->Count() : 0;
    const QString where =
        QStringLiteral("VQTagSearch:stSearchResultsVirtualItem (RowIndex=%1 m_PointList.Count=%2 or %3)")
            .arg(row)
            .arg(direct)
            .arg(viaGetter);
    QTimer::singleShot(0, q, [error, where] { report(error, where, kReport); });
}

void VQTagSearchPrivate::applyColumnWidths() {
    for (int column = 0; column < TagSearchResultsModel::ColumnCount; ++column)
        stSearchResults->setColumnWidth(column, twipsToPixels(kColumnTwips[column]));
}

// ---------------------------------------------------------------------------------------------
// Buttons

void VQTagSearchPrivate::cmdSearchClick() {
    const QPointer<VQTagSearch> control(q);
    search();
    if (!control) return;
    reporting(context("cmdSearchClick"), kReport, [this] { SelectTopListItem(); });
}

void VQTagSearchPrivate::cmdResetClick() {
    reporting(context("cmdResetClick"), kReport, [this] { q->Reset(); });
}

void VQTagSearchPrivate::cmdOKClick() {
    reporting(context("cmdOKClick"), kReport,
              [this] { Q_EMIT q->OnPointListSelection(pointListSelection()); });
}

void VQTagSearchPrivate::cmdPtAttrClick() {
    reporting(context("cmdPtAttrClick"), kReport, [this] {
        SdkPointListPtr chosen;
        {
            const Hourglass wait;
            chosen = pointListSelection();
        }
        if (const auto dialogs = services().pointPropertyDialogs) dialogs->ShowVQPointPropertySheet(chosen);
    });
}

void VQTagSearchPrivate::cmdConnectionsClick() {
    reporting(context("cmdConnectionsClick"), kReport, [this] {
        if (!m_ConnectDialog) m_ConnectDialog = SdkConnectDialog::create();
        m_ConnectDialog->ConnectionManager(false, true);
    });
}

void VQTagSearchPrivate::cmdHelpClick() {
    reporting(context("cmdHelpClick"), kReport,
              [] { ShowHelpTopic(kPointSearchHelpFile, kPointSearchHelpTopic); });
}

void VQTagSearchPrivate::ResetSimpleSearch() {
    reraising(context("ResetSimpleSearch"), [this] {
        for (QLineEdit* box : {txtTagMask, txtDescriptor, txtPointSource, txtEngineeringUnits, txtValue})
            box->setText(kStar);
        cboPointType->setCurrentIndex(0);
        cboPointClass->setCurrentIndex(std::max(cboPointClass->findText(kStar), 0));
    });
}

void VQTagSearchPrivate::ResetAdvancedSearch() {
    reraising(context("ResetAdvancedSearch"), [this] {
        FillSQLTableCombo();
        FillSQLColumnCombo();
        FillSQLConditionCombo();
        cmdAddWhereClause->setEnabled(false);
        txtSQLValue->clear();
        txtWhereClause->clear();
    });
}

// =============================================================================================

VQTagSearch::VQTagSearch(QWidget* parent) : QWidget(parent), d(std::make_unique<VQTagSearchPrivate>(this)) {
    d->buildChildren();
    d->layoutChildren();
    d->connectChildren();
    d->Initialize();
}

VQTagSearch::~VQTagSearch() {
    if (d->m_Runner->isRunning()) d->m_Runner->stop();
}

SdkNamedValuesPtr VQTagSearch::SelectedServers() const {
    return d->MultiServerPickList1->SelectedServers();
}

void VQTagSearch::SetSelectedServers(const SdkNamedValuesPtr& servers) {
    reraising(context("SetSelectedServer"), [&] {
        d->m_coupling = true;
        d->MultiServerPickList1->SetSelectedServers(servers);
        d->MultiServerPickList2->SetSelectedServers(servers);
        d->m_coupling = false;
        d->FillPointClassCombo();
    });
}

bool VQTagSearch::SearchResultsMultiselect() const {
    return d->m_SearchResultsMultiselect;
}

void VQTagSearch::SetSearchResultsMultiselect(bool multiselect) {
    const ChangeNotice notice(this, &VQTagSearch::SearchResultsMultiselect,
                              &VQTagSearch::SearchResultsMultiselectChanged);
    d->m_SearchResultsMultiselect = multiselect;
    d->stSearchResults->setSelectionMode(multiselect ? QAbstractItemView::ExtendedSelection
                                                     : QAbstractItemView::SingleSelection);
    Q_EMIT PropertyChanged(QStringLiteral("SearchResultsMultiselect"));
}

bool VQTagSearch::VQServerPickListEnabled() const {
    return d->m_VQServerPickListEnabled;
}

void VQTagSearch::SetVQServerPickListEnabled(bool enabled) {
    const ChangeNotice notice(this, &VQTagSearch::VQServerPickListEnabled,
                              &VQTagSearch::VQServerPickListEnabledChanged);
    reraising(context("LetVQServerPickListEnabled"), [&] {
        d->m_VQServerPickListEnabled = enabled;
        d->MultiServerPickList1->SetEnabled(enabled);
        d->MultiServerPickList2->SetEnabled(enabled);
        Q_EMIT PropertyChanged(QStringLiteral("VQServerPickListEnabled"));
    });
}

#define VQ_TAGSEARCH_TEXT_PROPERTY(Property, field, box)    \
    QString VQTagSearch::Property() const {                 \
        return d->box->text();                              \
    }                                                       \
    void VQTagSearch::Set##Property(const QString& value) { \
        d->m_Stored.field = value;                          \
        d->box->setText(value);                             \
        Q_EMIT PropertyChanged(QStringLiteral(#Property));  \
    }

VQ_TAGSEARCH_TEXT_PROPERTY(TagMask, tagMask, txtTagMask)
VQ_TAGSEARCH_TEXT_PROPERTY(DescriptorMask, descriptorMask, txtDescriptor)
VQ_TAGSEARCH_TEXT_PROPERTY(PointSourceMask, pointSourceMask, txtPointSource)
VQ_TAGSEARCH_TEXT_PROPERTY(EngineeringUnitsMask, engineeringUnitsMask, txtEngineeringUnits)
VQ_TAGSEARCH_TEXT_PROPERTY(ValueMask, valueMask, txtValue)
#undef VQ_TAGSEARCH_TEXT_PROPERTY

QString VQTagSearch::PointClassMask() const {
    return d->cboPointClass->currentText();
}

void VQTagSearch::SetPointClassMask(const QString& mask) {
    reraising(context("LetPointClassMask"), [&] {
        d->m_Stored.pointClassMask = mask;
        const int match = d->cboPointClass->findText(mask, Qt::MatchFixedString);
        d->cboPointClass->setCurrentIndex(std::max(match, 0));
        Q_EMIT PropertyChanged(QStringLiteral("PointClassMask"));
    });
}

int VQTagSearch::PointTypeMask() const {
    return d->cboPointType->currentIndex();
}

void VQTagSearch::SetPointTypeMask(int index) {
    d->m_Stored.pointTypeMask = index;
    d->cboPointType->setCurrentIndex(index);
    Q_EMIT PropertyChanged(QStringLiteral("PointTypeMask"));
}

int VQTagSearch::TagSearchView() const {
    return d->SSTab1->currentIndex();
}

void VQTagSearch::SetTagSearchView(int view) {
    reraising(context("LetTagSearchView"), [&] {
        d->m_Stored.tagSearchView = view;
        d->showView(view);
        Q_EMIT PropertyChanged(QStringLiteral("TagSearchView"));
    });
}

QString VQTagSearch::AdvancedWhereClause() const {
    return d->whereClause();
}

void VQTagSearch::SetAdvancedWhereClause(const QString& clause) {
    d->m_Stored.advancedWhereClause = clause;
    d->setWhereClause(clause);
    Q_EMIT PropertyChanged(QStringLiteral("AdvancedWhereClause"));
}

int VQTagSearch::SQLTableComboIndex() const {
    return d->cboSQLTable->currentIndex();
}

void VQTagSearch::SetSQLTableComboIndex(int index) {
    d->cboSQLTable->setCurrentIndex(index);
}

int VQTagSearch::SQLColumnComboIndex() const {
    return d->cboSQLColumn->currentIndex();
}

void VQTagSearch::SetSQLColumnComboIndex(int index) {
    d->cboSQLColumn->setCurrentIndex(index);
}

int VQTagSearch::SQLConditionComboIndex() const {
    return d->cboSQLCondition->currentIndex();
}

void VQTagSearch::SetSQLConditionComboIndex(int index) {
    d->cboSQLCondition->setCurrentIndex(index);
}

QString VQTagSearch::AdvancedSQLValue() const {
    return d->txtSQLValue->text();
}

void VQTagSearch::SetAdvancedSQLValue(const QString& value) {
    d->txtSQLValue->setText(value);
}

SdkPointListPtr VQTagSearch::PointList() const {
    return d->m_PointList;
}

void VQTagSearch::SetPointList(const SdkPointListPtr& list) {
    d->m_PointList = list;
    d->ListSearchResults();
}

SdkPointListPtr VQTagSearch::PointListSelection() {
    return d->pointListSelection();
}

void VQTagSearch::search() {
    d->search();
}

void VQTagSearch::Stop() {
    d->m_Runner->stop();
}

bool VQTagSearch::isSearching() const {
    return d->m_searching;
}

void VQTagSearch::Reset() {
    reraising(context("Reset"), [this] {
        d->showView(d->m_View);
        d->ResetSimpleSearch();
        d->ResetAdvancedSearch();
        ResetSearchResultsList();
        d->cmdPtAttr->setEnabled(false);
        d->cmdSelectAll->setEnabled(false);
    });
}

void VQTagSearch::ClearSelectedTags() {
    reporting(context("ClearSelectedTags"), kReport, [this] {
        d->stSearchResults->selectionModel()->clearSelection();
        d->updatePtAttr();
    });
}

void VQTagSearch::ResetSearchResultsList() {
    reraising(context("ResetSearchResultsList"), [this] {
        d->statSearchResults->setText(kListCount + u'0');
        d->statServerResults->clear();
        d->m_PointList = SdkPointList::create();
        d->m_Rows->setList(d->m_PointList);
        d->cmdPtAttr->setEnabled(false);
        d->applyColumnWidths();
    });
}

void VQTagSearch::RemoveDisallowedSearchResults() {
    silently(false, [this] {
        if (d->m_VQServerPickListEnabled || !d->m_PointList) return false;
        const SdkPointList& found = *d->m_PointList;
        auto allowed = SdkPointList::create();
        for (int position = 1; position <= found.Count(); ++position)
            if (d->MultiServerPickList1->IsServerSelected(found.ServerName(position)))
                allowed->AddItem(found, position);
        SetPointList(allowed);
        return true;
    });
}

void VQTagSearch::InitProperties() {
    reporting(context("InitProperties"), kReport, [this] {
        initStoredProperties(*this, VQTagSearchPrivate::persistedNotes());
        d->m_initialised = true;
    });
}

void VQTagSearch::ReadProperties(const PropertyBag& bag) {
    reporting(context("ReadProperties"), kReport,
              [&] { readStoredProperties(*this, bag, VQTagSearchPrivate::persistedNotes()); });
}

void VQTagSearch::WriteProperties(PropertyBag& bag) const {
    reporting(context("WriteProperties"), kReport,
              [&] { writeStoredProperties(*this, bag, VQTagSearchPrivate::persistedNotes()); });
}

// Enter presses the default button; Esc stops a running search. Everything else the user does
// to the control waits until the search is over, so that a search never runs twice at once.
bool VQTagSearch::eventFilter(QObject* watched, QEvent* event) {
    if (d->m_Runner->isRunning() && isUserInput(event->type())) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == this || isAncestorOf(widget)) && widget != d->cmdStop) {
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                Stop();
            return true;
        }
        return false;
    }
    if (watched == d->txtSQLValue &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool adds = event->type() == QEvent::FocusIn && !d->txtSQLValue->text().trimmed().isEmpty();
        d->setDefaultButton(adds ? AddButton : SearchButton);
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == d->txtWhereClause) return d->whereClauseKey(key);
    if (watched == d->txtSQLValue && isEnterKey(key->key())) {
        d->pressDefaultButton();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void VQTagSearch::keyPressEvent(QKeyEvent* event) {
    if (isEnterKey(event->key()) && !(event->modifiers() & Qt::ControlModifier)) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        else
            d->pressDefaultButton();
        return;
    }
    QWidget::keyPressEvent(event);
}

void VQTagSearch::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (d->m_painted) return;
    d->m_painted = true;
    QMetaObject::invokeMethod(
        this,
        [this] { reporting(context("UserControlPaint"), kReport, [this] { d->SetFocusToDefaultField(); }); },
        Qt::QueuedConnection);
}

}  // namespace vq

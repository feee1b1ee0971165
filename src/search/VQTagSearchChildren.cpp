#include "search/VQTagSearch.h"
#include "search/VQTagSearchPrivate.h"

#include "platform/AccessibleNames.h"
#include "platform/NamedChild.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkServers.h"
#include "search/ElidedLabel.h"
#include "search/SearchRunner.h"
#include "search/TagSearchResultsModel.h"
#include "servers/MultiServerPickList.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace vq {

namespace {

using namespace tagsearchui;

QLabel* label(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
    auto* result = named<QLabel>(parent, name, caption);
    if (buddy) result->setBuddy(buddy);
    return result;
}

}  // namespace

VQTagSearchPrivate::VQTagSearchPrivate(VQTagSearch* q)
    : q(q), m_Runner(new SearchRunner(q)), m_Rows(new TagSearchResultsModel(q)) {}

// ---------------------------------------------------------------------------------------------
// Building

void VQTagSearchPrivate::buildChildren() {
    SSTab1 = named<QTabWidget>(q, "SSTab1");
    auto* simplePage = new QWidget;
    auto* advancedPage = new QWidget;
    SSTab1->addTab(simplePage, QStringLiteral("Si&mple Search"));
    SSTab1->addTab(advancedPage, QStringLiteral(" Ad&vanced Search"));
    buildSimplePage(simplePage);
    buildAdvancedPage(advancedPage);
    buildResults();
    // The page not shown hides its frame; it still counts when the control sizes itself, or the
    // other page would be squeezed into the first one's width.
    for (QGroupBox* frame : {frameSimpleSearchCriteria, frameAdvancedSearchCriteria}) {
        QSizePolicy policy = frame->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        frame->setSizePolicy(policy);
    }
    cmdSearch = named<QPushButton>(q, "cmdSearch", QStringLiteral("&Search"));
    cmdReset = named<QPushButton>(q, "cmdReset", QStringLiteral("&Reset"));
    cmdSelectAll = named<QPushButton>(q, "cmdSelectAll", QStringLiteral("Se&lect All"));
    cmdPtAttr = named<QPushButton>(q, "cmdPtAttr", QStringLiteral("&Pt. Attr..."));
    cmdConnections = named<QPushButton>(q, "cmdConnections", QStringLiteral("&Connections..."));
    cmdOK = named<QPushButton>(q, "cmdOK", QStringLiteral("OK"));
    cmdCancel = named<QPushButton>(q, "cmdCancel", QStringLiteral("Cancel"));
    cmdHelp = named<QPushButton>(q, "cmdHelp", QStringLiteral("&Help"));
    for (QPushButton* button : q->findChildren<QPushButton*>()) button->setAutoDefault(false);
    describeChildren();
}

// What a screen reader says for each child the keyboard reaches: fields are named by their
// captions; the rest, and every description, are given here in one table.
void VQTagSearchPrivate::describeChildren() {
    nameFieldsByCaptions(q);
    SSTab1->setTabToolTip(0, QStringLiteral("Find points by masks of their tag and other attributes"));
    SSTab1->setTabToolTip(1, QStringLiteral("Find points with a where clause built or typed here"));
    struct Spoken {
        QWidget* widget;
        const char* name;  // null: the caption of its label
        const char* description;
    };
    const Spoken spoken[] = {
        {SSTab1, "Search pages", "Simple masks or an advanced where clause"},
        {SSTab1->tabBar(), "Search pages", "Chooses how points are found"},
        {txtTagMask, nullptr, "Tags to find; * stands for any text, ? for one character"},
        {txtDescriptor, nullptr, "Descriptors to find; * stands for any text"},
        {txtPointSource, nullptr, "Point sources to find; * stands for any text"},
        {txtEngineeringUnits, nullptr, "Engineering units to find; * stands for any text"},
        {cboPointType, nullptr, "The point type to find, or any"},
        {cboPointClass, nullptr, "The point class to find, or any"},
        {txtValue, nullptr, "Current values to find; * stands for any text"},
        {cboSQLTable, "Table", "The table of the column in the condition"},
        {cboSQLColumn, "Column", "The column the condition tests"},
        {cboSQLCondition, "Condition", "How the column is compared with the value"},
        {txtSQLValue, "Condition value", "The value the column is compared with"},
        {cmdAddWhereClause, nullptr, "Adds the condition to the where clause"},
        {txtWhereClause, nullptr, "The where clause the advanced search runs"},
        {stSearchResults, "Search results",
         "The points found; OK or a double click hands the selected ones over, Enter searches again"},
        {statSearchResults, nullptr, "How many points were found"},
        {statServerResults, "Servers searched", "What each server answered"},
        {cmdSearch, nullptr, "Runs the search on the chosen servers"},
        {cmdReset, nullptr, "Clears the criteria and the results"},
        {cmdSelectAll, nullptr, "Selects every point found"},
        {cmdPtAttr, nullptr, "Shows the attributes of the selected point"},
        {cmdConnections, nullptr, "Opens the connection manager"},
        {cmdOK, nullptr, "Hands the selected points over"},
        {cmdCancel, nullptr, "Closes without choosing points"},
        {cmdHelp, nullptr, "Shows help on the point search"},
        {cmdStop, nullptr, "Stops the search and keeps what it found so far"},
    };
    for (const Spoken& item : spoken) {
        if (item.name) item.widget->setAccessibleName(QString::fromLatin1(item.name));
        item.widget->setAccessibleDescription(QString::fromLatin1(item.description));
    }
}

void VQTagSearchPrivate::buildSimplePage(QWidget* page) {
    frameSimpleSearchCriteria =
        named<QGroupBox>(page, "frameSimpleSearchCriteria", QStringLiteral("Search Criteria"));
    QWidget* f = frameSimpleSearchCriteria;
    MultiServerPickList1 = named<MultiServerPickList>(f, "MultiServerPickList1");
    txtTagMask = named<QLineEdit>(f, "txtTagMask");
    txtDescriptor = named<QLineEdit>(f, "txtDescriptor");
    txtPointSource = named<QLineEdit>(f, "txtPointSource");
    txtEngineeringUnits = named<QLineEdit>(f, "txtEngineeringUnits");
    cboPointType = named<QComboBox>(f, "cboPointType");
    cboPointClass = named<QComboBox>(f, "cboPointClass");
    txtValue = named<QLineEdit>(f, "txtValue");
    lblVQServer1 = label(f, "lblVQServer1", QStringLiteral("V&Q Server:"), MultiServerPickList1);
    lblTagMask = label(f, "lblTagMask", QStringLiteral("&Tag Mask:"), txtTagMask);
    lblDescriptor = label(f, "lblDescriptor", QStringLiteral("&Descriptor"), txtDescriptor);
    lblPointSource = label(f, "lblPointSource", QStringLiteral("P&oint Source:"), txtPointSource);
    lblEngineeringUnits =
        label(f, "lblEngineeringUnits", QStringLiteral("Engineering Units:"), txtEngineeringUnits);
    lblPointType = label(f, "lblPointType", QStringLiteral("Point Type:"), cboPointType);
    lblPointClass = label(f, "lblPointClass", QStringLiteral("Point Class:"), cboPointClass);
    lblValue = label(f, "lblValue", QStringLiteral("Value:"), txtValue);

    auto* grid = new QGridLayout(f);
    const std::pair<QLabel*, QWidget*> rows[] = {
        {lblVQServer1, MultiServerPickList1}, {lblPointType, cboPointType},
        {lblPointClass, cboPointClass},       {lblTagMask, txtTagMask},
        {lblPointSource, txtPointSource},     {lblEngineeringUnits, txtEngineeringUnits},
        {lblDescriptor, txtDescriptor},       {lblValue, txtValue},
    };
    int row = 0;
    for (const auto& [caption, field] : rows) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    (new QVBoxLayout(page))->addWidget(f);
}

void VQTagSearchPrivate::buildAdvancedPage(QWidget* page) {
    frameAdvancedSearchCriteria =
        named<QGroupBox>(page, "frameAdvancedSearchCriteria", QStringLiteral("Search Criteria"));
    QWidget* f = frameAdvancedSearchCriteria;
    MultiServerPickList2 = named<MultiServerPickList>(f, "MultiServerPickList2");
    lblVQServer2 = label(f, "lblVQServer2", QStringLiteral("V&Q Server:"), MultiServerPickList2);
    cboSQLTable = named<QComboBox>(f, "cboSQLTable");
    cboSQLColumn = named<QComboBox>(f, "cboSQLColumn");
    cboSQLCondition = named<QComboBox>(f, "cboSQLCondition");
    txtSQLValue = named<QLineEdit>(f, "txtSQLValue");
    // Lists as wide as their items leave the value box what remains: it keeps room for a typical
    // value in its own font.
    txtSQLValue->setMinimumWidth(txtSQLValue->sizeHint().width());
    cmdAddWhereClause = named<QPushButton>(f, "cmdAddWhereClause", QStringLiteral("Add"));
    Label10 = named<QLabel>(f, "Label10", QString());
    frameSelectStatement = named<QGroupBox>(f, "frameSelectStatement", kSelectStatement);
    txtWhereClause = named<QPlainTextEdit>(frameSelectStatement, "txtWhereClause");
    lblWhere = label(f, "lblWhere", QStringLiteral("&WHERE"), txtWhereClause);
    // A few lines of clause; the results get the height that is left.
    txtWhereClause->setFixedHeight(txtWhereClause->fontMetrics().lineSpacing() * 5 +
                                   2 * txtWhereClause->frameWidth() + 8);

    auto* server = new QHBoxLayout;
    server->addWidget(lblVQServer2);
    server->addWidget(MultiServerPickList2, 1);
    auto* condition = new QHBoxLayout;
    condition->addWidget(lblWhere);
    condition->addWidget(cboSQLTable);
    condition->addWidget(cboSQLColumn);
    condition->addWidget(cboSQLCondition);
    condition->addWidget(txtSQLValue, 1);
    condition->addWidget(cmdAddWhereClause);
    (new QVBoxLayout(frameSelectStatement))->addWidget(txtWhereClause);
    auto* layout = new QVBoxLayout(f);
    layout->addLayout(server);
    layout->addLayout(condition);
    layout->addWidget(Label10);
    layout->addWidget(frameSelectStatement);
    layout->addStretch(1);
    (new QVBoxLayout(page))->addWidget(f);
}

void VQTagSearchPrivate::buildResults() {
    frameSearchResults = named<QGroupBox>(q, "frameSearchResults", QStringLiteral("Search Results"));
    stSearchResults = named<QTableView>(frameSearchResults, "stSearchResults");
    stSearchResults->setModel(m_Rows);
    stSearchResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    stSearchResults->setSelectionMode(QAbstractItemView::ExtendedSelection);
    stSearchResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stSearchResults->setShowGrid(false);
    stSearchResults->setWordWrap(false);
    stSearchResults->setCornerButtonEnabled(false);
    // Tab enters the list and leaves it again, rather than walking its cells.
    stSearchResults->setTabKeyNavigation(false);
    // A fixed row height lets the view place a million rows without asking each one.
    QHeaderView* rows = stSearchResults->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(stSearchResults->fontMetrics().height() + 4);
    rows->hide();
    stSearchResults->horizontalHeader()->setHighlightSections(false);
    // The wide last column's header starts where its texts do, not out of sight in its middle.
    stSearchResults->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    stSearchResults->horizontalHeader()->setStretchLastSection(false);
    statSearchResults = named<QLabel>(frameSearchResults, "statSearchResults", kListCount + u'0');
    // A long status is cut to the width the dialog has, rather than widening the dialog.
    statServerResults = named<ElidedLabel>(frameSearchResults, "statServerResults", QString());
    cmdStop = named<QPushButton>(frameSearchResults, "cmdStop", QStringLiteral("Stop"));
    cmdStop->setToolTip(QStringLiteral("Stop the search and keep what it found so far (Esc)"));
    cmdStop->hide();
    m_Rows->setRowErrorHandler([this](int row, const Error& error) { reportRow(row, error); });
}

void VQTagSearchPrivate::layoutChildren() {
    auto* status = new QHBoxLayout;
    status->addWidget(statSearchResults);
    status->addWidget(statServerResults, 1);
    status->addWidget(cmdStop);
    auto* results = new QVBoxLayout(frameSearchResults);
    results->addWidget(stSearchResults, 1);
    results->addLayout(status);

    auto* commands = new QVBoxLayout;
    for (QPushButton* button : {cmdSearch, cmdReset, cmdSelectAll, cmdPtAttr, cmdConnections})
        commands->addWidget(button);
    commands->addStretch(1);
    auto* criteria = new QHBoxLayout;
    criteria->addWidget(SSTab1, 1);
    criteria->addLayout(commands);

    auto* closing = new QHBoxLayout;
    closing->addStretch(1);
    for (QPushButton* button : {cmdOK, cmdCancel, cmdHelp}) closing->addWidget(button);

    auto* layout = new QVBoxLayout(q);
    layout->addLayout(criteria);
    layout->addWidget(frameSearchResults, 1);
    layout->addLayout(closing);
}

void VQTagSearchPrivate::connectChildren() {
    QObject::connect(SSTab1, &QTabWidget::currentChanged, q, [this](int page) { SSTab1Click(page); });
    QObject::connect(MultiServerPickList1, &MultiServerPickList::OnSelection, q,
                     [this] { couple(MultiServerPickList1, MultiServerPickList2); });
    QObject::connect(MultiServerPickList2, &MultiServerPickList::OnSelection, q,
                     [this] { couple(MultiServerPickList2, MultiServerPickList1); });
    QObject::connect(cboSQLTable, &QComboBox::currentIndexChanged, q,
                     [this](int index) { SQLTableClick(index); });
    QObject::connect(txtSQLValue, &QLineEdit::textChanged, q, [this] { txtSQLValueChange(); });
    QObject::connect(txtWhereClause, &QPlainTextEdit::textChanged, q, [this] { txtWhereClauseChange(); });
    // The properties read the children on screen, so the children's own change signals notify.
    const std::pair<QLineEdit*, void (VQTagSearch::*)()> boxes[] = {
        {txtTagMask, &VQTagSearch::TagMaskChanged},
        {txtDescriptor, &VQTagSearch::DescriptorMaskChanged},
        {txtPointSource, &VQTagSearch::PointSourceMaskChanged},
        {txtEngineeringUnits, &VQTagSearch::EngineeringUnitsMaskChanged},
        {txtValue, &VQTagSearch::ValueMaskChanged},
        {txtSQLValue, &VQTagSearch::AdvancedSQLValueChanged},
    };
    for (const auto& [box, signal] : boxes) QObject::connect(box, &QLineEdit::textChanged, q, signal);
    const std::pair<QComboBox*, void (VQTagSearch::*)()> lists[] = {
        {cboPointType, &VQTagSearch::PointTypeMaskChanged},
        {cboSQLTable, &VQTagSearch::SQLTableComboIndexChanged},
        {cboSQLColumn, &VQTagSearch::SQLColumnComboIndexChanged},
        {cboSQLCondition, &VQTagSearch::SQLConditionComboIndexChanged},
    };
    for (const auto& [list, signal] : lists)
        QObject::connect(list, &QComboBox::currentIndexChanged, q, signal);
    QObject::connect(cboPointClass, &QComboBox::currentTextChanged, q, &VQTagSearch::PointClassMaskChanged);
    QObject::connect(SSTab1, &QTabWidget::currentChanged, q, &VQTagSearch::TagSearchViewChanged);
    // Setting the same clause again still reports a text change from the box.
    QObject::connect(txtWhereClause, &QPlainTextEdit::textChanged, q, [this] {
        if (m_shownClause.changed(whereClause())) Q_EMIT q->AdvancedWhereClauseChanged();
    });
    QObject::connect(cmdAddWhereClause, &QPushButton::clicked, q, [this] { cmdAddWhereClauseClick(); });
    QObject::connect(cmdSearch, &QPushButton::clicked, q, [this] { cmdSearchClick(); });
    QObject::connect(cmdReset, &QPushButton::clicked, q, [this] { cmdResetClick(); });
    QObject::connect(cmdSelectAll, &QPushButton::clicked, q, [this] { cmdSelectAllClick(); });
    QObject::connect(cmdPtAttr, &QPushButton::clicked, q, [this] { cmdPtAttrClick(); });
    QObject::connect(cmdConnections, &QPushButton::clicked, q, [this] { cmdConnectionsClick(); });
    QObject::connect(cmdOK, &QPushButton::clicked, q, [this] { cmdOKClick(); });
    QObject::connect(cmdCancel, &QPushButton::clicked, q, [this] { Q_EMIT q->OnCancelClick(); });
    QObject::connect(cmdHelp, &QPushButton::clicked, q, [this] { cmdHelpClick(); });
    QObject::connect(cmdStop, &QPushButton::clicked, q, [this] { q->Stop(); });
    QObject::connect(m_Runner, &SearchRunner::longRunning, q, [this] { showLongSearch(); });
    QObject::connect(stSearchResults->selectionModel(), &QItemSelectionModel::selectionChanged, q,
                     [this] { selectionChanged(); });
    QObject::connect(stSearchResults, &QTableView::doubleClicked, q, [this] {
        reporting(context("DblClick"), kReport,
                  [this] { Q_EMIT q->OnPointListSelection(pointListSelection()); });
    });
    QObject::connect(m_Rows, &QAbstractItemModel::modelReset, q, [this] { applyColumnWidths(); });
    txtSQLValue->installEventFilter(q);
    txtWhereClause->installEventFilter(q);
}

// Both pages share one server choice.
void VQTagSearchPrivate::couple(MultiServerPickList* chosen, MultiServerPickList* other) {
    if (m_coupling) return;
    m_coupling = true;
    other->SetSelectedServers(chosen->SelectedServers());
    m_coupling = false;
    reporting(context("MultiServerPickListSelection"), kReport, [this] { FillPointClassCombo(); });
}

void VQTagSearchPrivate::Initialize() {
    reporting(context("Initialize"), kReport, [this] {
        txtWhereClause->setToolTip(kWhereTooltip);
        setDefaultButton(SearchButton);
        SetTabOrder();
        frameAdvancedSearchCriteria->hide();
        frameSimpleSearchCriteria->show();
        // Both pick lists start enabled, as the control places them.
        MultiServerPickList1->SetEnabled(true);
        MultiServerPickList2->SetEnabled(true);
        QObject::connect(servers().get(), &SdkServers::OnOpen, q, [this] {
            reporting(context("SrvsEvents_OnOpen"), kReport, [this] { FillPointClassCombo(); });
        });
        if (!m_initialised) q->InitProperties();
        FillPointTypeCombo();
        FillPointClassCombo();
        q->Reset();
    });
}

namespace {

// A mask kept in the stored fields: loading and saving touch the field only, never the screen.
template <QString VQTagSearchPrivate::Stored::*Field>
PersistedNote<VQTagSearch> storedMask(const char* property, const QString& defaultValue) {
    return {
        property, defaultValue,
        [](VQTagSearch& c, const Variant& v) { VQTagSearchPrivate::of(c).m_Stored.*Field = v.toString(); },
        [](const VQTagSearch& c) { return Variant(VQTagSearchPrivate::of(c).m_Stored.*Field); }};
}

// The two integers are stored as 16-bit values.
template <int VQTagSearchPrivate::Stored::*Field>
PersistedNote<VQTagSearch> storedIndex(const char* property) {
    return {property, int16_t(0),
            [](VQTagSearch& c, const Variant& v) { VQTagSearchPrivate::of(c).m_Stored.*Field = v.toInt32(); },
            [](const VQTagSearch& c) { return Variant(int16_t(VQTagSearchPrivate::of(c).m_Stored.*Field)); }};
}

template <bool VQTagSearchPrivate::*Field>
PersistedNote<VQTagSearch> storedFlag(const char* property, const char* storedAs = nullptr) {
    return {property,
            true,
            [](VQTagSearch& c, const Variant& v) { VQTagSearchPrivate::of(c).*Field = v.toBool(); },
            [](const VQTagSearch& c) { return Variant(VQTagSearchPrivate::of(c).*Field); },
            true,
            storedAs};
}

}  // namespace

const std::vector<PersistedNote<VQTagSearch>>& VQTagSearchPrivate::persistedNotes() {
    using P = VQTagSearchPrivate;
    static const std::vector<PersistedNote<VQTagSearch>> notes = {
        // The stored name keeps the spelling that saved forms already hold.
        storedFlag<&P::m_SearchResultsMultiselect>("SearchResultsMultiselect", "SearchResultsMulitselect"),
        storedFlag<&P::m_VQServerPickListEnabled>("VQServerPickListEnabled"),
        storedMask<&P::Stored::tagMask>("TagMask", kStar),
        storedMask<&P::Stored::descriptorMask>("DescriptorMask", kStar),
        storedMask<&P::Stored::pointSourceMask>("PointSourceMask", kStar),
        storedMask<&P::Stored::engineeringUnitsMask>("EngineeringUnitsMask", kStar),
        storedMask<&P::Stored::valueMask>("ValueMask", kStar),
        storedMask<&P::Stored::pointClassMask>("PointClassMask", kStar),
        storedIndex<&P::Stored::pointTypeMask>("PointTypeMask"),
        storedIndex<&P::Stored::tagSearchView>("TagSearchView"),
        storedMask<&P::Stored::advancedWhereClause>("AdvancedWhereClause", QString()),
    };
    return notes;
}

}  // namespace vq

#include "search/VQDigSetSearch.h"

#include "core/Error.h"
#include "core/ErrorContexts.h"
#include "platform/AccessibleNames.h"
#include "platform/ChangeNotice.h"
#include "platform/NamedChild.h"
#include "platform/StoredProperties.h"
#include "platform/Twips.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "search/ReportListModel.h"
#include "servers/Environment.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace vq {

namespace {
const QString kSetsCaption = QStringLiteral("Number of DigSets:");
const QString kStatesCaption = QStringLiteral("Number of Digital States:");
const QString kAnd = QStringLiteral("AND");
const QString kOr = QStringLiteral("OR");
// Column widths of the lists, in twips, taken from the list's own width.
constexpr int kSetColumnMargin = 75;
constexpr int kStateCodeColumn = 400;
constexpr int kStateNameMargin = 475;

// Most handlers report under "VQDigSetSearch:"; these have always been spelled otherwise.
const ErrorContexts context("VQDigSetSearch", {
                                                  {"InitServerComboBox", "VQDigsetSearch:InitServerComboBox"},
                                                  {"Click", "DigsetSearch:Click"},
                                                  {"cmdConnections", "DigsetSearch:cmdConnections"},
                                                  {"cmdOK_Err", "DigSetSearch:cmdOK_Err"},
                                                  {"DblClick", "DigsetSearch:DblClick"},
                                                  {"cmdHelpClick", "VQDigsetSearch:cmdHelpClick"},
                                                  {"ColumnClick", "DigsetSearch:ColumnClick"},
                                              });

// The control's error message: context, description and number, a line each.
constexpr ReportLayout kMessageLayout = ReportLayout::Short;

QTreeView* makeReportList(QWidget* parent, const char* name, ReportListModel* model) {
    auto* view = new QTreeView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setAllColumnsShowFocus(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    return view;
}

}  // namespace

class VQDigSetSearchPrivate {
public:
    explicit VQDigSetSearchPrivate(VQDigSetSearch* q);

    void buildChildren();
    void describeChildren();
    void layoutChildren();
    void connectChildren();
    void InitConditionList();
    void InitServerComboBox();
    void FillDigSetList();
    void ShowSearchResults(const SdkNamedValues& result);
    void showSets(QStringList names);
    void lvDigSetsClick();
    void FillDigStateList(const QString& setName);
    void MaskChange();
    void cboCondition1Click();
    void Search();
    void cboVQServerClick(int index);
    void cmdConnectionsClick();
    void cmdOKClick();
    void lvDigSetsDblClick(const QModelIndex& index);
    void cmdResetClick();
    void cmdHelpClick();
    void lvDigStatesColumnClick(int column);
    void applyColumnWidths();
    QList<int> selectedSetRows() const;
    void choose(const QString& setName);
    SdkDigitalStateSetsPtr currentSets();

    VQDigSetSearch* const q;
    SdkServerPtr m_currentServer;
    SdkServersPtr m_Servers;
    // The known servers; a control made before the server library was installed asks again
    // rather than failing on nothing.
    SdkServers& servers() {
        if (!m_Servers) m_Servers = SdkApplication::instance()->Servers();
        return *m_Servers;
    }
    bool m_multiSelect = false;
    bool m_fixOnCurrentServer = false;
    SdkNamedValuesPtr m_DigsetSelection = SdkNamedValues::create();
    SdkConnectDialogPtr m_ConnectDialog;
    // The sets of the listed server, read once a fill rather than once a click.
    SdkDigitalStateSetsPtr m_sets;
    bool m_statesSorted = false;
    Qt::SortOrder m_statesOrder = Qt::AscendingOrder;

    QLabel* lblVQServer;
    QComboBox* cboVQServer;
    QGroupBox* Frame1;
    QLabel *lblDigState1, *lblDigstate2, *lblDigstate3, *lblCondition2;
    QLineEdit *txtDigState1, *txtDigState2, *txtDigState3;
    QComboBox* cboCondition1;
    ReportListModel* m_SetRows;
    ReportListModel* m_StateRows;
    QTreeView* lvDigSets;
    QTreeView* lvDigStates;
    QLabel* lblNumDigsets;
    QLabel* lblNumDigstates;
    QPushButton *cmdConnections, *cmdSearch, *cmdReset, *cmdOK, *cmdCancel, *cmdHelp;
};

VQDigSetSearchPrivate::VQDigSetSearchPrivate(VQDigSetSearch* q)
    : q(q),
      m_SetRows(new ReportListModel({QStringLiteral("Digital Sets")}, q)),
      m_StateRows(new ReportListModel({QStringLiteral("#"), QStringLiteral("Digital States")}, q)) {}

void VQDigSetSearchPrivate::buildChildren() {
    lblVQServer = named<QLabel>(q, "lblVQServer", QStringLiteral("VQ Server:"));
    cboVQServer = named<QComboBox>(q, "cboVQServer");
    cmdConnections = named<QPushButton>(q, "cmdConnections", QStringLiteral("Connections"));
    Frame1 = named<QGroupBox>(q, "Frame1", QStringLiteral("Find all Digital Sets containing..."));
    lblDigState1 = named<QLabel>(Frame1, "lblDigState1", QStringLiteral("Digital State 1:"));
    txtDigState1 = named<QLineEdit>(Frame1, "txtDigState1");
    cboCondition1 = named<QComboBox>(Frame1, "cboCondition1");
    lblDigstate2 = named<QLabel>(Frame1, "lblDigstate2", QStringLiteral("Digital State 2:"));
    txtDigState2 = named<QLineEdit>(Frame1, "txtDigState2");
    lblCondition2 = named<QLabel>(Frame1, "lblCondition2", QStringLiteral("And"));
    lblDigstate3 = named<QLabel>(Frame1, "lblDigstate3", QStringLiteral("Digital State 3:"));
    txtDigState3 = named<QLineEdit>(Frame1, "txtDigState3");
    cmdSearch = named<QPushButton>(q, "cmdSearch", QStringLiteral("Search"));
    cmdReset = named<QPushButton>(q, "cmdReset", QStringLiteral("Reset"));
    lvDigSets = makeReportList(q, "lvDigSets", m_SetRows);
    lblNumDigsets = named<QLabel>(q, "lblNumDigsets", kSetsCaption);
    lvDigStates = makeReportList(q, "lvDigStates", m_StateRows);
    lvDigStates->setSelectionMode(QAbstractItemView::SingleSelection);
    lvDigStates->header()->setSectionsClickable(true);
    lblNumDigstates = named<QLabel>(q, "lblNumDigstates", kStatesCaption);
    cmdOK = named<QPushButton>(q, "cmdOK", QStringLiteral("OK"));
    cmdCancel = named<QPushButton>(q, "cmdCancel", QStringLiteral("Cancel"));
    cmdHelp = named<QPushButton>(q, "cmdHelp", QStringLiteral("Help"));
    for (QLineEdit* box : {txtDigState1, txtDigState2, txtDigState3}) box->installEventFilter(q);
    lvDigSets->installEventFilter(q);
    lvDigStates->installEventFilter(q);
    for (QPushButton* button : {cmdConnections, cmdSearch, cmdReset, cmdOK, cmdCancel, cmdHelp})
        button->setAutoDefault(false);
    q->setFocusProxy(txtDigState1);
    describeChildren();
}

// What a screen reader says for each child the keyboard reaches: the captions name their fields;
// the rest, and every description, are given here in one table.
void VQDigSetSearchPrivate::describeChildren() {
    const std::pair<QLabel*, QWidget*> captions[] = {
        {lblVQServer, cboVQServer},
        {lblDigState1, txtDigState1},
        {lblDigstate2, txtDigState2},
        {lblDigstate3, txtDigState3},
    };
    for (const auto& [caption, field] : captions) caption->setBuddy(field);
    nameFieldsByCaptions(q);
    struct Spoken {
        QWidget* widget;
        const char* name;  // null: the caption of its label or its own text
        const char* description;
    };
    const Spoken spoken[] = {
        {cboVQServer, nullptr, "The server whose digital sets are listed"},
        {cmdConnections, nullptr, "Opens the connection manager"},
        {txtDigState1, nullptr, "A state name the sets must contain; * stands for any text"},
        {cboCondition1, "Condition", "Whether a set must contain all the state names or any of them"},
        {txtDigState2, nullptr, "A second state name; * stands for any text"},
        {txtDigState3, nullptr, "A third state name; * stands for any text"},
        {cmdSearch, nullptr, "Lists the sets that contain the state names"},
        {cmdReset, nullptr, "Clears the state names and lists every set"},
        {lvDigSets, "Digital sets", "The sets found; the states of the one in view are listed beside"},
        {lvDigStates, "Digital states", "The states of the set in view, in code order"},
        {cmdOK, nullptr, "Hands the chosen sets over"},
        {cmdCancel, nullptr, "Closes without choosing sets"},
        {cmdHelp, nullptr, "Shows help on the digital set search"},
    };
    for (const Spoken& item : spoken) {
        if (item.name) item.widget->setAccessibleName(QString::fromLatin1(item.name));
        item.widget->setAccessibleDescription(QString::fromLatin1(item.description));
    }
}

// The conditions stand between the boxes they join: AND/OR under the first, "And"/"Or" under
// the second, so the one choice reads as joining all three.
void VQDigSetSearchPrivate::layoutChildren() {
    auto* masks = new QGridLayout(Frame1);
    masks->addWidget(lblDigState1, 0, 0);
    masks->addWidget(txtDigState1, 0, 1);
    masks->addWidget(cboCondition1, 1, 1, Qt::AlignLeft);
    masks->addWidget(lblDigstate2, 2, 0);
    masks->addWidget(txtDigState2, 2, 1);
    masks->addWidget(lblCondition2, 3, 1, Qt::AlignLeft);
    masks->addWidget(lblDigstate3, 4, 0);
    masks->addWidget(txtDigState3, 4, 1);
    masks->setColumnStretch(1, 1);

    auto* server = new QHBoxLayout;
    server->addWidget(lblVQServer);
    server->addWidget(cboVQServer, 1);
    server->addWidget(cmdConnections);

    auto* searchButtons = new QVBoxLayout;
    searchButtons->addWidget(cmdSearch);
    searchButtons->addWidget(cmdReset);
    searchButtons->addStretch(1);
    auto* criteria = new QHBoxLayout;
    criteria->addWidget(Frame1, 1);
    criteria->addLayout(searchButtons);

    auto* lists = new QGridLayout;
    lists->addWidget(lvDigSets, 0, 0);
    lists->addWidget(lvDigStates, 0, 1);
    lists->addWidget(lblNumDigsets, 1, 0);
    lists->addWidget(lblNumDigstates, 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);
    lists->setRowStretch(0, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);

    auto* layout = new QVBoxLayout(q);
    layout->addLayout(server);
    layout->addLayout(criteria);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
}

void VQDigSetSearchPrivate::connectChildren() {
    for (QLineEdit* box : {txtDigState1, txtDigState2, txtDigState3})
        QObject::connect(box, &QLineEdit::textChanged, q, [this] { MaskChange(); });
    QObject::connect(cboCondition1, &QComboBox::currentTextChanged, q, [this] { cboCondition1Click(); });
    QObject::connect(cboVQServer, &QComboBox::activated, q, [this](int index) { cboVQServerClick(index); });
    QObject::connect(lvDigSets->selectionModel(), &QItemSelectionModel::selectionChanged, q,
                     [this] { lvDigSetsClick(); });
    QObject::connect(lvDigSets, &QTreeView::doubleClicked, q,
                     [this](const QModelIndex& index) { lvDigSetsDblClick(index); });
    QObject::connect(lvDigStates->header(), &QHeaderView::sectionClicked, q,
                     [this](int column) { lvDigStatesColumnClick(column); });
    QObject::connect(cmdSearch, &QPushButton::clicked, q,
                     [this] { reporting(context("cmdSearchClick"), kMessageLayout, [this] { Search(); }); });
    QObject::connect(cmdReset, &QPushButton::clicked, q, [this] { cmdResetClick(); });
    QObject::connect(cmdConnections, &QPushButton::clicked, q, [this] { cmdConnectionsClick(); });
    QObject::connect(cmdOK, &QPushButton::clicked, q, [this] { cmdOKClick(); });
    QObject::connect(cmdCancel, &QPushButton::clicked, q, [this] { Q_EMIT q->OnCancelClick(); });
    QObject::connect(cmdHelp, &QPushButton::clicked, q, [this] { cmdHelpClick(); });
}

void VQDigSetSearchPrivate::InitConditionList() {
    cboCondition1->clear();
    cboCondition1->addItems({kAnd, kOr});
    cboCondition1->setCurrentIndex(0);
}

void VQDigSetSearchPrivate::InitServerComboBox() {
    reporting(context("InitServerComboBox"), kMessageLayout, [this] {
        cboVQServer->clear();
        int chosen = 0;
        for (const SdkServerPtr& server : servers().All()) {
            if (m_currentServer && server->Name().compare(m_currentServer->Name(), Qt::CaseInsensitive) == 0)
                chosen = cboVQServer->count();
            cboVQServer->addItem(server->Name());
        }
        cboVQServer->setCurrentIndex(cboVQServer->count() > 0 ? chosen : -1);
    });
}

SdkDigitalStateSetsPtr VQDigSetSearchPrivate::currentSets() {
    return m_currentServer ? m_currentServer->DigitalStateSets() : nullptr;
}

void VQDigSetSearchPrivate::FillDigSetList() {
    m_sets = currentSets();
    QStringList names;
    if (m_sets) {
        const std::vector<SdkDigitalStateSetPtr> sets = m_sets->All();
        names.reserve(qsizetype(sets.size()));
        for (const SdkDigitalStateSetPtr& set : sets) names << set->Name();
    }
    showSets(std::move(names));
}

void VQDigSetSearchPrivate::ShowSearchResults(const SdkNamedValues& result) {
    QStringList names;
    names.reserve(result.Count());
    for (const SdkNamedValue& entry : result) names << entry.Name();
    showSets(std::move(names));
}

void VQDigSetSearchPrivate::showSets(QStringList names) {
    m_SetRows->setColumns({std::move(names)});
    lblNumDigsets->setText(kSetsCaption + u' ' + QString::number(m_SetRows->rowCount()));
    lvDigSetsClick();
}

QList<int> VQDigSetSearchPrivate::selectedSetRows() const {
    QList<int> rows;
    for (const QModelIndex& index : lvDigSets->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void VQDigSetSearchPrivate::lvDigSetsClick() {
    reporting(context("Click"), kMessageLayout, [this] {
        const QList<int> rows = selectedSetRows();
        if (rows.size() == 1) return FillDigStateList(m_SetRows->text(rows.last()));
        lblNumDigstates->setText(kStatesCaption);
        m_StateRows->clear();
    });
}

void VQDigSetSearchPrivate::FillDigStateList(const QString& setName) {
    m_StateRows->clear();
    if (!m_sets) m_sets = currentSets();
    if (!m_sets) return;
    const SdkDigitalStateSetPtr set = m_sets->Item(setName);
    QStringList positions, names;
    for (const SdkDigitalState& state : set->States()) {
        positions << QString::number(positions.size());
        names << state.Name();
    }
    m_StateRows->setColumns({std::move(positions), std::move(names)});
    if (m_statesSorted) m_StateRows->sort(1, m_statesOrder);
    lblNumDigstates->setText(kStatesCaption + u' ' + QString::number(m_StateRows->rowCount()));
}

void VQDigSetSearchPrivate::MaskChange() {
    bool anyMask = false;
    for (QLineEdit* box : {txtDigState1, txtDigState2, txtDigState3})
        anyMask = anyMask || !box->text().trimmed().isEmpty();
    cmdSearch->setEnabled(anyMask);
}

void VQDigSetSearchPrivate::cboCondition1Click() {
    lblCondition2->setText(cboCondition1->currentText() == kAnd ? QStringLiteral("And")
                                                                : QStringLiteral("Or"));
}

void VQDigSetSearchPrivate::Search() {
    if (!m_currentServer)
        throw Error(errc::InvalidArgument, QStringLiteral("VQDigSetSearch"),
                    QStringLiteral("No server is chosen"));
    const SdkDigitalStateSetsPtr sets = m_currentServer->DigitalStateSets();
    // The same mask in two boxes asks nothing more, and a name set holds each name once.
    SdkNamedValues masks;
    for (QLineEdit* box : {txtDigState1, txtDigState2, txtDigState3})
        if (!box->text().trimmed().isEmpty() && !masks.Contains(box->text()))
            masks.Add(box->text(), Variant(int16_t(0)));
    const int condition =
        cboCondition1->currentText() == kAnd ? SdkDigitalStateSets::And : SdkDigitalStateSets::Or;
    const SdkNamedValuesPtr result = sets->Search(masks, condition);
    m_sets = sets;
    ShowSearchResults(*result);
}

void VQDigSetSearchPrivate::cboVQServerClick(int index) {
    reporting(context("cboVQServerClick"), kMessageLayout, [&] {
        const QString name = cboVQServer->itemText(index);
        if (!m_currentServer || name.compare(m_currentServer->Name(), Qt::CaseInsensitive) != 0)
            m_currentServer = servers().Item(name);
        FillDigSetList();
    });
    // After a failed choice this also puts the list back on the server still shown.
    InitServerComboBox();
}

void VQDigSetSearchPrivate::cmdConnectionsClick() {
    reporting(context("cmdConnections"), kMessageLayout, [this] {
        if (!m_ConnectDialog) m_ConnectDialog = SdkConnectDialog::create();
        m_ConnectDialog->ConnectionManager(false, true);
    });
}

// A set already chosen is not added twice, so a second OK keeps the earlier choice and adds to it.
void VQDigSetSearchPrivate::choose(const QString& setName) {
    if (!m_DigsetSelection->Contains(setName)) m_DigsetSelection->Add(setName, Variant(int16_t(0)));
}

void VQDigSetSearchPrivate::cmdOKClick() {
    reporting(context("cmdOK_Err"), kMessageLayout, [this] {
        for (int row : selectedSetRows()) choose(m_SetRows->text(row));
        Q_EMIT q->OnDigsetListSelection(m_DigsetSelection);
    });
}

void VQDigSetSearchPrivate::lvDigSetsDblClick(const QModelIndex& index) {
    reporting(context("DblClick"), kMessageLayout, [&] {
        choose(m_SetRows->text(index.row()));
        Q_EMIT q->OnDigsetListSelection(m_DigsetSelection);
    });
}

void VQDigSetSearch::ShowDigset(const QString& setName) {
    for (int row = 0; row < d->m_SetRows->rowCount(); ++row) {
        if (d->m_SetRows->text(row).compare(setName, Qt::CaseInsensitive) != 0) continue;
        const QModelIndex index = d->m_SetRows->index(row, 0);
        d->lvDigSets->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        d->lvDigSets->scrollTo(index);
        d->lvDigSetsClick();
        return;
    }
}

void VQDigSetSearchPrivate::cmdResetClick() {
    for (QLineEdit* box : {txtDigState1, txtDigState2, txtDigState3}) box->clear();
}

void VQDigSetSearchPrivate::cmdHelpClick() {
    reporting(context("cmdHelpClick"), kMessageLayout,
              [] { ShowHelpTopic(kDigSetSearchHelpFile, kDigSetSearchHelpTopic); });
}

// The name column sorts, each click the other way round; "#" brings back the code order.
void VQDigSetSearchPrivate::lvDigStatesColumnClick(int column) {
    reporting(context("ColumnClick"), kMessageLayout, [&] {
        QHeaderView* header = lvDigStates->header();
        if (column == 1) {
            m_statesSorted = true;
            m_statesOrder = m_statesOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
            m_StateRows->sort(1, m_statesOrder);
            header->setSortIndicatorShown(true);
            header->setSortIndicator(1, m_statesOrder);
        } else if (column == 0) {
            m_statesSorted = false;
            header->setSortIndicatorShown(false);
            lvDigSetsClick();
        }
    });
}

void VQDigSetSearchPrivate::applyColumnWidths() {
    lvDigSets->setColumnWidth(0, std::max(0, lvDigSets->width() - twipsToPixels(kSetColumnMargin)));
    lvDigStates->setColumnWidth(0, twipsToPixels(kStateCodeColumn));
    lvDigStates->setColumnWidth(1, std::max(0, lvDigStates->width() - twipsToPixels(kStateNameMargin)));
}

VQDigSetSearch::VQDigSetSearch(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQDigSetSearchPrivate>(this)) {
    d->buildChildren();
    d->layoutChildren();
    d->connectChildren();
    d->InitConditionList();
    d->cmdSearch->setEnabled(false);
    reporting(QStringLiteral("Digital Set Search Control Initialization Error"), kMessageLayout,
              [this] { d->m_Servers = SdkApplication::instance()->Servers(); });
    InitProperties();
}

VQDigSetSearch::~VQDigSetSearch() = default;

SdkServerPtr VQDigSetSearch::CurrentServer() const {
    return d->m_currentServer;
}

void VQDigSetSearch::SetCurrentServer(const SdkServerPtr& server) {
    d->m_currentServer = server;
}

bool VQDigSetSearch::MultiSelect() const {
    return d->m_multiSelect;
}

void VQDigSetSearch::SetMultiSelect(bool multiSelect) {
    const ChangeNotice notice(this, &VQDigSetSearch::MultiSelect, &VQDigSetSearch::MultiSelectChanged);
    d->m_multiSelect = multiSelect;
    d->lvDigSets->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                               : QAbstractItemView::SingleSelection);
    Q_EMIT PropertyChanged(QStringLiteral("MultiSelect"));
}

bool VQDigSetSearch::FixOnCurrentServer() const {
    return d->m_fixOnCurrentServer;
}

void VQDigSetSearch::SetFixOnCurrentServer(bool fixed) {
    const ChangeNotice notice(this, &VQDigSetSearch::FixOnCurrentServer,
                              &VQDigSetSearch::FixOnCurrentServerChanged);
    d->m_fixOnCurrentServer = fixed;
    d->cboVQServer->setEnabled(!fixed);
    d->cmdConnections->setEnabled(!fixed);
    Q_EMIT PropertyChanged(QStringLiteral("FixOnCurrentServer"));
}

SdkNamedValuesPtr VQDigSetSearch::DigsetSelection() const {
    return d->m_DigsetSelection;
}

SdkServersPtr VQDigSetSearch::Servers() const {
    return d->m_Servers;
}

// Without a current server the first known server, the one the server list shows, is listed.
void VQDigSetSearch::Reset() {
    d->InitConditionList();
    d->cmdSearch->setEnabled(false);
    d->cmdResetClick();
    if (!d->m_currentServer)
        d->m_currentServer = silently(SdkServerPtr(), [this] {
            return d->servers().Count() > 0 ? d->servers().Item(1) : SdkServerPtr();
        });
    d->InitServerComboBox();
    d->FillDigSetList();
    d->m_DigsetSelection = SdkNamedValues::create();
}

void VQDigSetSearch::InitProperties() {
    initStoredProperties(*this);
}

void VQDigSetSearch::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag);
}

void VQDigSetSearch::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag);
}

void VQDigSetSearch::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->applyColumnWidths();
}

// Enter in a mask box searches (even with every box blank) and goes no further; a list that
// changes size gives its columns the new width.
bool VQDigSetSearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            reporting(context("cmdSearchClick"), kMessageLayout, [this] { d->Search(); });
            return true;
        }
    }
    if (event->type() == QEvent::Resize && (watched == d->lvDigSets || watched == d->lvDigStates))
        d->applyColumnWidths();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq

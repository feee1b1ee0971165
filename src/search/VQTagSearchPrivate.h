#pragma once

// The point search control's private state and the helpers its two source files share: one
// builds the children, the other holds what they do.

#include "core/Error.h"
#include "platform/ChangeNotice.h"
#include "platform/StoredProperties.h"
#include "sdk/SdkFwd.h"
#include "search/TagSearchContexts.h"
#include "search/TagSearchQuery.h"

#include <QPointer>
#include <QString>

#include <vector>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace vq {

class MultiServerPickList;
class SdkNamedValues;
class SearchRunner;
class TagSearchResultsModel;
class VQTagSearch;

namespace tagsearchui {

inline const QString kStar = QStringLiteral("*");
inline const QString kListCount = QStringLiteral("List Count: ");
inline const QString kWhereTooltip =
    QStringLiteral("Use Ctrl+Enter to add a carriage return to where clause");
inline const QString kSelectStatement = QStringLiteral("SELECT Tag FROM VQPoint");
inline const QString kVersionTitle = QStringLiteral("VQ 3.3 or Greater Required");
inline const QString kVersionText =
    QStringLiteral("VQ 3.3 or greater is required to restrict search by Point Class.");
// Column widths of the results, in twips.
constexpr int kColumnTwips[] = {1200, 3000, 9000};
// Event handlers and user actions report context, source, description and number.
constexpr ReportLayout kReport = ReportLayout::Long;

enum DefaultButton { SearchButton = 1, AddButton = 2 };

inline const ErrorContexts& context = kTagSearchContext;

// The box keeps "\n"; the clause as callers and stored forms know it uses CR LF.
inline QString toClauseText(const QString& boxText) {
    QString text = boxText;
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

inline QString toBoxText(const QString& clause) {
    QString text = clause;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

inline bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace tagsearchui

// What each chosen server gave the last search, for the status line.
struct ServerOutcome {
    QString server;
    QString outcome;  // empty while the server has not answered
    qsizetype points = 0;
    bool answered = false;
};

// One clause sent to one server.
struct SearchJob {
    SdkServerPtr server;
    QString clause;
    size_t outcome;   // the server's place in the status line
    bool lastClause;  // the server has answered everything once this one is in
};

class VQTagSearchPrivate {
public:
    explicit VQTagSearchPrivate(VQTagSearch* q);

    // Building
    void buildChildren();
    void buildSimplePage(QWidget* page);
    void buildAdvancedPage(QWidget* page);
    void buildResults();
    void describeChildren();
    void layoutChildren();
    void connectChildren();
    void couple(MultiServerPickList* chosen, MultiServerPickList* other);
    void Initialize();
    static const std::vector<PersistedNote<VQTagSearch>>& persistedNotes();
    static VQTagSearchPrivate& of(VQTagSearch& control) { return *control.d; }
    static const VQTagSearchPrivate& of(const VQTagSearch& control) { return *control.d; }

    // Pages, focus and keys
    void SSTab1Click(int page);
    void showView(int view);
    void SetFocusToDefaultField();
    void SetTabOrder();
    void setDefaultButton(int which);
    void pressDefaultButton();
    void txtSQLValueChange();
    bool whereClauseKey(QKeyEvent* event);

    // Lists of the criteria
    void FillPointTypeCombo();
    void FillSQLTableCombo();
    void FillSQLConditionCombo();
    void FillSQLColumnCombo();
    void SQLTableClick(int index);
    void FillPointClassCombo();
    void fillList(QComboBox* box, const QStringList& items);
    void txtWhereClauseChange();
    void cmdAddWhereClauseClick();
    QString whereClause() const;
    void setWhereClause(const QString& clause);

    // Searching
    void search();
    void searchOnce(const QPointer<VQTagSearch>& control);
    void beginRun();
    void endRun();
    bool dropUnconnectedServers(const SdkNamedValuesPtr& servers);
    void ConnectOnSelect(SdkServerPtr& server);
    bool passesPointClassRule();
    bool IsVQ32(const QString& serverName);
    void SimpleSearch();
    void AdvancedSearch();
    void searchServers(const QStringList& clauses, const SdkNamedValues& tables);
    void startJob(const SearchJob& job, const SdkNamedValues& tables);
    SdkPointListPtr finishJob(const SearchJob& job);
    size_t outcomeIndex(const QString& server);
    void AddToPointList(const SdkPointListPtr& list);
    tagsearch::SimpleCriteria simpleCriteria() const;
    SdkServersPtr servers() const;
    void startOutcomes(const SdkNamedValues& chosen);
    ServerOutcome* outcomeOf(const QString& server);
    void showLongSearch();
    void showServerOutcomes();
    void clearResults();

    // Results
    void ListSearchResults();
    void SelectTopListItem();
    void cmdSelectAllClick();
    void selectionChanged();
    void updatePtAttr();
    std::vector<int> selectedRows() const;
    SdkPointListPtr pointListSelection();
    void reportRow(int row, const Error& error);
    void applyColumnWidths();

    // Buttons
    void cmdSearchClick();
    void cmdResetClick();
    void cmdOKClick();
    void cmdPtAttrClick();
    void cmdConnectionsClick();
    void cmdHelpClick();
    void ResetSimpleSearch();
    void ResetAdvancedSearch();

    VQTagSearch* const q;

    // The values persisted with the control, as last set or loaded.
    struct Stored {
        QString tagMask, descriptorMask, pointSourceMask, pointClassMask, valueMask, engineeringUnitsMask;
        QString advancedWhereClause;
        int pointTypeMask = 0;
        int tagSearchView = 0;
    } m_Stored;
    int m_View = 0;
    bool m_SearchResultsMultiselect = true;
    bool m_VQServerPickListEnabled = true;
    bool m_initialised = false;
    bool m_painted = false;
    int m_defaultButton = tagsearchui::SearchButton;
    int m_sqlTableIndex = 0;
    bool m_coupling = false;
    bool m_searching = false;
    SdkConnectDialogPtr m_ConnectDialog;
    SdkPointListPtr m_PointList;
    SdkPointListPtr m_LastSelection;
    SearchRunner* m_Runner;
    std::vector<ServerOutcome> m_Outcomes;
    bool m_partial = false;

    QTabWidget* SSTab1;
    QGroupBox *frameSimpleSearchCriteria, *frameAdvancedSearchCriteria, *frameSelectStatement,
        *frameSearchResults;
    QLabel *lblVQServer1, *lblTagMask, *lblDescriptor, *lblPointSource, *lblEngineeringUnits, *lblPointType,
        *lblPointClass, *lblValue;
    MultiServerPickList *MultiServerPickList1, *MultiServerPickList2;
    QLineEdit *txtTagMask, *txtDescriptor, *txtPointSource, *txtEngineeringUnits, *txtValue;
    QComboBox *cboPointType, *cboPointClass;
    QLabel *lblVQServer2, *Label10, *lblWhere;
    QComboBox *cboSQLTable, *cboSQLColumn, *cboSQLCondition;
    QLineEdit* txtSQLValue;
    QPushButton* cmdAddWhereClause;
    QPlainTextEdit* txtWhereClause;
    ValueWatch<QString> m_shownClause;
    TagSearchResultsModel* m_Rows;
    QTableView* stSearchResults;
    QLabel *statSearchResults, *statServerResults;
    QPushButton *cmdStop, *cmdSearch, *cmdReset, *cmdSelectAll, *cmdPtAttr, *cmdConnections, *cmdOK,
        *cmdCancel, *cmdHelp;
};

}  // namespace vq

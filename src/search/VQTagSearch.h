#pragma once

#include "search/SearchExport.h"

#include "sdk/SdkFwd.h"

#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;
class VQTagSearchPrivate;

/// Finds points on one or more servers, by simple masks or by a where clause the user builds or
/// types, lists them and hands the chosen ones to the host (OnPointListSelection). The results
/// list reads points only for the rows it draws, so it holds a million points. A search that runs
/// longer than a third of a second can be stopped (Stop or Esc) and keeps what it found so far;
/// search() still returns only when the search is done.
class VQ_SEARCH_EXPORT VQTagSearch : public QWidget {
    Q_OBJECT
    /// Whether the user may select several found points; true in a new control.
    Q_PROPERTY(bool SearchResultsMultiselect READ SearchResultsMultiselect WRITE SetSearchResultsMultiselect
                   NOTIFY SearchResultsMultiselectChanged)
    /// Whether the user may change the server choice; false locks it as the host set it.
    Q_PROPERTY(bool VQServerPickListEnabled READ VQServerPickListEnabled WRITE SetVQServerPickListEnabled
                   NOTIFY VQServerPickListEnabledChanged)
    /// The tag mask of the simple search. Here as in the other masks, "*" or nothing matches every point.
    Q_PROPERTY(QString TagMask READ TagMask WRITE SetTagMask NOTIFY TagMaskChanged USER true)
    /// The descriptor mask of the simple search.
    Q_PROPERTY(
        QString DescriptorMask READ DescriptorMask WRITE SetDescriptorMask NOTIFY DescriptorMaskChanged)
    /// The point source mask of the simple search.
    Q_PROPERTY(
        QString PointSourceMask READ PointSourceMask WRITE SetPointSourceMask NOTIFY PointSourceMaskChanged)
    /// The engineering units mask of the simple search.
    Q_PROPERTY(QString EngineeringUnitsMask READ EngineeringUnitsMask WRITE SetEngineeringUnitsMask NOTIFY
                   EngineeringUnitsMaskChanged)
    /// The mask for the current value in the simple search.
    Q_PROPERTY(QString ValueMask READ ValueMask WRITE SetValueMask NOTIFY ValueMaskChanged)
    /// The point class chosen in the simple search; "*" for any.
    Q_PROPERTY(
        QString PointClassMask READ PointClassMask WRITE SetPointClassMask NOTIFY PointClassMaskChanged)
    /// The position of the chosen point type in its list: 0 "*" (any), then Float, Integer, Digital, String.
    Q_PROPERTY(int PointTypeMask READ PointTypeMask WRITE SetPointTypeMask NOTIFY PointTypeMaskChanged)
    /// The page shown: 0 the simple search, 1 the advanced search.
    Q_PROPERTY(int TagSearchView READ TagSearchView WRITE SetTagSearchView NOTIFY TagSearchViewChanged)
    /// The where clause of the advanced search.
    Q_PROPERTY(QString AdvancedWhereClause READ AdvancedWhereClause WRITE SetAdvancedWhereClause NOTIFY
                   AdvancedWhereClauseChanged)
    /// The position of the table chosen for a new condition of the advanced search.
    Q_PROPERTY(int SQLTableComboIndex READ SQLTableComboIndex WRITE SetSQLTableComboIndex NOTIFY
                   SQLTableComboIndexChanged STORED false)
    /// The position of the column chosen for a new condition of the advanced search.
    Q_PROPERTY(int SQLColumnComboIndex READ SQLColumnComboIndex WRITE SetSQLColumnComboIndex NOTIFY
                   SQLColumnComboIndexChanged STORED false)
    /// The position of the operator chosen for a new condition of the advanced search.
    Q_PROPERTY(int SQLConditionComboIndex READ SQLConditionComboIndex WRITE SetSQLConditionComboIndex NOTIFY
                   SQLConditionComboIndexChanged STORED false)
    /// The value typed for a new condition of the advanced search.
    Q_PROPERTY(QString AdvancedSQLValue READ AdvancedSQLValue WRITE SetAdvancedSQLValue NOTIFY
                   AdvancedSQLValueChanged STORED false)

public:
    /// A control showing the simple search with every mask "*" and an empty results list.
    explicit VQTagSearch(QWidget* parent = nullptr);
    /// Stops a running search first.
    ~VQTagSearch() override;

    /// @{
    /// The first page's server choice (server names); setting it sets both pages' choice and
    /// refills the point classes from the chosen servers.
    SdkNamedValuesPtr SelectedServers() const;
    void SetSelectedServers(const SdkNamedValuesPtr& servers);
    /// @}
    /// @{
    /// SearchResultsMultiselect; it takes effect on the results list at once.
    bool SearchResultsMultiselect() const;
    void SetSearchResultsMultiselect(bool multiselect);
    /// @}
    /// @{
    /// VQServerPickListEnabled; it enables or disables both pages' server pick lists.
    bool VQServerPickListEnabled() const;
    void SetVQServerPickListEnabled(bool enabled);
    /// @}

    /// @{
    /// The mask getters read the boxes on screen; the setters also keep the value to persist.
    QString TagMask() const;
    void SetTagMask(const QString& mask);
    QString DescriptorMask() const;
    void SetDescriptorMask(const QString& mask);
    QString PointSourceMask() const;
    void SetPointSourceMask(const QString& mask);
    QString EngineeringUnitsMask() const;
    void SetEngineeringUnitsMask(const QString& mask);
    QString ValueMask() const;
    void SetValueMask(const QString& mask);
    QString PointClassMask() const;
    void SetPointClassMask(const QString& mask);
    int PointTypeMask() const;
    void SetPointTypeMask(int index);
    /// @}
    /// @{
    /// TagSearchView; setting it shows that page and focuses its default field.
    int TagSearchView() const;
    void SetTagSearchView(int view);
    /// @}
    /// @{
    /// Line breaks are CR LF.
    QString AdvancedWhereClause() const;
    void SetAdvancedWhereClause(const QString& clause);
    /// @}
    /// @{
    /// The advanced search's new condition as the lists and the value box show it; not saved.
    int SQLTableComboIndex() const;
    void SetSQLTableComboIndex(int index);
    int SQLColumnComboIndex() const;
    void SetSQLColumnComboIndex(int index);
    int SQLConditionComboIndex() const;
    void SetSQLConditionComboIndex(int index);
    QString AdvancedSQLValue() const;
    void SetAdvancedSQLValue(const QString& value);
    /// @}

    /// @{
    /// The found points, in the order the servers answered; null after a search that reached no
    /// server. Setting it shows the given list itself.
    SdkPointListPtr PointList() const;
    void SetPointList(const SdkPointListPtr& list);
    /// @}
    /// The points of the selected rows, in row order.
    SdkPointListPtr PointListSelection();

    /// Runs the showing page's query on the chosen servers and lists what they found; reports
    /// its own errors.
    void search();
    /// Stops a running search; what it found so far is listed.
    void Stop();
    /// True while a search runs.
    bool isSearching() const;
    /// Starts over on the page last shown: every mask back to "*", the advanced search's condition
    /// and where clause emptied, and the results list cleared.
    void Reset();
    /// Deselects every found point.
    void ClearSelectedTags();
    /// Empties the results list and its counts.
    void ResetSearchResultsList();
    /// With the server choice locked, drops the found points of servers outside the choice.
    void RemoveDisallowedSearchResults();

    /// Gives every saved property its default (every mask "*", the simple search, several points
    /// selectable, the server choice open) without changing what the control shows.
    void InitProperties();
    /// Takes the saved properties from `bag` without changing what the control shows.
    void ReadProperties(const PropertyBag& bag);
    /// Saves the properties that differ from their defaults into `bag`.
    void WriteProperties(PropertyBag& bag) const;

Q_SIGNALS:
    /// @{
    /// Property notifications: each goes out once per real change of what its getter reads, so
    /// typing in a mask box or picking a list entry notifies as the setters do.
    void SearchResultsMultiselectChanged();
    void VQServerPickListEnabledChanged();
    void TagMaskChanged();
    void DescriptorMaskChanged();
    void PointSourceMaskChanged();
    void EngineeringUnitsMaskChanged();
    void ValueMaskChanged();
    void PointClassMaskChanged();
    void PointTypeMaskChanged();
    void TagSearchViewChanged();
    void AdvancedWhereClauseChanged();
    void SQLTableComboIndexChanged();
    void SQLColumnComboIndexChanged();
    void SQLConditionComboIndexChanged();
    void AdvancedSQLValueChanged();
    /// @}
    /// The user chose points with OK or a double click: `SelectedTags` are the selected rows' points.
    void OnPointListSelection(const vq::SdkPointListPtr& SelectedTags);
    /// The user pressed Cancel.
    void OnCancelClick();
    /// A saved property was set through its setter: the host's cue that the saved properties are
    /// out of date.
    void PropertyChanged(const QString& name);

protected:
    /// While a search runs, holds back the user's input to the control except Stop, and stops
    /// the search on Esc; Enter in a field presses the default button.
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Enter clicks the focused button, or else the default button.
    void keyPressEvent(QKeyEvent* event) override;
    /// The first paint focuses the default field of the page shown.
    void paintEvent(QPaintEvent* event) override;

private:
    friend class VQTagSearchPrivate;
    std::unique_ptr<class VQTagSearchPrivate> const d;
};

}  // namespace vq

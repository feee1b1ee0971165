#pragma once

#include "sdk/SdkFwd.h"

#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;
class VQTagSearchPrivate;

// Finds points on one or more servers, by simple masks or by a where clause the user builds or
// types, lists them and hands the chosen ones to the host (OnPointListSelection). The results
// list reads points only for the rows it draws, so it holds a million points. A search that runs
// longer than a third of a second can be stopped (Stop or Esc) and keeps what it found so far;
// search() still returns only when the search is done.
class VQTagSearch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool SearchResultsMultiselect READ SearchResultsMultiselect WRITE SetSearchResultsMultiselect
                   NOTIFY SearchResultsMultiselectChanged)
    Q_PROPERTY(bool VQServerPickListEnabled READ VQServerPickListEnabled WRITE SetVQServerPickListEnabled
                   NOTIFY VQServerPickListEnabledChanged)
    Q_PROPERTY(QString TagMask READ TagMask WRITE SetTagMask NOTIFY TagMaskChanged USER true)
    Q_PROPERTY(
        QString DescriptorMask READ DescriptorMask WRITE SetDescriptorMask NOTIFY DescriptorMaskChanged)
    Q_PROPERTY(
        QString PointSourceMask READ PointSourceMask WRITE SetPointSourceMask NOTIFY PointSourceMaskChanged)
    Q_PROPERTY(QString EngineeringUnitsMask READ EngineeringUnitsMask WRITE SetEngineeringUnitsMask NOTIFY
                   EngineeringUnitsMaskChanged)
    Q_PROPERTY(QString ValueMask READ ValueMask WRITE SetValueMask NOTIFY ValueMaskChanged)
    Q_PROPERTY(
        QString PointClassMask READ PointClassMask WRITE SetPointClassMask NOTIFY PointClassMaskChanged)
    Q_PROPERTY(int PointTypeMask READ PointTypeMask WRITE SetPointTypeMask NOTIFY PointTypeMaskChanged)
    Q_PROPERTY(int TagSearchView READ TagSearchView WRITE SetTagSearchView NOTIFY TagSearchViewChanged)
    Q_PROPERTY(QString AdvancedWhereClause READ AdvancedWhereClause WRITE SetAdvancedWhereClause NOTIFY
                   AdvancedWhereClauseChanged)
    Q_PROPERTY(int SQLTableComboIndex READ SQLTableComboIndex WRITE SetSQLTableComboIndex NOTIFY
                   SQLTableComboIndexChanged)
    Q_PROPERTY(int SQLColumnComboIndex READ SQLColumnComboIndex WRITE SetSQLColumnComboIndex NOTIFY
                   SQLColumnComboIndexChanged)
    Q_PROPERTY(int SQLConditionComboIndex READ SQLConditionComboIndex WRITE SetSQLConditionComboIndex NOTIFY
                   SQLConditionComboIndexChanged)
    Q_PROPERTY(QString AdvancedSQLValue READ AdvancedSQLValue WRITE SetAdvancedSQLValue NOTIFY
                   AdvancedSQLValueChanged)

public:
    explicit VQTagSearch(QWidget* parent = nullptr);
    ~VQTagSearch() override;

    // The first page's server choice; setting it sets both pages' choice.
    SdkNamedValuesPtr SelectedServers() const;
    void SetSelectedServers(const SdkNamedValuesPtr& servers);
    bool SearchResultsMultiselect() const;
    void SetSearchResultsMultiselect(bool multiselect);
    bool VQServerPickListEnabled() const;
    void SetVQServerPickListEnabled(bool enabled);

    // The mask getters read the boxes on screen; the setters also keep the value to persist.
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
    int TagSearchView() const;
    void SetTagSearchView(int view);
    // Line breaks are CR LF.
    QString AdvancedWhereClause() const;
    void SetAdvancedWhereClause(const QString& clause);
    int SQLTableComboIndex() const;
    void SetSQLTableComboIndex(int index);
    int SQLColumnComboIndex() const;
    void SetSQLColumnComboIndex(int index);
    int SQLConditionComboIndex() const;
    void SetSQLConditionComboIndex(int index);
    QString AdvancedSQLValue() const;
    void SetAdvancedSQLValue(const QString& value);

    // The found points, in the order the servers answered; null after a search that reached no
    // server. Setting it shows the given list itself.
    SdkPointListPtr PointList() const;
    void SetPointList(const SdkPointListPtr& list);
    // The points of the selected rows, in row order.
    SdkPointListPtr PointListSelection();

    // Runs the showing page's query on the chosen servers and lists what they found; reports
    // its own errors.
    void search();
    // Stops a running search; what it found so far is listed.
    void Stop();
    bool isSearching() const;
    void Reset();
    void ClearSelectedTags();
    void ResetSearchResultsList();
    // With the server choice locked, drops the found points of servers outside the choice.
    void RemoveDisallowedSearchResults();

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads, so
    // typing in a mask box or picking a list entry notifies as the setters do.
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
    void OnPointListSelection(const vq::SdkPointListPtr& SelectedTags);
    void OnCancelClick();
    void PropertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class VQTagSearchPrivate;
    const std::unique_ptr<VQTagSearchPrivate> d;
};

}  // namespace vq

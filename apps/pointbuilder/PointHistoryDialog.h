#pragma once

#include "sdk/SdkChangeHistory.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vq {

// The change sets of one point, newest first (time, user, attributes changed, program, note), and
// for the chosen one each attribute's value before and after. "Restore these values" closes the
// dialog accepted; the window then loads the values before that change as edits. It only shows:
// reading the history and restoring are the window's, so a host could show the same sets.
class PointHistoryDialog : public QDialog {
    Q_OBJECT
public:
    // `sets` as the history gave them for the point `pointId`, newest first; `title` names the point.
    PointHistoryDialog(const QString& title, qint64 pointId, std::vector<SdkChangeSet> sets,
                       QWidget* parent = nullptr);

    // The change set chosen in the list; null when the history is empty.
    const SdkChangeSet* chosenSet() const;
    // What the chosen change set did to the point; empty when it did nothing to it.
    std::vector<SdkAttributeChange> chosenChanges() const;

    // Why the history of the point the entries hold cannot be shown; empty when it can.
    static QString unavailableText(const QString& serverName, bool pointStored,
                                   const SdkChangeHistoryPtr& history);
    // A change set that gave the point its first values: there is nothing before it to restore.
    static bool createdThePoint(const std::vector<SdkAttributeChange>& changes);

private:
    void fillChangeSets();
    void showChosen();
    const SdkPointChange* pointChange(const SdkChangeSet& set) const;

    qint64 m_pointId;
    std::vector<SdkChangeSet> m_sets;
    QLabel* m_lblPoint;
    QTreeWidget* m_lstChangeSets;
    QTreeWidget* m_lstAttributes;
    QPushButton* m_cmdRestore;
};

}  // namespace vq

#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace vq {

// Find and replace over the point table's cells: plain text, case as the user chooses, within the
// selected cells or the whole current column.
class PointTableFindDialog : public QDialog {
    Q_OBJECT
public:
    // `selectionOffered`: more than one cell is selected, so "Selected cells" is the first choice.
    explicit PointTableFindDialog(bool selectionOffered, QWidget* parent = nullptr);

    QString findText() const;
    QString replaceText() const;
    Qt::CaseSensitivity caseSensitivity() const;
    bool withinSelection() const;

private:
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QCheckBox* m_matchCase;
    QRadioButton* m_selection;
    QRadioButton* m_column;
};

}  // namespace vq

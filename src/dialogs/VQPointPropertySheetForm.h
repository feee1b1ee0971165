#pragma once

#include "sdk/SdkFwd.h"

#include <QDialog>
#include <QRect>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace vq {

class VQPointPropSheet;

// The point property dialog: the read-only attributes of one point of a list at a time, chosen
// in a drop-down, in a categorized and an alphabetic sheet bound to one collection.
class VQPointPropertySheetForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 5900;  // twips
    static constexpr int kMinimumHeight = 7230;

    // The Close button's size unless its caption needs more in the platform's font, in twips.
    static constexpr QSize kCloseButton{1215, 375};

    // Where the children sit in a client area of `form` twips, raised to the minimum size first.
    struct Layout {
        QRect label, list, tabs, close;
    };
    static Layout layoutFor(QSize form);
    // The same with a Close button of `closeButton` twips in the bottom right corner.
    static Layout layoutFor(QSize form, QSize closeButton);

    explicit VQPointPropertySheetForm(QWidget* parent = nullptr);

    // Lists the points of `list` (each by its path, which is also its key in the list) and shows
    // the first; both sheets turn read-only even when the list is empty.
    void SetPointList(const SdkPointListPtr& list);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RefreshPropSheet();
    void fillPointNames();

    SdkPointListPtr m_list;
    QLabel* lblVQPoint;
    QComboBox* cboPointList;
    QTabWidget* SSTab1;
    VQPointPropSheet* VQPointPropSheet1;
    VQPointPropSheet* VQPointPropSheet2;
    QPushButton* cmdClose;
};

}  // namespace vq

#include "dialogs/VQPointPropertySheetForm.h"

#include "core/Error.h"
#include "model/PropSheetEntries.h"
#include "platform/AccessibleNames.h"
#include "platform/Hourglass.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkPointList.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vq {

namespace {

constexpr int kMargin = 120;     // twips from the form's edges
constexpr int kListLeft = 1215;  // the drop-down starts right of "Point Name:"
constexpr int kTabsTop = 555;    // below the drop-down
constexpr int kLineHeight = 315;

QWidget* pageHolding(VQPointPropSheet* sheet) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sheet);
    return page;
}

}  // namespace

VQPointPropertySheetForm::Layout VQPointPropertySheetForm::layoutFor(QSize form) {
    return layoutFor(form, kCloseButton);
}

VQPointPropertySheetForm::Layout VQPointPropertySheetForm::layoutFor(QSize form, QSize closeButton) {
    form = form.expandedTo(QSize(kMinimumWidth, kMinimumHeight));
    const int right = form.width() - kMargin;
    const int bottom = form.height() - kMargin;
    Layout layout;
    layout.label = QRect(kMargin, kMargin + 45, kListLeft - kMargin, kLineHeight - 60);
    layout.list = QRect(QPoint(kListLeft, kMargin), QPoint(right - 1, kMargin + kLineHeight - 1));
    layout.close = QRect(QPoint(right - closeButton.width(), bottom - closeButton.height()), closeButton);
    layout.tabs = QRect(QPoint(kMargin, kTabsTop), QPoint(right - 1, layout.close.top() - kMargin - 1));
    return layout;
}

VQPointPropertySheetForm::VQPointPropertySheetForm(QWidget* parent)
    : QDialog(parent),
      lblVQPoint(new QLabel(QStringLiteral("Point Name:"), this)),
      cboPointList(new QComboBox(this)),
      SSTab1(new QTabWidget(this)),
      VQPointPropSheet1(new VQPointPropSheet),
      VQPointPropSheet2(new VQPointPropSheet),
      cmdClose(new QPushButton(QStringLiteral("&Close"), this)) {
    setObjectName(QStringLiteral("VQPointPropertySheetForm"));
    setWindowTitle(QStringLiteral("Point Properties"));
    lblVQPoint->setObjectName(QStringLiteral("lblVQPoint"));
    lblVQPoint->setBuddy(cboPointList);
    cboPointList->setObjectName(QStringLiteral("cboPointList"));
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    VQPointPropSheet1->setObjectName(QStringLiteral("VQPointPropSheet1"));
    VQPointPropSheet1->SetView(viewCategorized);
    VQPointPropSheet2->setObjectName(QStringLiteral("VQPointPropSheet2"));
    VQPointPropSheet2->SetView(viewAlphabetic);
    SSTab1->addTab(pageHolding(VQPointPropSheet1), QStringLiteral("Categorized"));
    SSTab1->addTab(pageHolding(VQPointPropSheet2), QStringLiteral("Alphabetic"));
    nameFieldsByCaptions(this);
    cboPointList->setAccessibleDescription(QStringLiteral("The point whose attributes are shown"));
    SSTab1->setAccessibleName(QStringLiteral("Attributes"));
    SSTab1->setAccessibleDescription(QStringLiteral("The attributes by category or in alphabetic order"));
    SSTab1->tabBar()->setAccessibleName(QStringLiteral("Views"));
    SSTab1->tabBar()->setAccessibleDescription(QStringLiteral("Chooses categories or alphabetic order"));
    SSTab1->setTabToolTip(0, QStringLiteral("The attributes grouped by category"));
    SSTab1->setTabToolTip(1, QStringLiteral("The attributes in alphabetic order"));
    // The dialog only shows: Enter, Esc and the button close it.
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    cmdClose->setAccessibleDescription(QStringLiteral("Closes the point properties"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumSize(twipsToPixels(QSize(kMinimumWidth, kMinimumHeight)));
    resize(minimumSize());
    connect(cboPointList, &QComboBox::currentIndexChanged, this, [this] { RefreshPropSheet(); });
}

void VQPointPropertySheetForm::SetPointList(const SdkPointListPtr& list) {
    reporting(QStringLiteral("VQPointPropsheetForm:SetPointList"), ReportLayout::Long, [&] {
        m_list = list;
        VQPointPropSheet1->SetReadonly(true);
        VQPointPropSheet2->SetReadonly(true);
        if (!m_list || m_list->Count() == 0) return;
        const Hourglass busy;
        fillPointNames();
        RefreshPropSheet();
    });
}

// Each point goes in by its path, the key under which the list finds it again; the handles give
// it without reading the points.
void VQPointPropertySheetForm::fillPointNames() {
    QStringList names;
    names.reserve(m_list->Count());
    for (int position = 1; position <= m_list->Count(); ++position)
        names << SdkPointList::Path(m_list->ServerName(position), m_list->Tag(position));
    const QSignalBlocker quiet(cboPointList);
    cboPointList->clear();
    cboPointList->addItems(names);
    cboPointList->setCurrentIndex(0);
}

void VQPointPropertySheetForm::RefreshPropSheet() {
    if (!m_list) return;
    reporting(QStringLiteral("VQPointPropsheetForm:RefreshPropSheet"), ReportLayout::Long, [this] {
        const SdkPointPtr point = m_list->Item(cboPointList->currentText());
        auto entries = std::make_shared<PropSheetEntries>();
        entries->AddAttributesForPoint(point);
        VQPointPropSheet1->SetPropSheetEntries(entries);
        VQPointPropSheet2->SetPropSheetEntries(entries);
    });
}

void VQPointPropertySheetForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The button grows where its caption needs more than its design size in the platform's font.
    const QSize button = pixelsToTwips(cmdClose->sizeHint()).expandedTo(kCloseButton);
    const Layout layout = layoutFor(pixelsToTwips(size()), button);
    lblVQPoint->setGeometry(twipsToPixels(layout.label));
    cboPointList->setGeometry(twipsToPixels(layout.list));
    SSTab1->setGeometry(twipsToPixels(layout.tabs));
    cmdClose->setGeometry(twipsToPixels(layout.close));
}

}  // namespace vq

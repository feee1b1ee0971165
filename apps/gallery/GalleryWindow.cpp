#include "GalleryWindow.h"

#include "core/Variant.h"
#include "editors/ComboButton.h"
#include "editors/DropDownList.h"
#include "editors/OptOnOff.h"
#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"
#include "editors/TimeDivisionControl.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"
#include "platform/Twips.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vq {

namespace {

constexpr int kEditorWidth = 3000;  // twips; the common width of the resizable editors

QWidget* sized(QWidget* editor, int widthTwips) {
    editor->setFixedWidth(twipsToPixels(widthTwips));
    return editor;
}

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent)
    : QWidget(parent), m_grid(new QGridLayout), m_lastEvent(new QLabel(QStringLiteral("Last event: none"))) {
    setWindowTitle(QStringLiteral("VQ editors gallery"));
    m_grid->setColumnStretch(2, 1);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(8);
    addTextEditors();
    addListEditors();
    addSecurityAndTimeEditors();
    m_lastEvent->setObjectName(QStringLiteral("lblLastEvent"));
    m_lastEvent->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_grid);
    layout->addSpacing(6);
    layout->addWidget(m_lastEvent);
    layout->addStretch(1);
}

void GalleryWindow::addRow(const QString& caption, QWidget* editor) {
    const int row = m_grid->rowCount();
    auto* label = new QLabel(caption);
    label->setBuddy(editor);
    m_grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    m_grid->addWidget(editor, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    auto* kind =
        new QLabel(QString::fromLatin1(editor->metaObject()->className()).section(QLatin1Char(':'), -1));
    kind->setForegroundRole(QPalette::PlaceholderText);
    m_grid->addWidget(kind, row, 2, Qt::AlignLeft | Qt::AlignVCenter);
}

template <typename Editor, typename Signal>
void GalleryWindow::showEvents(Editor* editor, Signal signal, const QString& event) {
    connect(editor, signal, this, [this, editor, event] {
        m_lastEvent->setText(QStringLiteral("Last event: %1 from %2").arg(event, editor->objectName()));
    });
}

void GalleryWindow::addTextEditors() {
    auto* tag = new TxtButton;
    tag->setObjectName(QStringLiteral("ctlTxtButton"));
    tag->SetText(QStringLiteral("CDT158"));
    showEvents(tag, &TxtButton::OnButtonClick, QStringLiteral("OnButtonClick"));
    showEvents(tag, &TxtButton::OnEnterKeyPress, QStringLiteral("OnEnterKeyPress"));
    addRow(QStringLiteral("Tag:"), sized(tag, kEditorWidth));

    auto* twin = new TxtComboControl;
    twin->setObjectName(QStringLiteral("ctlTxtComboControl"));
    twin->SetText(QStringLiteral("2.5"));
    const QStringList twins{QStringLiteral("CompDev"), QStringLiteral("CompDevPercent")};
    int widest = 0;
    for (const QString& item : twins) {
        twin->AddItem(item);
        widest = std::max(widest, QFontMetrics(twin->font()).horizontalAdvance(item));
    }
    // As the attribute editor does: the widest item plus room for the arrow.
    twin->SetComboWidth(int16_t(pixelsToTwips(widest) + 400));
    twin->SetListIndex(0);
    showEvents(twin, &TxtComboControl::OnListIndexChange, QStringLiteral("OnListIndexChange"));
    showEvents(twin, &TxtComboControl::OnEnterKeyPress, QStringLiteral("OnEnterKeyPress"));
    addRow(QStringLiteral("Compression deviation:"), sized(twin, kEditorWidth));
}

void GalleryWindow::addListEditors() {
    auto* type = new DropDownList;
    type->setObjectName(QStringLiteral("ctlDropDownList"));
    for (const char* name :
         {"Int16", "Int32", "Float16", "Float32", "Float64", "Digital", "Blob", "String"}) {
        type->AddItem(QString::fromLatin1(name));
    }
    type->SetListIndex(3);
    showEvents(type, &DropDownList::Click, QStringLiteral("Click"));
    addRow(QStringLiteral("Point type:"), sized(type, 1500));

    auto* onOff = new OptOnOff;
    onOff->setObjectName(QStringLiteral("ctlOptOnOff"));
    onOff->SetValue(0);
    showEvents(onOff, &OptOnOff::OnOptionClick, QStringLiteral("OnOptionClick"));
    addRow(QStringLiteral("Archiving:"), onOff);

    auto* recent = new ComboButton;
    recent->setObjectName(QStringLiteral("ctlComboButton"));
    for (const char* mask : {"ba:*.1", "CDT*", "sinusoid*"}) recent->AddItem(QString::fromLatin1(mask));
    showEvents(recent, &ComboButton::ButtonClick, QStringLiteral("ButtonClick"));
    showEvents(recent, &ComboButton::OnEnterKeyPress, QStringLiteral("OnEnterKeyPress"));
    addRow(QStringLiteral("Recent tag masks:"), sized(recent, kEditorWidth));
}

void GalleryWindow::addSecurityAndTimeEditors() {
    auto* security = new SecurityControl;
    security->setObjectName(QStringLiteral("ctlSecurityControl"));
    security->SetSecurity(QStringLiteral("o:rw g:r w:"));
    showEvents(security, &SecurityControl::OnListIndexChange, QStringLiteral("OnListIndexChange"));
    addRow(QStringLiteral("Point security:"), security);

    auto* group = new SecurityControlInd;
    group->setObjectName(QStringLiteral("ctlSecurityControlInd"));
    group->SetSecurityScope(1);
    group->SetSecurity(QStringLiteral("o:rw g:r w:"));
    showEvents(group, &SecurityControlInd::OnListIndexChange, QStringLiteral("OnListIndexChange"));
    addRow(QStringLiteral("Group access:"), sized(group, 1500));

    auto* span = new TimeDivisionControl;
    span->setObjectName(QStringLiteral("ctlTimeDivisionControl"));
    span->SetTime(Variant(int32_t(93784)));  // 1 day, 2 h, 3 min, 4 s
    showEvents(span, &TimeDivisionControl::OnEnterKeyPress, QStringLiteral("OnEnterKeyPress"));
    addRow(QStringLiteral("Maximum time:"), span);
}

}  // namespace vq

#include "DialogShots.h"

#include "ServerShots.h"
#include "dialogs/TagwrightDlgs.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace vq {

namespace {

QPushButton* button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

// Runs `open`, which shows a modal dialog; once it is up `prepare` fills it, the picture is
// taken and the dialog hidden, which ends `open`.
bool whileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& prepare,
                const QString& folder, const char* name) {
    bool saved = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        prepare(dialog);
        saved = saveWidgetPicture(dialog, folder, name);
        dialog->hide();
    });
    open();
    return saved;
}

SdkNamedValuesPtr sampleServers() {
    auto all = SdkNamedValues::create();
    for (const char* name : {"vqsouth", "vqnorth", "vqlegacy"})
        all->Add(QString::fromLatin1(name), Variant(int16_t(0)));
    return all;
}

}  // namespace

bool saveDialogShots(const QString& folder) {
    TagwrightDlgs dialogs;
    auto masks = SdkNamedValues::create();
    masks->Add(QStringLiteral("Tag"), Variant(QStringLiteral("B01-T*")));
    dialogs.InitTagSearch(masks);
    bool saved = whileModal([&] { dialogs.ShowTagSearchDialog(nullptr, 0, sampleServers()); },
                            [&](QWidget* dialog) {
                                dialog->resize(900, 640);
                                button(dialog, "cmdSearch")->click();
                                button(dialog, "cmdSelectAll")->click();
                            },
                            folder, "dialog-tagsearch.png");
    saved = whileModal(
                [&] {
                    dialogs.ShowDigsetSearchDialog(
                        SdkApplication::instance()->Servers()->Item(QStringLiteral("vqsouth")));
                },
                [&](QWidget* dialog) {
                    dialog->findChild<QComboBox*>(QStringLiteral("cboCondition1"))->setCurrentIndex(1);
                    dialog->findChild<QLineEdit*>(QStringLiteral("txtDigState1"))
                        ->setText(QStringLiteral("OPEN"));
                    dialog->findChild<QLineEdit*>(QStringLiteral("txtDigState2"))
                        ->setText(QStringLiteral("AUTO"));
                    button(dialog, "cmdSearch")->click();
                },
                folder, "dialog-digset.png") &&
            saved;
    const SdkPointListPtr points =
        SdkApplication::instance()
            ->Servers()
            ->Item(QStringLiteral("vqsouth"))
            ->GetPointsSQL(QStringLiteral("VQPoint.Tag = 'B01-T*'"), SdkNamedValues(), nullptr);
    auto three = SdkPointList::create();
    for (int position = 1; position <= 3 && position <= points->Count(); ++position)
        three->AddItem(*points, position);
    saved = whileModal([&] { dialogs.ShowVQPointPropertySheet(three); }, [](QWidget*) {}, folder,
                       "dialog-properties.png") &&
            saved;
    return saved;
}

}  // namespace vq

// vqhost: a host program's form with our controls, laid out in Designer (HostForm.ui). It shows
// the first "classic" point of the chosen server in a property sheet and follows the pick list.
//   vqhost [--registry FILE] [--quit-after-show]
// The sample servers are created beside the server list when it lacks them.
#include "ui_HostForm.h"

#include "archive/data/SampleArchives.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ServerRegistry.h"
#include "core/Error.h"
#include "dialogs/WidgetServices.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace {

// The chosen server, or the default one while nothing is chosen.
vq::SdkServerPtr chosenServer(vq::MultiServerPickList& pickList) {
    const vq::SdkServersPtr servers = vq::SdkApplication::instance()->Servers();
    const vq::SdkNamedValuesPtr chosen = pickList.SelectedServers();
    return chosen && chosen->Count() > 0 ? servers->Item(chosen->Item(1).Name()) : servers->DefaultServer();
}

std::shared_ptr<vq::PropSheetEntries> firstClassicPoint(const vq::SdkServerPtr& server) {
    const vq::SdkPointListPtr found =
        server->GetPointsSQL(QStringLiteral("VQPOINT.PointClass = 'classic'"), vq::SdkNamedValues(), nullptr);
    auto entries = std::make_shared<vq::PropSheetEntries>();
    entries->AddAttributesForPoint(server->Points()->Item(found->Tag(1)));
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions(
        {{QStringLiteral("registry"), QStringLiteral("The server list."), QStringLiteral("file")},
         {QStringLiteral("quit-after-show"), QStringLiteral("Show the form once and exit.")}});
    parser.process(app);
    const bool once = parser.isSet(QStringLiteral("quit-after-show"));

    vq::ArchiveApplication::install(parser.value(QStringLiteral("registry")));
    // A run that ends by itself must not wait for a message box nobody can close.
    if (!once) vq::installWidgetServices();

    QWidget window;
    Ui::HostForm form;
    std::shared_ptr<vq::PropSheetEntries> entries;
    try {
        vq::ServerRegistry registry;
        vq::SampleArchives::ensure(registry);
        form.setupUi(&window);
        const auto showPoint = [&] {
            entries = firstClassicPoint(chosenServer(*form.serverPickList));
            form.pointPropSheet->SetPropSheetEntries(entries);
            form.descriptorEdit->SetPropSheetEntries(entries);
            form.compressionSpecs->SetPropSheetEntries(entries);
        };
        showPoint();
        QObject::connect(form.serverPickList, &vq::MultiServerPickList::OnSelection, &window, [&] {
            try {
                showPoint();
            } catch (const vq::Error& error) {
                std::fprintf(stderr, "vqhost: %s\n", qPrintable(error.description()));
            }
        });
    } catch (const vq::Error& error) {
        std::fprintf(stderr, "vqhost: %s\n", qPrintable(error.description()));
        return 1;
    }

    window.show();
    if (!once) return QApplication::exec();
    QApplication::processEvents();
    const QString tag = entries->GetValue(QStringLiteral("Tag")).toString();
    std::printf("vqhost: %s on %s, %d attributes, descriptor \"%s\"\n", qPrintable(tag),
                qPrintable(entries->Server()->Name()), entries->Count(),
                qPrintable(form.descriptorEdit->Text()));
    // The sheet must show the point: its grid has a row for each attribute it lists.
    return form.pointPropSheet->cellIndex(QStringLiteral("Tag"), vq::columnName).isValid() ? 0 : 1;
}

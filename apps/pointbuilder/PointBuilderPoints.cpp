// The Points window beside the single-point view: made on first use, it takes the points last
// chosen with Properties..., and a row's point opens back here, on its server.
#include "PointBuilderWindow.h"
#include "PointTableWindow.h"
#include "core/Error.h"
#include "core/MessageService.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkServer.h"
#include "table/VQPointTable.h"

namespace vq {

using namespace Qt::Literals::StringLiterals;

PointTableWindow* PointBuilderWindow::showPointsWindow() {
    if (!m_pointsWindow) {
        m_pointsWindow = new PointTableWindow(
            *m_settings, *m_dialogs, [this] { return m_server; }, this);
        connect(m_pointsWindow, &PointTableWindow::openPointRequested, this,
                &PointBuilderWindow::openTablePoint);
    }
    m_pointsWindow->show();
    m_pointsWindow->raise();
    m_pointsWindow->activateWindow();
    return m_pointsWindow;
}

void PointBuilderWindow::editSelectionInPoints() {
    if (m_propertiesSelection) showPointsWindow()->table()->AddPoints(*m_propertiesSelection);
}

bool PointBuilderWindow::openTablePoint(const SdkPointPtr& point) {
    if (!point || !mayDropEdits()) return false;
    const QString server = point->Server()->Name();
    if (!selectServer(server)) {
        messageService().show(
            u"The server \"%1\" of %2 is not in the server list."_s.arg(server, point->Name()),
            MessageButtons::Ok, QString());
        return false;
    }
    const bool opened = reporting(u"PointBuilderWindow:OpenPoint"_s, ReportLayout::Long, false, [&] {
        bindStoredPoint(point);
        return true;
    });
    raise();
    activateWindow();
    return opened;
}

}  // namespace vq

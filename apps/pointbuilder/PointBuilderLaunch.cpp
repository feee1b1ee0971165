#include "PointBuilderLaunch.h"

#include "PointBuilderWindow.h"
#include "archive/data/SampleArchives.h"
#include "archive/server/ArchiveApplication.h"
#include "core/Error.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {

bool fail(const QString& text) {
    std::fprintf(stderr, "vqpointbuilder: %s\n", qPrintable(text));
    return false;
}

// Types `mask` into the point search dialog once it shows, searches and takes the top point, as a
// user would; a dialog without those fields is cancelled rather than left waiting.
void driveTagSearch(const QString& mask, int tries = 100) {
    QTimer::singleShot(20, [=] {
        QWidget* form = QApplication::activeModalWidget();
        if (!form) {
            if (tries > 0) driveTagSearch(mask, tries - 1);
            return;
        }
        auto* tag = form->findChild<QLineEdit*>(u"txtTagMask"_s);
        auto* search = form->findChild<QPushButton*>(u"cmdSearch"_s);
        auto* ok = form->findChild<QPushButton*>(u"cmdOK"_s);
        if (!tag || !search || !ok) {
            form->close();
            return;
        }
        tag->setText(mask);
        search->click();
        ok->click();
    });
}

}  // namespace

PointBuilderLaunch::PointBuilderLaunch(const QStringList& arguments) {
    m_parser.setApplicationDescription(u"Create and edit points on the known servers."_s);
    m_parser.addHelpOption();
    m_parser.addOptions({
        {u"registry"_s, u"The server list (default: VQ_SERVER_REGISTRY, else the user's data folder)."_s,
         u"file"_s},
        {u"server"_s, u"The server to start with (default: the list's default server)."_s, u"name"_s},
        {u"open"_s, u"Open the point with this tag."_s, u"tag"_s},
        {u"new"_s, u"Start a new point of this class."_s, u"class"_s},
        {u"find"_s, u"Find a point by a tag mask in the search dialog and open the first found."_s,
         u"mask"_s},
        {u"set"_s, u"Set an attribute of the point, as typed in the sheet (repeatable)."_s, u"name=value"_s},
        {u"screenshot"_s, u"Render the window with a point open to a PNG file and exit."_s, u"file"_s},
        {u"history"_s, u"With --screenshot: render the point's History dialog over the window."_s},
    });
    m_parser.process(arguments);
}

bool PointBuilderLaunch::wantsScreenshot(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--screenshot") == 0) return true;
    return false;
}

void PointBuilderLaunch::prepareServers() const {
    ArchiveApplication::install(m_parser.value(u"registry"_s));
    try {
        ServerRegistry registry;
        SampleArchives::ensure(registry);
    } catch (const Error& error) {
        fail(u"cannot make the sample servers: "_s + error.description());
    }
}

bool PointBuilderLaunch::apply(PointBuilderWindow& window) const {
    const QString server = m_parser.value(u"server"_s);
    if (!server.isEmpty() && !window.selectServer(server))
        return fail(u"no server named \"%1\""_s.arg(server));
    bool opened = true;
    if (m_parser.isSet(u"new"_s))
        opened = window.newPoint(m_parser.value(u"new"_s), QString());
    else if (m_parser.isSet(u"open"_s))
        opened = window.openPoint(m_parser.value(u"open"_s));
    else if (m_parser.isSet(u"find"_s))
        opened = findPoint(window, m_parser.value(u"find"_s));
    else if (isScreenshot())
        opened = openFirstPoint(window, u"classic"_s);
    return opened && setValues(window);
}

bool PointBuilderLaunch::openFirstPoint(PointBuilderWindow& window, const QString& className) const {
    if (!window.server()) return fail(u"no server to show a point of"_s);
    try {
        const QString clause = u"VQPOINT.PointClass = '%1'"_s.arg(className);
        const SdkPointListPtr points = window.server()->GetPointsSQL(clause, SdkNamedValues(), nullptr);
        return window.openPoint(points->Tag(1));
    } catch (const Error& error) {
        return fail(u"no %1 point on %2: %3"_s.arg(className, window.server()->Name(), error.description()));
    }
}

bool PointBuilderLaunch::findPoint(PointBuilderWindow& window, const QString& mask) const {
    driveTagSearch(mask);
    return window.findPoint() || fail(u"no point found for the tag mask \"%1\""_s.arg(mask));
}

bool PointBuilderLaunch::setValues(PointBuilderWindow& window) const {
    for (const QString& assignment : m_parser.values(u"set"_s)) {
        const qsizetype equals = assignment.indexOf(u'=');
        if (equals <= 0 || !window.entries()) return fail(u"cannot set \"%1\""_s.arg(assignment));
        try {
            window.entries()->SetValue(assignment.left(equals), Variant(assignment.mid(equals + 1)));
        } catch (const Error& error) {
            return fail(u"cannot set \"%1\": %2"_s.arg(assignment, error.description()));
        }
    }
    return true;
}

}  // namespace vq

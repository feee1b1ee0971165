#pragma once

#include <QCommandLineParser>
#include <QStringList>

namespace vq {

class PointBuilderWindow;

// The Point Builder's command line: which server list to use, which point to show first and
// which values to set in it, and whether to render a screenshot instead of running.
class PointBuilderLaunch {
public:
    // Parses the program's arguments; --help and wrong options end the program, as usual.
    explicit PointBuilderLaunch(const QStringList& arguments);

    // Read before the application object exists, which decides the platform and scale.
    static bool wantsScreenshot(int argc, char** argv);
    bool isScreenshot() const { return m_parser.isSet(QStringLiteral("screenshot")); }
    QString screenshotPath() const { return m_parser.value(QStringLiteral("screenshot")); }
    bool wantsHistory() const { return m_parser.isSet(QStringLiteral("history")); }

    // Makes the archive the server library over the chosen server list, and creates the sample
    // servers that list lacks.
    void prepareServers() const;
    // Chooses the server, opens or creates the point and sets the given values; False after a
    // failure, which is told on stderr or in a message.
    bool apply(PointBuilderWindow& window) const;

private:
    bool openFirstPoint(PointBuilderWindow& window, const QString& className) const;
    bool findPoint(PointBuilderWindow& window, const QString& mask) const;
    bool setValues(PointBuilderWindow& window) const;

    QCommandLineParser m_parser;
};

}  // namespace vq

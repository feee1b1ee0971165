#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class QSettings;

namespace vq {

// A point as the recent-points menu keeps it: on which server, under which tag.
struct RecentPoint {
    QString server;
    QString tag;
    bool sameAs(const RecentPoint& other) const;
};

// What the Point Builder remembers between runs: the window's geometry, the chosen server and the
// points last opened or saved, newest first. They live in the application's QSettings, so only a
// program that names itself (main.cpp sets the organization and application names) writes any: a
// window hosted elsewhere, in a test or a benchmark, remembers for its own lifetime only.
class PointBuilderSettings {
public:
    static constexpr int MaxRecentPoints = 8;

    PointBuilderSettings();
    ~PointBuilderSettings();

    QByteArray geometry() const;
    void setGeometry(const QByteArray& geometry);
    QString server() const;
    void setServer(const QString& server);

    // The Points window's attribute columns (comma-separated) and geometry.
    QString pointTableColumns() const { return m_pointTableColumns; }
    void setPointTableColumns(const QString& columns);
    QByteArray pointTableGeometry() const { return m_pointTableGeometry; }
    void setPointTableGeometry(const QByteArray& geometry);

    QList<RecentPoint> recentPoints() const { return m_recent; }
    // Puts the point first, once, and forgets the oldest beyond MaxRecentPoints.
    void addRecentPoint(const RecentPoint& point);
    void removeRecentPoint(const RecentPoint& point);

private:
    void storeRecentPoints();

    std::unique_ptr<QSettings> m_settings;  // null when the program has no name to store under
    QByteArray m_geometry;
    QString m_server;
    QList<RecentPoint> m_recent;
    QString m_pointTableColumns;
    QByteArray m_pointTableGeometry;
};

}  // namespace vq

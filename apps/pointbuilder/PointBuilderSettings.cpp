#include "PointBuilderSettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kGeometry = u"window/geometry"_s;
const QString kServer = u"window/server"_s;
const QString kRecent = u"recentPoints"_s;
const QString kTableColumns = u"points/columns"_s;
const QString kTableGeometry = u"points/geometry"_s;

}  // namespace

bool RecentPoint::sameAs(const RecentPoint& other) const {
    return server.compare(other.server, Qt::CaseInsensitive) == 0 &&
           tag.compare(other.tag, Qt::CaseInsensitive) == 0;
}

PointBuilderSettings::PointBuilderSettings() {
    if (QCoreApplication::organizationName().isEmpty()) return;
    m_settings = std::make_unique<QSettings>();
    m_geometry = m_settings->value(kGeometry).toByteArray();
    m_server = m_settings->value(kServer).toString();
    m_pointTableColumns = m_settings->value(kTableColumns).toString();
    m_pointTableGeometry = m_settings->value(kTableGeometry).toByteArray();
    const int count = m_settings->beginReadArray(kRecent);
    for (int i = 0; i < count && m_recent.size() < MaxRecentPoints; ++i) {
        m_settings->setArrayIndex(i);
        const RecentPoint point{m_settings->value(u"server"_s).toString(),
                                m_settings->value(u"tag"_s).toString()};
        if (!point.server.isEmpty() && !point.tag.isEmpty()) m_recent << point;
    }
    m_settings->endArray();
}

PointBuilderSettings::~PointBuilderSettings() = default;

QByteArray PointBuilderSettings::geometry() const {
    return m_geometry;
}

void PointBuilderSettings::setGeometry(const QByteArray& geometry) {
    m_geometry = geometry;
    if (m_settings) m_settings->setValue(kGeometry, geometry);
}

QString PointBuilderSettings::server() const {
    return m_server;
}

void PointBuilderSettings::setServer(const QString& server) {
    m_server = server;
    if (m_settings) m_settings->setValue(kServer, server);
}

void PointBuilderSettings::setPointTableColumns(const QString& columns) {
    m_pointTableColumns = columns;
    if (m_settings) m_settings->setValue(kTableColumns, columns);
}

void PointBuilderSettings::setPointTableGeometry(const QByteArray& geometry) {
    m_pointTableGeometry = geometry;
    if (m_settings) m_settings->setValue(kTableGeometry, geometry);
}

void PointBuilderSettings::addRecentPoint(const RecentPoint& point) {
    m_recent.removeIf([&](const RecentPoint& known) { return known.sameAs(point); });
    m_recent.prepend(point);
    while (m_recent.size() > MaxRecentPoints) m_recent.removeLast();
    storeRecentPoints();
}

void PointBuilderSettings::removeRecentPoint(const RecentPoint& point) {
    m_recent.removeIf([&](const RecentPoint& known) { return known.sameAs(point); });
    storeRecentPoints();
}

void PointBuilderSettings::storeRecentPoints() {
    if (!m_settings) return;
    m_settings->remove(kRecent);  // a shorter list leaves no stale entries behind
    m_settings->beginWriteArray(kRecent, int(m_recent.size()));
    for (int i = 0; i < m_recent.size(); ++i) {
        m_settings->setArrayIndex(i);
        m_settings->setValue(u"server"_s, m_recent[i].server);
        m_settings->setValue(u"tag"_s, m_recent[i].tag);
    }
    m_settings->endArray();
}

}  // namespace vq

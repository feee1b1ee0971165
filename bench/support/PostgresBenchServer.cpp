#include "PostgresBenchServer.h"

#include "archive/postgres/PgConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <stdexcept>

namespace vq::bench {

PostgresBenchServer::PostgresBenchServer(const QString& name)
    // Beside the temporary folder rather than in it: the server's own user must reach it when
    // the benchmarks run as root, and a socket path has to stay short.
    : m_clusterDir(QDir::tempPath() +
                   QStringLiteral("/vq-%1-%2").arg(name).arg(QCoreApplication::applicationPid())),
      m_serverUri(qEnvironmentVariable("VQ_BENCH_POSTGRES_URI")) {
    if (!m_serverUri.isEmpty()) return;
    if (!cluster(QStringLiteral("start")))
        throw std::runtime_error("no VQ_BENCH_POSTGRES_URI and the throwaway cluster did not start");
    m_ownCluster = true;
    m_serverUri = QStringLiteral("postgresql:///postgres?host=%1&user=postgres").arg(m_clusterDir);
}

PostgresBenchServer::~PostgresBenchServer() {
    try {
        for (const QString& database : m_databases)
            pg::Connection(m_serverUri)
                .execScript("DROP DATABASE IF EXISTS " + database.toUtf8() + " WITH (FORCE)");
    } catch (const pg::Failure&) {
        // A cluster of its own goes below anyway.
    }
    if (m_ownCluster) cluster(QStringLiteral("stop"));
}

QString PostgresBenchServer::createDatabase(const QString& database) {
    pg::Connection(m_serverUri).execScript("CREATE DATABASE " + database.toUtf8());
    m_databases << database;
    return m_serverUri + (m_serverUri.contains(u'?') ? u'&' : u'?') + QStringLiteral("dbname=") + database;
}

bool PostgresBenchServer::cluster(const QString& action) const {
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PG_BINDIR"), QStringLiteral(VQ_POSTGRES_BINDIR));
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral("sh"), {QStringLiteral(VQ_CLUSTER_SCRIPT), action, m_clusterDir});
    return script.waitForFinished(120000) && script.exitCode() == 0;
}

}  // namespace vq::bench

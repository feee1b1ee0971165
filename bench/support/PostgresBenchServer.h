#pragma once

#include <QString>
#include <QStringList>

namespace vq::bench {

// The PostgreSQL server of the benchmarks: VQ_BENCH_POSTGRES_URI when set, else a throwaway
// cluster started with the tests' cluster script. Databases made through it are dropped, and a
// cluster of its own stopped, when it goes.
class PostgresBenchServer {
public:
    // `name` tells apart the cluster folders of programs running at once. Raises
    // std::runtime_error when there is no server to use.
    explicit PostgresBenchServer(const QString& name);
    ~PostgresBenchServer();
    PostgresBenchServer(const PostgresBenchServer&) = delete;
    PostgresBenchServer& operator=(const PostgresBenchServer&) = delete;

    // A new database named `database`, as an archive location.
    QString createDatabase(const QString& database);

private:
    bool cluster(const QString& action) const;

    QString m_clusterDir;
    QString m_serverUri;
    bool m_ownCluster = false;
    QStringList m_databases;
};

}  // namespace vq::bench

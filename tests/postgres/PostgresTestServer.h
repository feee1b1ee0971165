#pragma once

#include <libpq-fe.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>

namespace vq::test {

// The server that the PostgreSQL tests run against: VQ_TEST_POSTGRES_URI, set by CTest to the
// throwaway cluster of the build directory, or by a developer to a server of their own.
inline const char* postgresTestUri() {
    return std::getenv("VQ_TEST_POSTGRES_URI");
}

using PgResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

// One libpq connection, closed when it goes.
class PgConnection {
public:
    // Connects to the server of `uri`, to `database` if given rather than the URI's own.
    explicit PgConnection(const std::string& uri, const std::string& database = {}) {
        const char* keys[] = {"dbname", database.empty() ? nullptr : "dbname", nullptr};
        const char* values[] = {uri.c_str(), database.c_str(), nullptr};
        // Only the first dbname is read as a URI; a second one is a plain database name.
        conn_.reset(PQconnectdbParams(keys, values, 1));
        if (PQstatus(get()) != CONNECTION_OK)
            throw std::runtime_error("cannot connect to " + uri + ": " + PQerrorMessage(get()));
    }

    PGconn* get() const { return conn_.get(); }

    // Runs `sql`; the result says how it went, failures included.
    PgResult run(const std::string& sql) const { return {PQexec(get(), sql.c_str()), &PQclear}; }

    // Runs `sql`, which must succeed; returns the first value of the first row, if any.
    std::string exec(const std::string& sql) const {
        const PgResult result = run(sql);
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
        return PQntuples(result.get()) > 0 ? PQgetvalue(result.get(), 0, 0) : "";
    }

private:
    std::unique_ptr<PGconn, decltype(&PQfinish)> conn_{nullptr, &PQfinish};
};

// A fresh database on the test server, dropped with all its connections when it goes.
class TestDatabase {
public:
    TestDatabase() : uri_(requiredUri()), admin_(uri_), name_(uniqueDatabaseName()) {
        admin_.exec("CREATE DATABASE " + name_);
    }
    ~TestDatabase() { admin_.run("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)"); }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& name() const { return name_; }
    // The test server's URI with this database in place of the server's own.
    std::string uri() const {
        static const std::regex parts("^(postgres(ql)?://[^/?]*)(/[^?]*)?(.*)$");
        std::smatch match;
        if (!std::regex_match(uri_, match, parts))
            throw std::runtime_error("VQ_TEST_POSTGRES_URI is no postgresql:// URI: " + uri_);
        return match[1].str() + "/" + name_ + match[4].str();
    }

private:
    static std::string requiredUri() {
        const char* uri = postgresTestUri();
        if (!uri || !*uri)
            throw std::runtime_error(
                "VQ_TEST_POSTGRES_URI is not set; ctest sets it to the cluster it starts, or set it to a "
                "server of your own");
        return uri;
    }

    static std::string uniqueDatabaseName() {
        static std::atomic<int> counter{0};
        std::random_device random;
        return "vq_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" +
               std::to_string(random() % 1000000);
    }

    std::string uri_;
    PgConnection admin_;
    std::string name_;
};

}  // namespace vq::test

#pragma once

#include "archive/postgres/PgConnection.h"

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>

namespace vq::test {

// The archive's own libpq connection: the tests plant and inspect what no server call does.
using PgConnection = pg::Connection;

// A fresh database on the server the PostgreSQL tests run against (VQ_TEST_POSTGRES_URI, set by
// CTest to the build directory's throwaway cluster, or by a developer to a server of their own),
// dropped with all its connections when it goes.
class TestDatabase {
public:
    TestDatabase() : uri_(requiredUri()), admin_(QString::fromStdString(uri_)), name_(uniqueName()) {
        admin_.execScript(QByteArray::fromStdString("CREATE DATABASE " + name_));
    }
    ~TestDatabase() {
        try {
            admin_.execScript(
                QByteArray::fromStdString("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)"));
        } catch (const pg::Failure&) {  // a server gone at the end leaves nothing to drop
        }
    }
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
        const char* uri = std::getenv("VQ_TEST_POSTGRES_URI");
        if (!uri || !*uri)
            throw std::runtime_error(
                "VQ_TEST_POSTGRES_URI is not set; ctest sets it to the cluster it starts, or set it to a "
                "server of your own");
        return uri;
    }
    static std::string uniqueName() {
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

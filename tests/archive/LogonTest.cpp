// Log-on throttling on both engines. Time is a test clock: a wait is a step of it, and a failure
// answered when its window closes only notes when its guesser may go on.
#include "ArchiveTestSupport.h"

#include "archive/server/LogonThrottle.h"
#include "archive/sqlite/SqliteArchiveStorage.h"

#include <QRegularExpression>

#include <atomic>
#include <thread>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

class TestClock : public LogonClock {
public:
    double now() const override { return at; }
    void sleepUntil(double moment) const override { woken = moment; }
    std::atomic<double> at{2e9};
    mutable std::atomic<double> woken{0};
};

class LogonTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        createArchive();
        reopen()->addUser(u"alice"_s, u"secret"_s, {});
    }
    std::shared_ptr<ArchiveServer> client() const {
        auto server = reopen();
        server->setLogonClock(m_clock);
        return server;
    }
    // "in", "wrong", "wait N", or what else was said.
    std::string attempt(const QString& user, const QString& password,
                        std::shared_ptr<ArchiveServer> server = {}) {
        const QString said =
            raised([&] { (server ? server : client())->Open(user, password); }).description();
        static const QRegularExpression wait(u"in a row; try again in (\\d+) s$"_s);
        if (const QRegularExpressionMatch match = wait.match(said); match.hasMatch())
            return "wait " + match.captured(1).toStdString();
        return said == u"nothing was raised"_s   ? "in"
               : said.endsWith(u"or password"_s) ? "wrong"
                                                 : said.toStdString();
    }
    static int waitOf(const std::string& outcome) {
        return outcome.starts_with("wait ") ? std::stoi(outcome.substr(5)) : 0;
    }

    std::shared_ptr<TestClock> m_clock = std::make_shared<TestClock>();
};
VQ_ON_BOTH_BACKENDS(LogonTest);

// Three guessers who come back the moment they are told and one who tries every second: in ten
// minutes they get one checked guess each per window, while the right password gets in at the
// next window, the guessers going first whenever both come at once.
TEST_P(LogonTest, GuessingStaysSlowAndTheRightPasswordGetsInWithinOneWait) {
    const double start = m_clock->at;
    std::vector<double> next(4, start);
    std::vector<std::shared_ptr<ArchiveServer>> guessers{client(), client(), client(), client()};
    int checked = 0;
    auto guess = [&] {
        const size_t who = size_t(std::min_element(next.begin(), next.end()) - next.begin());
        m_clock->at = next[who];
        const std::string outcome = attempt(u"alice"_s, u"guess"_s, guessers[who]);
        checked += outcome == "wrong";
        const double answered = std::max(next[who], outcome == "wrong" ? double(m_clock->woken) : 0.0);
        next[who] = who == 3 ? answered + 1 : std::max(answered + 0.001, next[who] + waitOf(outcome));
    };
    // Five free failures, then one per guesser and window: at most 16 windows open in ten minutes,
    // after waits of 1, 2, 4 ... 32 s and then every minute.
    const int most = ArchiveServer::kFreeLogonFailures + 4 * 16;
    while (*std::min_element(next.begin(), next.end()) < start + 600 && checked <= most) guess();
    EXPECT_LE(checked, most);
    EXPECT_GE(checked, ArchiveServer::kFreeLogonFailures + 3 * 10) << "windows open";

    const double arrived = *std::min_element(next.begin(), next.end()) + 0.5;
    double mine = arrived;
    std::string outcome;
    for (int tries = 0; tries < 4 && outcome != "in"; ++tries, mine += waitOf(outcome)) {
        while (*std::min_element(next.begin(), next.end()) <= mine) guess();
        m_clock->at = mine;
        outcome = attempt(u"alice"_s, u"secret"_s);
    }
    EXPECT_EQ(outcome, "in");
    EXPECT_LE(mine - arrived, ArchiveServer::kMaxLogonWaitSeconds + ArchiveServer::kLogonWindowSeconds);
}

// After five failures a known and an unknown name hear the same; tries are judged and counted in
// one write, so parallel tries pass a wait once; an archive that cannot count (a read-only
// connection) checks no password that could fail.
TEST_P(LogonTest, EveryNameIsCountedAlikeAndATryIsCountedBeforeItIsChecked) {
    auto script = [&](const QString& user) {
        QStringList heard;
        auto server = client();
        for (int i = 0; i <= ArchiveServer::kFreeLogonFailures; ++i)
            heard << QString(raised([&] { server->Open(user, u"guess"_s); }).description())
                         .replace(user, u"NAME"_s);
        return heard.join(u'\n').toStdString();
    };
    const std::string known = script(u"Alice"_s);
    EXPECT_EQ(script(u"nobody"_s), known);
    EXPECT_TRUE(known.ends_with("5 failed log-ons of \"NAME\" in a row; try again in 1 s")) << known;
    EXPECT_EQ(attempt(u"vqadmin"_s, QString()), "in") << "other users are not held up";

    m_clock->at = m_clock->at + 3600;
    reopen()->setPassword(u"alice"_s, u"new"_s);
    for (int i = 1; i < ArchiveServer::kFreeLogonFailures; ++i)
        ASSERT_EQ(attempt(u"alice"_s, u"x"_s), "wrong");
    std::vector<std::string> outcomes(8);
    std::vector<std::thread> tries;
    for (std::string& outcome : outcomes) tries.emplace_back([&] { outcome = attempt(u"alice"_s, u"x"_s); });
    for (std::thread& thread : tries) thread.join();
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), "wrong"), 1);
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), "wait 1"), 7);

    if (backend() == StorageBackend::Postgres)
        executeSql(u"ALTER DATABASE \"%1\" SET default_transaction_read_only = on"_s.arg(
            m_database->name().c_str()));
    auto readOnly = [&] {
        auto server = client();
        if (backend() == StorageBackend::Sqlite)
            SqliteArchiveStorage::databaseOf(server->storage()).execute(u"PRAGMA query_only = ON"_s);
        return server;
    };
    EXPECT_NE(attempt(u"bob"_s, u"x"_s, readOnly()).find("cannot count failed log-ons"), std::string::npos);
    EXPECT_EQ(attempt(u"vqadmin"_s, QString(), readOnly()), "in") << "no password, nothing to count";
}

}  // namespace

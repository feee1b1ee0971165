// Log-on throttling and user names, on both engines. Time is a test clock: a wait is a step of it,
// and a failure answered at the end of its window only notes when its guesser may go on.
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
    double now() const override { return m_now; }
    void sleepUntil(double moment) const override { m_wakes = moment; }
    void set(double moment) { m_now = moment; }
    double lastWake() const { return m_wakes; }

private:
    std::atomic<double> m_now{2e9};
    mutable std::atomic<double> m_wakes{0};
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
                        std::shared_ptr<ArchiveServer> server = {}) const {
        if (!server) server = client();
        const QString said = raised([&] { server->Open(user, password); }).description();
        if (said == u"nothing was raised"_s) return "in";
        if (said.endsWith(u"wrong user name or password"_s)) return "wrong";
        static const QRegularExpression wait(u"in a row; try again in (\\d+) s$"_s);
        const QRegularExpressionMatch match = wait.match(said);
        return match.hasMatch() ? "wait " + match.captured(1).toStdString() : said.toStdString();
    }
    static int waitOf(const std::string& outcome) {
        return outcome.starts_with("wait ") ? std::stoi(outcome.substr(5)) : -1;
    }

    std::shared_ptr<TestClock> m_clock = std::make_shared<TestClock>();
};
VQ_ON_BOTH_BACKENDS(LogonTest);

// Guessers who try again the moment they are told, and one who tries every second: in ten
// minutes they get about one checked guess each per window, while the right password still gets in
// at the next window.
TEST_P(LogonTest, GuessingStaysSlowAndTheRightPasswordGetsInWithinOneWait) {
    for (const int guessers : {1, 4}) {
        SCOPED_TRACE(guessers);
        const QString user = u"alice"_s;
        const double start = m_clock->now();
        std::vector<double> next(size_t(guessers) + 1, start);  // the last one hammers
        std::vector<std::shared_ptr<ArchiveServer>> clients;
        for (size_t i = 0; i < next.size(); ++i) clients.push_back(client());
        int checked = 0;
        auto step = [&](size_t who) {
            m_clock->set(next[who]);
            const std::string outcome = attempt(user, u"guess"_s, clients[who]);
            ASSERT_TRUE(outcome == "wrong" || waitOf(outcome) >= 0) << outcome;
            if (outcome == "wrong") ++checked;
            // A failure is answered when its window closes: nobody guesses again before that.
            const double answered = std::max(next[who], outcome == "wrong" ? m_clock->lastWake() : 0);
            next[who] = who == next.size() - 1 ? answered + 1
                                               : std::max(answered + 0.001, next[who] + waitOf(outcome));
        };
        auto earliest = [&] { return size_t(std::min_element(next.begin(), next.end()) - next.begin()); };
        // Five free failures, then one per guesser and window: in ten minutes at most 16 windows
        // open, after waits of 1, 2, 4 ... 32 s and then every minute.
        const int most = ArchiveServer::kFreeLogonFailures + (guessers + 1) * 16;
        while (next[earliest()] < start + 600 && checked <= most) step(earliest());
        EXPECT_LE(checked, most);
        EXPECT_GE(checked, ArchiveServer::kFreeLogonFailures + guessers * 10) << "windows are open";

        // The right person comes in beside them and tries again when told; the guessers go first
        // whenever both come at once.
        const double arrived = next[earliest()] + 0.5;
        double mine = arrived;
        int tries = 0;
        std::string outcome;
        for (; tries < 4 && outcome != "in"; ++tries) {
            while (next[earliest()] <= mine) step(earliest());
            m_clock->set(mine);
            outcome = attempt(user, u"secret"_s);
            mine += std::max(waitOf(outcome), 0);
        }
        EXPECT_EQ(outcome, "in") << "after " << tries << " tries";
        EXPECT_LE(mine - arrived, ArchiveServer::kMaxLogonWaitSeconds + ArchiveServer::kLogonWindowSeconds);
        m_clock->set(mine + 1000);
    }
}

// After five failures a known and an unknown name hear the same; tries are judged and counted
// together, so parallel tries cannot all pass one wait; other users are not held up.
TEST_P(LogonTest, EveryNameIsCountedAlikeAndParallelTriesPassAWaitOnce) {
    auto script = [&](const QString& user) {
        QStringList heard;
        auto server = reopen();
        server->setLogonClock(m_clock);
        for (int i = 0; i <= ArchiveServer::kFreeLogonFailures; ++i)
            heard << QString(raised([&] { server->Open(user, u"guess"_s); }).description())
                         .replace(user, u"NAME"_s);
        return heard.join(u'\n').toStdString();
    };
    const std::string known = script(u"Alice"_s);
    EXPECT_EQ(script(u"nobody"_s), known);
    EXPECT_TRUE(known.ends_with("5 failed log-ons of \"NAME\" in a row; try again in 1 s")) << known;
    EXPECT_EQ(attempt(u"alice"_s, u"secret"_s), "wait 1") << "every spelling is the same name";
    EXPECT_EQ(attempt(u"vqadmin"_s, QString()), "in") << "other users are not held up";

    reopen()->addUser(u"bob"_s, u"pw"_s, {});
    for (int i = 1; i < ArchiveServer::kFreeLogonFailures; ++i) ASSERT_EQ(attempt(u"bob"_s, u"x"_s), "wrong");
    std::vector<std::string> outcomes(8);
    std::vector<std::thread> tries;
    for (std::string& outcome : outcomes) tries.emplace_back([&] { outcome = attempt(u"bob"_s, u"x"_s); });
    for (std::thread& thread : tries) thread.join();
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), "wrong"), 1);
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), "wait 1"), 7);

    reopen()->setPassword(u"BOB"_s, u"fresh"_s);
    EXPECT_EQ(attempt(u"bob"_s, u"fresh"_s), "in") << "a new password starts over";
}

// An archive that cannot count a failure (a read-only connection here) checks no password that
// could fail.
TEST_P(LogonTest, AnArchiveThatCannotCountFailuresRefusesTriesUnchecked) {
    if (backend() == StorageBackend::Postgres)
        executeSql(u"ALTER DATABASE \"%1\" SET default_transaction_read_only = on"_s.arg(
            QString::fromStdString(m_database->name())));
    auto readOnly = [&] {
        auto server = client();
        if (backend() == StorageBackend::Sqlite)
            SqliteArchiveStorage::databaseOf(server->storage()).execute(u"PRAGMA query_only = ON"_s);
        return server;
    };
    for (const char* user : {"alice", "nobody"})
        EXPECT_TRUE(attempt(QString::fromUtf8(user), u"secret"_s, readOnly())
                        .find("the archive cannot count failed log-ons") != std::string::npos);
    EXPECT_EQ(attempt(u"vqadmin"_s, QString(), readOnly()), "in") << "no password, nothing to count";
}

// User names are unique after Unicode case folding on both engines and found in any case; an
// SQLite archive that holds two spellings from before keeps both.
TEST_P(LogonTest, UserNamesFoldAlikeOnBothEngines) {
    auto admin = reopen();
    admin->addUser(u"Ålice"_s, u"pw"_s, {});
    EXPECT_EQ(raised([&] { admin->addUser(u"ålice"_s, QString(), {}); }).number(), sdkerr::AttributesRefused);
    for (const QString& typed : {u"ÅLICE"_s, u"ålice"_s})
        EXPECT_EQ(logOn(typed, u"pw"_s)->UserName(), u"Ålice"_s) << qPrintable(typed);
    if (backend() == StorageBackend::Postgres) return;
    executeSql(u"INSERT INTO users(name, salt, hash) VALUES('bjørn', X'', X''), ('BJØRN', X'', X'')"_s);
    for (const QString& typed : {u"bjørn"_s, u"BJØRN"_s}) EXPECT_EQ(logOn(typed)->UserName(), typed);
}

}  // namespace

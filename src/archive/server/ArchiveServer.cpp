#include "archive/server/ArchiveServer.h"

#include "archive/dialect/SqlDialectParser.h"
#include "archive/server/ArchiveDigitalStateSets.h"
#include "archive/server/ArchivePoint.h"
#include "archive/server/ArchivePointClasses.h"
#include "archive/server/ArchivePoints.h"
#include "archive/server/ArchiveStorageFactory.h"
#include "archive/server/LogonThrottle.h"
#include "archive/server/PasswordHash.h"
#include "archive/storage/ArchiveStorage.h"
#include "archive/storage/PointSearchEngine.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vq {

namespace {

// What every new archive holds besides its classes: the administrator and the "SYSTEM" set.
void fillNewArchive(ArchiveStorage& storage, const QByteArray& adminHash) {
    const QString admin = QStringLiteral("vqadmin");
    storage.addGroup(admin);
    storage.addUser(admin, adminHash);
    storage.addMembership(admin, admin);
    storage.addDigitalSet(
        QStringLiteral("SYSTEM"),
        {QStringLiteral("Shutdown"), QStringLiteral("Bad Input"), QStringLiteral("Scan Off"),
         QStringLiteral("No Data"), QStringLiteral("Pt Created"), QStringLiteral("Under Range"),
         QStringLiteral("Over Range")});
}

}  // namespace

struct ArchiveServer::Loaded {
    std::unique_ptr<ArchiveStorage> storage;
    QString kind;
    QString version;
    std::vector<ArchiveClassInfo> classes;
    QStringList columns;
    // Per class: the attributes derived rather than stored, and where the attributes they derive
    // from stand.
    struct Derived {
        std::vector<int> computed;
        int compDev = -1, excDev = -1, span = -1;
    };
    QHash<qint64, Derived> derived;
};

struct ArchiveServer::LogonVerdict : LogonThrottle::Verdict {};

ArchiveServer::ArchiveServer(QString name, QString path)
    : m_name(std::move(name)), m_path(std::move(path)), m_clock(LogonClock::system()) {}
ArchiveServer::~ArchiveServer() = default;

QString ArchiveServer::Location() const {
    return ArchiveStorage::shownLocation(m_path);
}

std::shared_ptr<ArchiveServer> ArchiveServer::open(const QString& name, const QString& path) {
    return std::shared_ptr<ArchiveServer>(new ArchiveServer(name, path));
}

std::shared_ptr<ArchiveServer> ArchiveServer::openFile(const QString& path) {
    auto server = open(QString(), path);
    server->m_name = server->storage().fact(QStringLiteral("name"));
    return server;
}

std::shared_ptr<ArchiveServer> ArchiveServer::create(const QString& path, const QString& name,
                                                     const QString& kind, const QString& version, bool shared,
                                                     const QString& adminPassword) {
    if (kind != u"VQ3" && kind != u"VQ2") {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("Unknown server kind \"%1\": use VQ3 or VQ2").arg(kind));
    }
    if (name.trimmed().isEmpty() || name.contains(u'\\')) {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("\"%1\" is not a usable server name").arg(name));
    }
    auto server = open(name, path);
    const QByteArray adminHash = PasswordHash::hash(adminPassword);
    server->adopt(ArchiveStorageFactory::create(
        path, {name, kind, version}, ArchiveCatalog::standardClasses(kind), shared,
        [&adminHash](ArchiveStorage& storage) { fillNewArchive(storage, adminHash); }));
    return server;
}

void ArchiveServer::ensureOpen() const {
    if (!m_loaded) adopt(ArchiveStorageFactory::open(m_path));
}

void ArchiveServer::adopt(std::unique_ptr<ArchiveStorage> storage) const {
    auto loaded = std::make_unique<Loaded>();
    loaded->storage = std::move(storage);
    loaded->kind = loaded->storage->fact(QStringLiteral("kind"));
    loaded->version = loaded->storage->fact(QStringLiteral("version"));
    loaded->classes = loaded->storage->classes();
    loaded->columns = loaded->storage->pointColumns();
    for (const ArchiveClassInfo& info : loaded->classes) {
        Loaded::Derived derived;
        for (size_t i = 0; i < info.attributes.size(); ++i) {
            const QString& name = info.attributes[i].name;
            if (ArchiveCatalog::isComputedAttribute(name)) derived.computed.push_back(int(i));
            if (name == u"CompDev") derived.compDev = int(i);
            if (name == u"ExcDev") derived.excDev = int(i);
            if (name == u"Span") derived.span = int(i);
        }
        loaded->derived.insert(info.id, derived);
    }
    m_loaded = std::move(loaded);
}

ArchiveStorage& ArchiveServer::storage() const {
    ensureOpen();
    return *m_loaded->storage;
}

const std::vector<ArchiveClassInfo>& ArchiveServer::classes() const {
    ensureOpen();
    return m_loaded->classes;
}

const ArchiveClassInfo* ArchiveServer::classById(qint64 id) const {
    for (const ArchiveClassInfo& info : classes())
        if (info.id == id) return &info;
    return nullptr;
}

const ArchiveClassInfo* ArchiveServer::classByName(const QString& name) const {
    for (const ArchiveClassInfo& info : classes())
        if (info.name.compare(name, Qt::CaseInsensitive) == 0) return &info;
    return nullptr;
}

const QStringList& ArchiveServer::pointColumns() const {
    ensureOpen();
    return m_loaded->columns;
}

QString ArchiveServer::ServerKind() const {
    ensureOpen();
    return m_loaded->kind;
}

SdkServerVersion ArchiveServer::ServerVersion() const {
    ensureOpen();
    return SdkServerVersion(m_loaded->version);
}

bool ArchiveServer::IsConnected() const {
    return !m_user.isEmpty();
}

void ArchiveServer::Open(const QString& user, const QString& password) {
    m_user.clear();
    const QString name = user.trimmed();
    std::optional<ArchiveUserRecord> stored = findUser(name);
    // A user without a password has nothing to guess: no try of theirs needs counting.
    if (!stored || !stored->hash.isEmpty() || !password.isEmpty()) {
        const LogonVerdict verdict = claimLogonTry(name, stored);
        // Unknown names are counted and answered as known ones, so that no answer tells them apart.
        if (!verdict.checked)
            raise(sdkerr::LogonFailed,
                  QStringLiteral("Log-on to server \"%1\" refused: %2 failed log-ons of \"%3\" in a row; "
                                 "try again in %4 s")
                      .arg(m_name)
                      .arg(verdict.failures)
                      .arg(name)
                      .arg(int(std::ceil(verdict.retryIn))));
        const bool right = stored ? PasswordHash::verify(password, stored->salt, stored->hash)
                                  : (PasswordHash::verifyNothing(password), false);
        if (!right) {
            if (verdict.answerAt > 0) m_clock->sleepUntil(verdict.answerAt);
            raise(sdkerr::LogonFailed,
                  QStringLiteral("Log-on to server \"%1\" refused: wrong user name or password").arg(m_name));
        }
        finishLogon(*stored, password);
    }
    m_user = stored->name;
    if (m_onOpened) m_onOpened(m_name);
}

// Judges the try and counts it as a failure in one write, so that parallel tries cannot all pass
// one wait; `stored` is read again under the same lock.
ArchiveServer::LogonVerdict ArchiveServer::claimLogonTry(const QString& user,
                                                         std::optional<ArchiveUserRecord>& stored) {
    try {
        const auto write = storage().beginWrite();
        stored = findUser(user);
        const QString key = foldKey(user);
        const LogonVerdict verdict{LogonThrottle::judge(storage().logonFailures(key), m_clock->now())};
        if (verdict.checked) storage().setLogonFailures(key, verdict.claim);
        write->commit();
        return verdict;
    } catch (const Error& error) {
        if (error.number() == sdkerr::ServerUnavailable) throw;
        raise(sdkerr::LogonFailed,
              QStringLiteral("Log-on to server \"%1\" refused: the archive cannot count failed log-ons, and "
                             "a try that is not counted is not checked (%2)")
                  .arg(m_name, error.description()));
    }
}

// Bookkeeping after a log-on; an archive that cannot write it keeps the log-on all the same.
void ArchiveServer::finishLogon(const ArchiveUserRecord& stored, const QString& password) {
    try {
        storage().clearLogonFailures(foldKey(stored.name));
        // Hashes of older archives, or made under other limits, are replaced now that the password
        // is known.
        if (PasswordHash::needsRehash(stored.salt, stored.hash))
            storage().setPasswordHash(stored.name, PasswordHash::hash(password), stored.hash);
    } catch (const Error&) {
    }
}

void ArchiveServer::Close() {
    m_user.clear();
}

QStringList ArchiveServer::Users() const {
    return storage().users();
}

QStringList ArchiveServer::Groups() const {
    return storage().groups();
}

QStringList ArchiveServer::groupsOf(const QString& user) const {
    const std::optional<ArchiveUserRecord> stored = findUser(user.trimmed());
    return storage().groupsOf(stored ? stored->name : user);
}

void ArchiveServer::addGroup(const QString& group) {
    if (group.trimmed().isEmpty()) raise(sdkerr::AttributesRefused, QStringLiteral("A group needs a name"));
    storage().addGroup(group.trimmed());
}

// The stored spelling first; else the one user whose name folds to the same, on either engine.
std::optional<ArchiveUserRecord> ArchiveServer::findUser(const QString& user) const {
    if (std::optional<ArchiveUserRecord> exact = storage().findUser(user)) return exact;
    const QString key = foldKey(user);
    for (const QString& name : storage().users())
        if (foldKey(name) == key) return storage().findUser(name);
    return std::nullopt;
}

QString ArchiveServer::storedUser(const QString& user) const {
    const std::optional<ArchiveUserRecord> stored = findUser(user.trimmed());
    if (!stored)
        raise(sdkerr::AttributesRefused,
              QStringLiteral("There is no user \"%1\" on server \"%2\"").arg(user.trimmed(), m_name));
    return stored->name;
}

void ArchiveServer::addUser(const QString& user, const QString& password, const QStringList& groups) {
    const QString name = user.trimmed();
    if (name.isEmpty() || name.contains(u' '))
        raise(sdkerr::AttributesRefused, QStringLiteral("\"%1\" is not a usable user name").arg(user));
    // Hashed before the write lock is taken: it takes a tenth of a second on purpose.
    const QByteArray hash = PasswordHash::hash(password);
    const auto write = storage().beginWrite();
    if (findUser(name))
        raise(sdkerr::AttributesRefused, QStringLiteral("The user \"%1\" already exists").arg(name));
    storage().addUser(name, hash);
    addToGroups(name, groups);
    write->commit();
}

void ArchiveServer::addToGroups(const QString& user, const QStringList& groups) {
    const auto write = storage().beginWrite();
    const QString name = storedUser(user);
    for (const QString& group : groups) {
        const std::optional<QString> known = storage().findGroup(group.trimmed());
        if (!known) raise(sdkerr::AttributesRefused, QStringLiteral("There is no group \"%1\"").arg(group));
        storage().addMembership(name, *known);
    }
    write->commit();
}

void ArchiveServer::setPassword(const QString& user, const QString& password) {
    const QByteArray hash = PasswordHash::hash(password);
    const auto write = storage().beginWrite();
    const QString name = storedUser(user);
    storage().setPasswordHash(name, hash);
    storage().clearLogonFailures(name);
    storage().clearLogonFailures(foldKey(name));
    write->commit();
}

void ArchiveServer::removeUser(const QString& user) {
    const auto write = storage().beginWrite();
    const QString name = storedUser(user);
    if (name.compare(u"vqadmin", Qt::CaseInsensitive) == 0)
        raise(sdkerr::AttributesRefused,
              QStringLiteral("The user \"vqadmin\" cannot be removed: the library logs on as it"));
    // A point whose owner is gone could no longer be written: its owner must change first.
    if (const qint64 owned = storage().pointsOwnedBy(name); owned > 0)
        raise(sdkerr::AttributesRefused,
              QStringLiteral("The user \"%1\" owns %2 points or their data: give them another owner "
                             "first")
                  .arg(name)
                  .arg(owned));
    storage().removeUser(name);
    storage().clearLogonFailures(foldKey(name));
    write->commit();
}

bool ArchiveServer::hasPassword(const QString& user) const {
    const std::optional<ArchiveUserRecord> stored = findUser(user.trimmed());
    return stored && !stored->hash.isEmpty();
}

void ArchiveServer::setBusyTimeout(std::chrono::milliseconds timeout) {
    storage().setBusyTimeout(timeout);
}

void ArchiveServer::addDigitalSet(const QString& name, const QStringList& states) {
    if (name.trimmed().isEmpty() || states.isEmpty())
        raise(sdkerr::AttributesRefused,
              QStringLiteral("A digital state set needs a name and at least one state"));
    const auto write = storage().beginWrite();
    if (storage().hasDigitalSet(name.trimmed()))
        raise(sdkerr::AttributesRefused,
              QStringLiteral("The digital state set \"%1\" already exists").arg(name));
    storage().addDigitalSet(name.trimmed(), states);
    write->commit();
}

bool ArchiveServer::isDigitalSet(const QString& name) const {
    return storage().hasDigitalSet(name.trimmed());
}

void ArchiveServer::addArchivedValue(qint64 pointId, const ArchivedValue& value) {
    storage().addArchivedValue(pointId, value);
}

std::optional<ArchivedValue> ArchiveServer::currentValue(qint64 pointId) {
    return storage().currentValue(pointId);
}

std::optional<ArchivePointHeader> ArchiveServer::findPoint(const QString& tag) const {
    return storage().findPoint(foldKey(tag.trimmed()));
}

ArchivePointHeader ArchiveServer::pointHeader(qint64 pointId) const {
    std::optional<ArchivePointHeader> header = storage().pointHeader(pointId);
    if (!header)
        raise(sdkerr::PointUnknown,
              QStringLiteral("Point %1 does not exist on server \"%2\"").arg(pointId).arg(m_name));
    return *header;
}

std::vector<Variant> ArchiveServer::readAttributes(ArchivePointHeader& header) const {
    const ArchiveClassInfo* info = classById(header.classId);
    if (!info)
        raise(sdkerr::ClassUnknown, QStringLiteral("Point \"%1\" has an unknown class").arg(header.tag));
    std::vector<Variant> values;
    if (!m_loaded->storage->readPoint(*info, header, values))
        raise(sdkerr::PointUnknown,
              QStringLiteral("Point \"%1\" does not exist on server \"%2\"").arg(header.tag, m_name));
    // Values derived from the point itself rather than stored.
    const Loaded::Derived& derived = *m_loaded->derived.constFind(info->id);
    const double span = derived.span >= 0 ? values[size_t(derived.span)].toDouble() : 0;
    for (const int i : derived.computed) {
        const QString& name = info->attributes[size_t(i)].name;
        if (name == u"PointID" || name == u"RecNo" || name == u"PointNumber") {
            values[size_t(i)] = Variant(int32_t(header.id));
        } else if (name == u"CompDevPercent" || name == u"ExcDevPercent") {
            const int base = name == u"CompDevPercent" ? derived.compDev : derived.excDev;
            if (base >= 0 && span != 0)
                values[size_t(i)] = Variant(float(values[size_t(base)].toDouble() * 100.0 / span));
        }
    }
    return values;
}

qint64 ArchiveServer::pointCount() const {
    return storage().pointCount();
}

void ArchiveServer::requireConnection(const QString& what) const {
    if (!IsConnected())
        raise(sdkerr::NotConnected,
              QStringLiteral("Not logged on to server \"%1\": cannot %2").arg(m_name, what));
}

SdkPointsPtr ArchiveServer::Points() {
    ensureOpen();
    return std::make_shared<ArchivePoints>(shared_from_this());
}

SdkPointClassesPtr ArchiveServer::PointClasses() {
    ensureOpen();
    return std::make_shared<ArchivePointClasses>(shared_from_this());
}

SdkDigitalStateSetsPtr ArchiveServer::DigitalStateSets() {
    return std::make_shared<ArchiveDigitalStateSets>(shared_from_this());
}

SdkPointListPtr ArchiveServer::GetPointsSQL(const QString& whereClause, const SdkNamedValues& extraTables,
                                            SdkNamedValues*) {
    ensureOpen();
    auto list = SdkPointList::create();
    const SdkServerPtr self = shared_from_this();
    try {
        const SqlNodePtr clause = SqlDialectParser::parse(whereClause);
        checkExtraTables(*clause, extraTables);
        m_loaded->storage->pointSearch().search(
            *clause, [&](qint64 pointId, QStringView tag) { list->AddHandle(self, pointId, tag); });
    } catch (Error& error) {
        error.setSource(QStringLiteral("VQArchive(%1)").arg(m_name));
        throw;
    }
    if (list->Count() == 0)
        raise(errc::NoPointsFound,
              QStringLiteral("No point on server \"%1\" matches the where clause").arg(m_name));
    list->Squeeze();  // a large answer keeps no growth room
    return list;
}

QStringList ArchiveServer::TagsStartingWith(const QString& prefix, int maxCount) {
    ensureOpen();
    if (maxCount <= 0) return {};
    return storage().tagsStartingWith(foldKey(prefix), maxCount);
}

void ArchiveServer::checkExtraTables(const SqlNode& clause, const SdkNamedValues& extraTables) const {
    for (const SdkNamedValue& entry : extraTables) {
        SqlTable table;
        if (!SqlDialectVocabulary::findTable(entry.Name(), table))
            raise(sdkerr::QueryInvalid,
                  QStringLiteral("The extra-table set names \"%1\", which is not a table of the "
                                 "archive; the tables are %2")
                      .arg(entry.Name(), SqlDialectVocabulary::tableNames().join(u", ")));
    }
    for (SqlTable table : SqlDialectParser::tablesOf(clause)) {
        if (table == SqlTable::Point || extraTables.Contains(SqlDialectVocabulary::setName(table))) continue;
        raise(sdkerr::QueryInvalid,
              QStringLiteral(
                  "The where clause uses table %1, which is missing from the extra-table set; add \"%2\" "
                  "to the set")
                  .arg(SqlDialectVocabulary::tableName(table), SqlDialectVocabulary::setName(table)));
    }
}

void ArchiveServer::setSearchTimeLimit(std::chrono::milliseconds limit) {
    ensureOpen();
    m_loaded->storage->pointSearch().setTimeLimit(limit);
}

void ArchiveServer::cancelSearch() {
    if (m_loaded) m_loaded->storage->pointSearch().cancel();
}

bool ArchiveServer::isSearching() const {
    return m_loaded && m_loaded->storage->pointSearch().isRunning();
}

SdkPointPtr ArchiveServer::PointFromHandle(qint64 pointId, const QString& tag) {
    return std::make_shared<ArchivePoint>(shared_from_this(), pointId, tag);
}

void ArchiveServer::raise(int32_t number, const QString& description) const {
    throw Error(number, QStringLiteral("VQArchive(%1)").arg(m_name), description);
}

}  // namespace vq

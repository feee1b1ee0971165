#include "ArchiveTool.h"

#include "ArchiveToolHelp.h"
#include "ArchiveToolJson.h"
#include "ShownPointValues.h"
#include "archive/data/ArchiveCopy.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "archive/data/SampleArchives.h"
#include "archive/dialect/SqlDialectParser.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/ArchiveServers.h"
#include "archive/server/ServerRegistry.h"
#include "archive/storage/ArchiveStorage.h"
#include "archive/storage/LocationSecrets.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vq {

ArchiveTool::ArchiveTool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}
ArchiveTool::~ArchiveTool() = default;

QString ArchiveTool::takeOption(QStringList& args, const QString& name, const QString& fallback) {
    const qsizetype at = args.indexOf(name);
    if (at < 0) return fallback;
    if (at + 1 >= args.size())
        throw Error(1, QStringLiteral("vqarchive"), QStringLiteral("%1 needs a value").arg(name));
    const QString value = args[at + 1];
    args.remove(at, 2);
    return value;
}

bool ArchiveTool::takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

int ArchiveTool::usage(int code) {
    if (m_json && code != 0)
        return m_error.isEmpty() ? fail(code, u"usage: "_s + synopsisOf(m_command)) : code;
    (code == 0 ? m_out : m_err) << usageText();
    return code;
}

// One entry per command; what each says about itself is in ArchiveToolHelp.cpp.
std::span<const ArchiveTool::Command> ArchiveTool::commands() {
    static const Command table[] = {
        {u"create", &ArchiveTool::create},    {u"seed", &ArchiveTool::seed},
        {u"copy", &ArchiveTool::copy},        {u"import", &ArchiveTool::importCsv},
        {u"export", &ArchiveTool::exportCsv}, {u"show", &ArchiveTool::show},
        {u"search", &ArchiveTool::search},    {u"servers", &ArchiveTool::servers},
        {u"users", &ArchiveTool::users},      {u"demo", &ArchiveTool::demo},
        {u"history", &ArchiveTool::history},  {u"revert", &ArchiveTool::revert},
    };
    return table;
}

QStringList ArchiveTool::commandNames() {
    QStringList names;
    for (const Command& command : commands()) names << command.name.toString();
    return names;
}

int ArchiveTool::runCommand(const QString& command, const QStringList& args) {
    for (const Command& entry : commands())
        if (entry.name == command)
            return args.contains(u"--help") ? printCommandHelp(command) : (this->*entry.handler)(args);
    fail(2, QStringLiteral("unknown command \"%1\"\n").arg(ShownText::of(command)));
    return usage(2);
}

int ArchiveTool::printCommandHelp(const QString& command) {
    const CommandHelp* help = vq::commandHelp(command);
    if (!help)
        return fail(
            2,
            QStringLiteral("there is no command \"%1\" (see: vqarchive help)").arg(ShownText::of(command)));
    m_out << commandHelpText(*help);
    return 0;
}

// What the program says about itself, needing no server: the build writes the man page and the
// completion script with these.
int ArchiveTool::selfDescription(const QString& first) {
    if (first == u"--version")
        m_out << "vqarchive " << VQ_VERSION << '\n';
    else if (first == u"--man")
        m_out << manPage(QStringLiteral(VQ_VERSION));
    else if (first == u"--bash-completion")
        m_out << bashCompletion();
    else
        return -1;
    return 0;
}

int ArchiveTool::run(QStringList arguments) {
    if (!m_json && takeFlag(arguments, QStringLiteral("--json"))) return runAsJson(arguments);
    try {
        const QStringList commandOwn = takeCommandOwnOptions(arguments);
        m_registry = std::make_unique<ServerRegistry>(takeOption(arguments, QStringLiteral("--registry")));
        m_user = takeOption(arguments, QStringLiteral("--user"), m_user);
        warnOfPasswordArguments(arguments);
        m_password = takeOption(arguments, QStringLiteral("--password"));
        if (m_password == u"-")
            m_password = readPassword(QStringLiteral("Password for %1: ").arg(m_user), false);
        if (arguments.isEmpty()) return usage(2);
        m_command = arguments.takeFirst();
        if (const int code = selfDescription(m_command); code >= 0) return code;
        arguments += commandOwn;
        if (m_command == u"help" || m_command == u"--help" || m_command == u"-h")
            return arguments.isEmpty() ? usage(0) : printCommandHelp(arguments[0]);
        return runCommand(m_command, arguments);
    } catch (const Error& error) {
        if (m_json)
            m_error = errorJson(error);
        else
            m_err << "vqarchive: " << ShownText::message(error.description()) << '\n';
        return 1;
    }
}

std::shared_ptr<ArchiveServer> ArchiveTool::openArchive(const QString& archive) {
    if (ArchiveStorage::isServerLocation(archive) || QFileInfo::exists(archive))
        return notingSuperuser(ArchiveServer::openFile(archive));
    ArchiveServers servers(*m_registry);
    if (!servers.Contains(archive)) {
        throw Error(
            1, QStringLiteral("vqarchive"),
            QStringLiteral("\"%1\" is neither an archive file nor a known server (see: vqarchive servers)")
                .arg(archive));
    }
    return notingSuperuser(std::static_pointer_cast<ArchiveServer>(servers.Item(archive)));
}

// A password in the arguments shows in ps and in the shell's history: said once, not refused,
// as scripts may depend on it.
void ArchiveTool::warnOfPasswordArguments(const QStringList& arguments) {
    bool given = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const bool option = arguments[i] == u"--password" || arguments[i] == u"--admin-password";
        const QString value = option ? arguments.value(i + 1) : QString();
        given = given || (option && !value.isEmpty() && value != u"-") || locationHasPassword(arguments[i]);
    }
    if (given)
        m_err << "vqarchive: warning: a password on the command line can be read by other users of this "
                 "computer; give --password - (asks, or reads standard input), and keep database passwords "
                 "in ~/.pgpass, a service file or PGPASSWORD\n";
}

// Rights that reach beyond the archive are worth knowing about; said once a run.
std::shared_ptr<ArchiveServer> ArchiveTool::notingSuperuser(std::shared_ptr<ArchiveServer> server) {
    if (!m_superuserNoted && server->storage().runsAsSuperuser()) {
        m_superuserNoted = true;
        m_err << "vqarchive: note: " << server->Location()
              << " is reached as a database superuser; a role with the rights of the archive's own tables "
                 "is enough (see the README)\n";
    }
    return server;
}

void ArchiveTool::logOn(ArchiveServer& server) {
    server.Open(m_user, m_password);
    server.setProgramName(QStringLiteral("vqarchive"));
}

int ArchiveTool::create(const QStringList& input) {
    QStringList args = input;
    const QString kind = takeOption(args, QStringLiteral("--kind"), QStringLiteral("VQ3"));
    const QString version =
        takeOption(args, QStringLiteral("--version"),
                   kind == u"VQ2" ? QStringLiteral("VQ 2.08") : QStringLiteral("VQ 3.4.1"));
    const bool makeDefault = takeFlag(args, QStringLiteral("--default"));
    const bool registerIt = takeFlag(args, QStringLiteral("--register")) || makeDefault;
    const bool shared = takeFlag(args, QStringLiteral("--shared"));
    QString adminPassword = takeOption(args, QStringLiteral("--admin-password"));
    if (args.size() != 2) return usage(2);
    if (registerIt) refusePasswordInServerList(args[0], QStringLiteral("vqarchive"));
    if (adminPassword == u"-") adminPassword = readPassword(QStringLiteral("Password for vqadmin: "), true);
    auto server =
        notingSuperuser(ArchiveServer::create(args[0], args[1], kind, version, shared, adminPassword));
    m_out << "Created " << kind << " archive \"" << server->Name() << "\" (" << version << ") in "
          << ArchiveStorage::shownLocation(args[0]) << '\n';
    if (adminPassword.isEmpty())
        m_out << "The user vqadmin has an empty password; set one with: vqarchive users "
              << (registerIt ? args[1] : ArchiveStorage::shownLocation(args[0])) << " password vqadmin\n";
    if (registerIt) {
        ArchiveServers(*m_registry).Add(args[1], absoluteLocation(args[0]), makeDefault);
        m_out << "Registered \"" << args[1] << "\" in " << m_registry->path() << '\n';
    }
    return 0;
}

// A file path made absolute, so the server list finds it from anywhere; a URI as it is.
QString ArchiveTool::absoluteLocation(const QString& location) {
    return ArchiveStorage::isServerLocation(location) ? location : QFileInfo(location).absoluteFilePath();
}

int ArchiveTool::copy(const QStringList& args) {
    if (args.size() != 2) return usage(2);
    QElapsedTimer timer;
    timer.start();
    const ArchiveDigest digest = ArchiveCopy::copy(openArchive(args[0])->path(), args[1]);
    if (m_json) return printed(copyJson(digest, args[1], double(timer.elapsed()) / 1000.0));
    m_out << "Copied " << digest.points << " points (" << digest.values << " archived values, "
          << digest.users << " users, " << digest.groups << " groups, " << digest.digitalSets
          << " digital state sets) to " << ArchiveStorage::shownLocation(args[1]) << " in "
          << QString::number(double(timer.elapsed()) / 1000.0, 'f', 2)
          << " s\nBoth hold the same points: digest " << digest.sha256 << '\n';
    return 0;
}

int ArchiveTool::seed(const QStringList& input) {
    QStringList args = input;
    const int values = takeOption(args, QStringLiteral("--values"), QStringLiteral("2")).toInt();
    const uint seedValue = takeOption(args, QStringLiteral("--seed"), QStringLiteral("1")).toUInt();
    if (args.size() != 2) return usage(2);
    bool ok = false;
    const qint64 count = args[1].toLongLong(&ok);
    if (!ok || count < 0) return fail(2, QStringLiteral("\"%1\" is not a number of points").arg(args[1]));
    auto server = openArchive(args[0]);
    logOn(*server);
    QElapsedTimer timer;
    timer.start();
    const auto result = ArchiveSeeder::seed(*server, count, values, seedValue, [this](int64_t done) {
        m_out << "  " << done << " points...\n";
        m_out.flush();
    });
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (m_json) return printed(seedJson(server->Name(), result, seconds));
    m_out << "Seeded " << result.points << " points (" << result.values << " archived values) into \""
          << server->Name() << "\" in " << QString::number(seconds, 'f', 2)
          << " s: " << QString::number(double(result.points) / std::max(seconds, 1e-9), 'f', 0)
          << " points/s\n";
    if (result.skipped) m_out << "Skipped " << result.skipped << " tags that already existed\n";
    return 0;
}

int ArchiveTool::importCsv(const QStringList& args) {
    if (args.size() != 2) return usage(2);
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly))
        return fail(1, QStringLiteral("cannot read \"%1\": %2").arg(args[1], file.errorString()));
    auto server = openArchive(args[0]);
    logOn(*server);
    QTextStream in(&file);
    const PointCsv::ImportReport report = PointCsv::importPoints(*server, in);
    if (m_json) {
        printed(importJson(report));
        return report.refused.empty() ? 0
                                      : fail(1, QStringLiteral("%1 rows refused").arg(report.refused.size()));
    }
    for (const PointCsv::Refusal& refusal : report.refused)
        m_err << args[1] << ':' << refusal.line << ": "
              << (refusal.tag.isEmpty() ? QStringLiteral("(no tag)") : ShownText::of(refusal.tag))
              << " refused: " << ShownText::message(refusal.reason) << '\n';
    m_out << "Created " << report.created << ", updated " << report.updated << ", unchanged "
          << report.unchanged << ", refused " << report.refused.size() << " rows\n";
    return report.refused.empty() ? 0 : 1;
}

int ArchiveTool::exportCsv(const QStringList& args) {
    if (args.size() != 2 || (m_json && args[1] == u"-")) return usage(2);
    auto server = openArchive(args[0]);
    if (args[1] == u"-") {
        PointCsv::exportPoints(*server, m_out);
        return 0;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(1, QStringLiteral("cannot write \"%1\": %2").arg(args[1], file.errorString()));
    QTextStream out(&file);
    const int count = PointCsv::exportPoints(*server, out);
    if (m_json)
        return printed(QJsonObject{{QStringLiteral("points"), count}, {QStringLiteral("file"), args[1]}});
    m_out << "Exported " << count << " points to " << args[1] << '\n';
    return 0;
}

int ArchiveTool::show(const QStringList& input) {
    QStringList args = input;
    const bool raw = takeFlag(args, QStringLiteral("--raw"));
    if (args.size() != 2) return usage(2);
    auto server = openArchive(args[0]);
    const SdkPointPtr point = server->Points()->Item(args[1]);
    const bool vq2 = server->ServerKind() == u"VQ2";
    const QString type = raw ? QString::number(point->PointType()) : typeNameOf(point->PointType(), vq2);
    const std::unique_ptr<PropSheetEntries> names = raw ? nullptr : namesOfClass(server, point);
    if (m_json) return printed(pointJson(*server, *point, type, names.get()));
    m_out << "Point " << ShownText::of(point->Name(), -1) << " on server " << server->Name() << " (class "
          << point->PointClass()->Name() << ", type " << type << ", id " << point->PointID() << ")\n";
    const SdkNamedValuesPtr values = point->PointAttributes()->NamedValues();
    int width = 0;
    for (const SdkNamedValue& pair : *values) width = std::max(width, int(pair.Name().size()));
    for (const SdkNamedValue& pair : *values)
        m_out << "  " << pair.Name().leftJustified(width) << "  "
              << ShownText::of(shownValue(names.get(), pair), -1) << '\n';
    if (const auto current = server->currentValue(point->PointID())) {
        m_out << "Current value: " << ShownText::of(current->value.toString(), -1) << " (status "
              << current->status << ") at " << Variant(current->time).toString() << " UTC\n";
    } else {
        m_out << "No archived value\n";
    }
    return 0;
}

int ArchiveTool::search(const QStringList& args) {
    if (args.size() != 2) return usage(2);
    auto server = openArchive(args[0]);
    QElapsedTimer timer;
    timer.start();
    auto elapsed = [&] { return QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 1); };
    try {
        // The tool joins whatever tables the clause names, as the search control does.
        SdkNamedValues extraTables;
        for (SqlTable table : SqlDialectParser::tablesOf(*SqlDialectParser::parse(args[1])))
            if (table != SqlTable::Point)
                extraTables.Add(SqlDialectVocabulary::setName(table), Variant(int16_t(0)));
        const SdkPointListPtr points = server->GetPointsSQL(args[1], extraTables, nullptr);
        if (m_json) return printed(searchJson(server->Name(), points.get(), elapsed().toDouble()));
        for (int i = 1; i <= points->Count(); ++i) m_out << ShownText::of(points->Tag(i), -1) << '\n';
        m_out << points->Count() << " points in " << elapsed() << " ms\n";
    } catch (const Error& error) {
        if (error.number() != errc::NoPointsFound) {
            if (!m_json) pointAtPosition(args[1], error.description());
            throw;
        }
        if (m_json) return printed(searchJson(server->Name(), nullptr, elapsed().toDouble()));
        m_out << "No point matches (" << elapsed() << " ms)\n";
    }
    return 0;
}

// Shows the clause with a caret under the position a syntax error names.
void ArchiveTool::pointAtPosition(const QString& clause, const QString& description) {
    static const QRegularExpression position(QStringLiteral("at position (\\d+)"));
    const QRegularExpressionMatch match = position.match(description);
    if (!match.hasMatch() || clause.contains(u'\n')) return;
    // Escapes before the position would move the caret off its character.
    if (ShownText::of(clause, -1) != clause) return;
    m_err << "  " << clause << "\n  " << QString(match.captured(1).toInt() - 1, u' ') << "^\n";
}

int ArchiveTool::servers(const QStringList& input) {
    QStringList args = input;
    const bool makeDefault = takeFlag(args, QStringLiteral("--default"));
    const QString action = args.isEmpty() ? QStringLiteral("list") : args.takeFirst();
    ArchiveServers servers(*m_registry);
    if (action == u"list" && args.isEmpty()) {
        if (m_json) return printed(serversJson(*m_registry, servers));
        m_out << "Servers in " << m_registry->path() << ":\n";
        if (servers.Count() == 0) m_out << "  (none; try: vqarchive demo)\n";
        for (const ServerEntry& entry : servers.entries())
            m_out << "  " << entry.name << (entry.isDefault ? " (default)" : "") << "  "
                  << ArchiveStorage::shownLocation(m_registry->resolve(entry.location)) << '\n';
        return 0;
    }
    if (action == u"add" && args.size() == 2) {
        servers.Add(args[0], absoluteLocation(args[1]), makeDefault);
        m_out << "Added \"" << args[0] << "\"\n";
        return 0;
    }
    if (action == u"remove" && args.size() == 1) {
        servers.Remove(args[0]);
        m_out << "Removed \"" << args[0] << "\" from the list; its archive file stays where it is\n";
        return 0;
    }
    return usage(2);
}

int ArchiveTool::users(const QStringList& args) {
    if (args.isEmpty()) return usage(2);
    auto server = openArchive(args[0]);
    const QString action = args.size() > 1 ? args[1] : QStringLiteral("list");
    const QStringList rest = args.mid(2);
    if (action == u"list" && rest.isEmpty()) {
        if (m_json) return printed(usersJson(*server));
        listUsers(*server);
        return 0;
    }
    logOn(*server);
    const QString me = server->UserName();
    const bool admin = me.compare(u"vqadmin", Qt::CaseInsensitive) == 0 ||
                       server->groupsOf(me).contains(QStringLiteral("vqadmin"), Qt::CaseInsensitive);
    const bool ownPassword =
        action == u"password" && rest.size() == 1 && rest[0].compare(me, Qt::CaseInsensitive) == 0;
    if (!admin && !ownPassword)
        return fail(
            1, QStringLiteral("only members of the group vqadmin change users; \"%1\" is not one").arg(me));
    if (action == u"add" && !rest.isEmpty()) {
        const QString password = readPassword(QStringLiteral("Password for %1: ").arg(rest[0]), true);
        server->addUser(rest[0], password, rest.mid(1));
        m_out << "Added the user \"" << rest[0] << "\""
              << (password.isEmpty() ? " with an empty password" : "") << '\n';
        return 0;
    }
    if (action == u"remove" && rest.size() == 1) {
        server->removeUser(rest[0]);
        m_out << "Removed the user \"" << rest[0] << "\"\n";
        return 0;
    }
    if (action == u"password" && rest.size() == 1) {
        const QString password = readPassword(QStringLiteral("New password for %1: ").arg(rest[0]), true);
        server->setPassword(rest[0], password);
        m_out << (password.isEmpty() ? "Emptied the password of \"" : "Set the password of \"") << rest[0]
              << "\"\n";
        return 0;
    }
    if (action == u"join" && rest.size() >= 2) {
        server->addToGroups(rest[0], rest.mid(1));
        m_out << "\"" << rest[0] << "\" is in the groups "
              << server->groupsOf(rest[0]).join(QStringLiteral(", ")) << '\n';
        return 0;
    }
    if (action == u"group" && rest.size() == 1) {
        if (server->Groups().contains(rest[0].trimmed(), Qt::CaseInsensitive))
            return fail(1, QStringLiteral("the group \"%1\" already exists").arg(rest[0]));
        server->addGroup(rest[0]);
        m_out << "Added the group \"" << rest[0].trimmed() << "\"\n";
        return 0;
    }
    return usage(2);
}

void ArchiveTool::listUsers(ArchiveServer& server) {
    const QStringList users = server.Users();
    int width = 0;
    for (const QString& user : users) width = std::max(width, int(ShownText::of(user, -1).size()));
    m_out << "Users of \"" << server.Name() << "\":\n";
    for (const QString& user : users) {
        QStringList groups = server.groupsOf(user);
        for (QString& group : groups) group = ShownText::of(group, -1);
        m_out << "  " << ShownText::of(user, -1).leftJustified(width) << "  groups: "
              << (groups.isEmpty() ? QStringLiteral("(none)") : groups.join(QStringLiteral(", ")))
              << (server.hasPassword(user) ? "" : "  (empty password)") << '\n';
    }
    m_out << "Groups: " << ShownText::of(server.Groups().join(QStringLiteral(", ")), -1) << '\n';
}

QString ArchiveTool::readPassword(const QString& prompt, bool confirm) {
    if (!m_in && ::isatty(STDIN_FILENO)) {
        QTextStream& prompts = m_prompts ? *m_prompts : m_err;
        auto ask = [&](const QString& text) {
            prompts << text;
            prompts.flush();
            termios saved{};
            ::tcgetattr(STDIN_FILENO, &saved);
            termios quiet = saved;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
            std::string line;
            std::getline(std::cin, line);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
            prompts << '\n';
            prompts.flush();
            return QString::fromStdString(line);
        };
        const QString password = ask(prompt);
        if (confirm && ask(QStringLiteral("Again: ")) != password)
            throw Error(1, QStringLiteral("vqarchive"),
                        QStringLiteral("The two passwords differ; nothing was changed"));
        return password;
    }
    // Not a terminal: one line of input, without its line end.
    if (m_in) {
        if (m_in->atEnd())
            throw Error(1, QStringLiteral("vqarchive"),
                        QStringLiteral("A password was expected on standard input; nothing was changed"));
        return m_in->readLine();
    }
    std::string line;
    if (!std::getline(std::cin, line))
        throw Error(1, QStringLiteral("vqarchive"),
                    QStringLiteral("A password was expected on standard input; nothing was changed"));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return QString::fromStdString(line);
}

void ArchiveTool::describe(ArchiveServer& server) {
    m_out << server.Name() << ": " << server.ServerKind() << ", " << server.ServerVersion().Text() << ", "
          << server.pointCount() << " points\n";
    QStringList classes;
    for (const ArchiveClassInfo& info : server.classes()) classes.append(info.name);
    m_out << "  classes: " << classes.join(QStringLiteral(", ")) << '\n';
    QStringList sets;
    for (const SdkDigitalStateSetPtr& set : server.DigitalStateSets()->All()) sets.append(set->Name());
    m_out << "  digital state sets: " << sets.join(QStringLiteral(", ")) << '\n';
    m_out << "  users: " << server.Users().join(QStringLiteral(", ")) << '\n';
    QStringList tags;
    for (const ArchivePointHeader& header : server.storage().pointHeaders(4)) tags.append(header.tag);
    m_out << "  first tags: " << tags.join(QStringLiteral(", ")) << '\n';
    m_out << (ArchiveStorage::isServerLocation(server.path()) ? "  database: " : "  file: ")
          << ArchiveStorage::shownLocation(server.path()) << '\n';
}

int ArchiveTool::demo(const QStringList&) {
    const QStringList created = SampleArchives::ensure(*m_registry);
    if (m_json) return printed(demoJson(created, *m_registry));
    if (!created.isEmpty())
        m_out << "Created the sample servers " << created.join(QStringLiteral(", ")) << '\n';
    m_out << "Servers in " << m_registry->path() << ":\n\n";
    ArchiveServers servers(*m_registry);
    for (const SdkServerPtr& server : servers.All()) {
        try {
            describe(*std::static_pointer_cast<ArchiveServer>(server));
        } catch (const Error& error) {
            m_out << server->Name() << ": unavailable: " << error.description() << '\n';
        }
    }
    m_out
        << "\nTry, for example:\n  vqarchive show vqsouth <one of its tags>\n  vqarchive export vqlegacy -\n"
           "  vqarchive --user engineer --password - import vqsouth points.csv\n";
    return 0;
}

}  // namespace vq

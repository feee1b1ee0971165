#pragma once

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <span>

namespace vq {

class ArchiveServer;
class ServerRegistry;
struct SdkHistoryFilter;

// The archive tool's commands. Each returns the process exit code and writes what it has to say
// to `out`, errors to `err`; with --json, one JSON document to each instead of text.
class ArchiveTool {
public:
    ArchiveTool(QTextStream& out, QTextStream& err);
    ~ArchiveTool();
    int run(QStringList arguments);
    // The commands run() knows, for checking their help against them.
    static QStringList commandNames();
    // Where passwords are read from when standard input is not a terminal (tests set a text).
    void setInput(QTextStream* in) { m_in = in; }

private:
    using Handler = int (ArchiveTool::*)(const QStringList&);
    struct Command {
        QStringView name;
        Handler handler;
    };
    static std::span<const Command> commands();
    int runCommand(const QString& command, const QStringList& args);
    // Help, the man page and the completion script: texts that need no archive.
    int selfDescription(const QString& first);
    int printCommandHelp(const QString& command);
    // Runs the command on streams of its own and prints what it did as JSON.
    int runAsJson(const QStringList& arguments);
    // In JSON mode keeps `document` as the command's output.
    int printed(QJsonObject document);
    // An error of the tool's own: said on `err`, or kept for the JSON error; returns `code`.
    int fail(int code, const QString& message);

    int create(const QStringList& args);
    int seed(const QStringList& args);
    int copy(const QStringList& args);
    static QString absoluteLocation(const QString& location);
    int importCsv(const QStringList& args);
    int exportCsv(const QStringList& args);
    int show(const QStringList& input);
    int search(const QStringList& args);
    void pointAtPosition(const QString& clause, const QString& description);
    int servers(const QStringList& args);
    int users(const QStringList& args);
    void listUsers(ArchiveServer& server);
    // A password from the terminal without echo (asked twice when `confirm`), or one line of input.
    QString readPassword(const QString& prompt, bool confirm);
    int demo(const QStringList& args);
    // The change history's commands (HistoryCommands.cpp).
    int history(const QStringList& args);
    int takeHistoryFilter(QStringList& args, SdkHistoryFilter& filter, bool& csv);
    int printHistory(ArchiveServer& server, const SdkHistoryFilter& filter, bool csv);
    int revert(const QStringList& args);
    QStringList takeCommandOwnOptions(QStringList& arguments);
    int usage(int code);

    // An archive file or URI, or the name of a server the registry knows.
    std::shared_ptr<ArchiveServer> openArchive(const QString& archive);
    void logOn(ArchiveServer& server);
    void warnOfPasswordArguments(const QStringList& arguments);
    std::shared_ptr<ArchiveServer> notingSuperuser(std::shared_ptr<ArchiveServer> server);
    void describe(ArchiveServer& server);
    QString takeOption(QStringList& args, const QString& name, const QString& fallback = {});
    bool takeFlag(QStringList& args, const QString& name);

    QTextStream& m_out;
    QTextStream& m_err;
    QString m_user = QStringLiteral("vqadmin");
    QString m_password;
    std::unique_ptr<ServerRegistry> m_registry;
    QTextStream* m_in = nullptr;
    bool m_superuserNoted = false;
    // Set in JSON mode: password prompts still reach the terminal.
    QTextStream* m_prompts = nullptr;
    bool m_json = false;
    QString m_command;
    QJsonObject m_document;
    QJsonObject m_error;
};

}  // namespace vq

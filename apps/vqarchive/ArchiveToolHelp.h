#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace vq {

// What vqarchive says about itself: one description per command, from which the usage text,
// `help COMMAND`, the man page and the shell completion are all written, so they cannot drift.
struct CommandOption {
    QString name;   // "--kind"
    QString value;  // "VQ3|VQ2"; empty for a flag
    QString text;
};

struct CommandForm {
    QString synopsis;  // "servers add NAME LOCATION [--default]", without the program's name
    QString summary;   // what this form does, for the usage overview
};

struct CommandHelp {
    QString name;
    QList<CommandForm> forms;
    QString description;
    QList<CommandOption> options;
    QString example;
    // The document --json prints; empty for a command that only reports what it changed.
    QString json;
    // Words that may follow the command (or its ARCHIVE), for the shell completion.
    QStringList actions;
};

// The exit codes every command keeps, as scripts test for them.
namespace exitcode {
constexpr int Success = 0;
constexpr int Failure = 1;  // the archive, a file or the server refused, or a row of an import
constexpr int Usage = 2;    // an unknown command, missing or surplus arguments, a malformed number
}  // namespace exitcode

// The commands in the order the overview lists them; add one entry per new command.
const std::vector<CommandHelp>& commandHelps();
// The command of that name, or null.
const CommandHelp* commandHelp(const QString& name);

// "vqarchive show ARCHIVE TAG [--raw]": the forms of a command, or of the program for any other name.
QString synopsisOf(const QString& command);
// The overview `vqarchive help` prints.
QString usageText();
// Everything about one command, as `vqarchive help COMMAND` prints it.
QString commandHelpText(const CommandHelp& command);
// The manual page, in troff with the man macros.
QString manPage(const QString& version);
// A bash completion script for vqarchive.
QString bashCompletion();

}  // namespace vq

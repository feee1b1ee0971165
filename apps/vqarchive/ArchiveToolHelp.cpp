#include "ArchiveToolHelp.h"

using namespace Qt::Literals::StringLiterals;

namespace vq {

namespace {

const QString toolSummary = QStringLiteral("create, fill, copy and query VQ archives");
const QString globalSynopsis =
    QStringLiteral("[--registry FILE] [--user NAME] [--password -] [--json] COMMAND ...");

const QList<CommandOption> globalOptions = {
    {u"--registry"_s, u"FILE"_s,
     u"the server list; else $VQ_SERVER_REGISTRY, else servers.json in the user's data folder"_s},
    {u"--user"_s, u"NAME"_s, u"the user that commands which write log on as (default vqadmin)"_s},
    {u"--password"_s, u"-"_s,
     u"ask for that user's password (default empty); a password written here can be read by other "
     u"users (ps) and is warned about"_s},
    {u"--json"_s,
     {},
     u"one JSON document on standard output; an error as one JSON document on standard error, "
     u"{\"error\": {\"number\", \"description\"}, \"notes\": [...]}"_s},
    {u"--help"_s, {}, u"the overview, or after a command that command's help"_s},
    {u"--version"_s, {}, u"the program's version"_s},
};

const QString locationsText = QStringLiteral(
    "A LOCATION is an archive file or a PostgreSQL database, postgresql://[USER@]HOST[:PORT]/DB "
    "(its password from ~/.pgpass, PGPASSFILE, PGSERVICE or PGPASSWORD rather than the URI). ARCHIVE "
    "is a location or the name of a known server. Passwords are asked on the terminal without echo, or "
    "read one per line from standard input. The server list keeps no database passwords. Only members "
    "of the group vqadmin change users; anyone may set their own password.");

const QString jsonText = QStringLiteral(
    "With --json a command prints one JSON document on standard output: the data of a command that "
    "prints data (shown under each command), or {\"messages\": [...]} with the lines a command that "
    "changes something would print. Strings are as stored, not escaped for the terminal. On an error, "
    "standard error holds one document, {\"error\": {\"number\", \"description\"}}, with "
    "the library's error number (1 for a check of the tool itself, 2 for a usage error), and "
    "\"notes\" with any warnings.");

const QList<std::pair<int, QString>> exitCodes = {
    {exitcode::Success, u"success"_s},
    {exitcode::Failure, u"an error: the archive, a file or the server refused, or an import refused a row"_s},
    {exitcode::Usage,
     u"a usage error: an unknown command, missing or surplus arguments, a malformed number"_s},
};

const std::vector<CommandHelp> commands = {
    {u"create"_s,
     {{u"create LOCATION NAME [--kind VQ3|VQ2] [--version TEXT] [--register] [--default] "
       u"[--admin-password -] [--shared]"_s,
       u"make a new archive (VQ3, \"VQ 3.4.1\" unless told); a file is readable and writable by its "
       u"owner only unless --shared (then also by the owner's group)"_s}},
     u"Makes a new, empty archive named NAME at LOCATION, with the user vqadmin in the group vqadmin. "
     u"An existing archive is never overwritten."_s,
     {{u"--kind"_s, u"VQ3|VQ2"_s, u"the server kind (default VQ3)"_s},
      {u"--version"_s, u"TEXT"_s, u"the server version (default \"VQ 3.4.1\", for VQ2 \"VQ 2.08\")"_s},
      {u"--register"_s, {}, u"add the archive to the server list under NAME"_s},
      {u"--default"_s, {}, u"register it as the default server"_s},
      {u"--admin-password"_s, u"-"_s, u"ask for vqadmin's password (default empty)"_s},
      {u"--shared"_s, {}, u"let the owner's group read and write the file too"_s}},
     u"vqarchive create plant.vqa plant --register --admin-password -"_s,
     {},
     {}},
    {u"copy"_s,
     {{u"copy SOURCE DEST"_s, u"copy a whole archive to a new location, then compare both"_s}},
     u"Copies points, archived values, users, groups and digital state sets to a new archive, then "
     u"digests both; an existing DEST is refused."_s,
     {},
     u"vqarchive copy vqsouth postgresql://backup@dbhost/vqsouth"_s,
     u"{\"points\", \"values\", \"users\", \"groups\", \"digitalStateSets\", \"destination\", "
     u"\"seconds\", \"digest\"}"_s,
     {}},
    {u"seed"_s,
     {{u"seed ARCHIVE COUNT [--values N] [--seed N]"_s,
       u"add COUNT sample points with N archived values each"_s}},
     u"Adds COUNT realistic sample points of every class, logged on as --user."_s,
     {{u"--values"_s, u"N"_s, u"archived values per point (default 2)"_s},
      {u"--seed"_s, u"N"_s, u"the random seed (default 1)"_s}},
     u"vqarchive seed plant 10000 --values 5"_s,
     u"{\"server\", \"points\", \"values\", \"skipped\", \"seconds\"}"_s,
     {}},
    {u"import"_s,
     {{u"import ARCHIVE FILE.csv"_s, u"create or update points, one per row, by tag"_s}},
     u"Creates or updates a point per row; a refused row is told by its line and left unwritten, the "
     u"other rows go on, and the exit code is 1."_s,
     {},
     u"vqarchive --user engineer --password - import vqsouth points.csv"_s,
     u"{\"created\", \"updated\", \"unchanged\", \"refused\": [{\"line\", \"tag\", \"reason\"}]}"_s,
     {}},
    {u"export"_s,
     {{u"export ARCHIVE FILE.csv|-"_s, u"write every point as CSV"_s}},
     u"Writes every point in tag order as CSV, to standard output for \"-\". An exported file imports "
     u"as unchanged."_s,
     {},
     u"vqarchive export vqlegacy -"_s,
     u"{\"points\", \"file\"}, for a FILE only: \"-\" writes CSV"_s,
     {}},
    {u"show"_s,
     {{u"show ARCHIVE TAG [--raw]"_s,
       u"every attribute and the current value of one point, coded values named as the Point Builder "
       u"names them (--raw: the stored codes)"_s}},
     u"Prints the point's class, type and id, every attribute and its current value."_s,
     {{u"--raw"_s, {}, u"the stored codes rather than the names the Point Builder shows"_s}},
     u"vqarchive show vqsouth B01-AI-6002"_s,
     u"{\"server\", \"tag\", \"class\", \"type\", \"id\", \"attributes\": {NAME: VALUE}, "
     u"\"current\": {\"value\", \"status\", \"time\"} or null}"_s,
     {}},
    {u"search"_s,
     {{u"search ARCHIVE CLAUSE"_s, u"points matching a where clause"_s}},
     u"Prints the tags of the points a where clause in the servers' dialect matches, joining the "
     u"tables it names. Finding none is no error."_s,
     {},
     u"vqarchive search vqsouth \"VQPOINT.TAG LIKE 'B01-AI-*'\""_s,
     u"{\"server\", \"tags\": [...], \"count\", \"milliseconds\"}"_s,
     {}},
    {u"servers"_s,
     {{u"servers [list]"_s, u"the known servers"_s},
      {u"servers add NAME LOCATION [--default]"_s, u"add a server to the list"_s},
      {u"servers remove NAME"_s, u"take a server off the list; its archive stays"_s}},
     u"Lists, adds or removes the servers of the server list."_s,
     {{u"--default"_s, {}, u"make the added server the default"_s}},
     u"vqarchive servers add plant /srv/archives/plant.vqa --default"_s,
     u"list: {\"registry\", \"servers\": [{\"name\", \"location\", \"default\"}]}"_s,
     {u"list"_s, u"add"_s, u"remove"_s}},
    {u"users"_s,
     {{u"users ARCHIVE [list]"_s, u"the users, their groups, and the groups"_s},
      {u"users ARCHIVE add USER [GROUP...]"_s, u"a new user (asks for the password)"_s},
      {u"users ARCHIVE remove USER"_s, u"remove a user who owns no points"_s},
      {u"users ARCHIVE password USER"_s, u"set a password (asks for it)"_s},
      {u"users ARCHIVE join USER GROUP..."_s, u"add a user to groups"_s},
      {u"users ARCHIVE group GROUP"_s, u"a new group"_s}},
     u"Lists or changes the users and groups of an archive, logged on as --user."_s,
     {},
     u"vqarchive --password - users plant add alice operators"_s,
     u"list: {\"server\", \"users\": [{\"name\", \"groups\", \"emptyPassword\"}], \"groups\"}"_s,
     {u"list"_s, u"add"_s, u"remove"_s, u"password"_s, u"join"_s, u"group"_s}},
    {u"demo"_s,
     {{u"demo"_s, u"make the sample servers if missing and show them"_s}},
     u"Creates the sample servers vqsouth, vqnorth and vqlegacy if the server list lacks them, and "
     u"describes every server."_s,
     {},
     u"vqarchive demo"_s,
     u"{\"created\", \"registry\", \"servers\": [{\"name\", \"kind\", \"version\", \"points\", "
     u"\"classes\", \"digitalStateSets\", \"users\", \"firstTags\", \"location\"} or {\"name\", "
     u"\"unavailable\"}]}"_s,
     {}},
    {u"history"_s,
     {{u"history ARCHIVE [TAG] [--since TIME] [--until TIME] [--user NAME] [--change ID] [--limit N] "
       u"[--csv]"_s,
       u"who changed which attribute of which point, when, from what to what, newest first"_s},
      {u"history ARCHIVE --prune-before TIME"_s, u"remove the older change sets (vqadmin members only)"_s},
      {u"history ARCHIVE --recording on|off"_s,
       u"record the changes of points from now on, or no longer (vqadmin members only)"_s}},
     u"Lists the change sets the user logged on as may read, newest first, one line per attribute "
     u"changed: the change set's number (for revert), its time, the user and program that wrote it, its "
     u"kind, the point's tag, the attribute, and the stored text before and after. A TIME is local, as "
     u"\"2026-03-01 08:00\", \"t\" (today), \"*-7d\" (a week ago), or ISO 8601 with an offset as --json "
     u"prints it. --user after the command selects the writer; before it, it names the user who logs on."_s,
     {{u"--since"_s, u"TIME"_s, u"only change sets written at or after TIME"_s},
      {u"--until"_s, u"TIME"_s, u"only change sets written at or before TIME"_s},
      {u"--user"_s, u"NAME"_s, u"only change sets written by that archive user (any letter case)"_s},
      {u"--change"_s, u"ID"_s, u"only that change set"_s},
      {u"--limit"_s, u"N"_s, u"only the N newest change sets"_s},
      {u"--csv"_s, {}, u"CSV for spreadsheets, with the operating-system user and the note, values whole"_s},
      {u"--prune-before"_s, u"TIME"_s, u"remove the change sets written before TIME"_s},
      {u"--recording"_s, u"on|off"_s, u"record the changes of points, or stop recording them"_s}},
     u"vqarchive history plant U110-FIC-1003 --since \"*-7d\""_s,
     u"{\"server\", \"recording\", \"changeSets\": [{\"id\", \"time\", \"user\", \"program\", "
     u"\"osUser\", \"kind\", \"note\", \"points\": [{\"id\", \"tag\", \"attributes\": [{\"attribute\", "
     u"\"before\", \"after\"}]}]}]}"_s,
     {}},
    {u"revert"_s,
     {{u"revert ARCHIVE ID [--force]"_s,
       u"write back the values before change set ID, as a new change set"_s}},
     u"Writes back the values each point had before change set ID, as one new change set. A point "
     u"changed again since is left alone, naming who changed it and when, unless --force; each point "
     u"reports its result and the others still go back. The exit code is 0 only when every point went "
     u"back."_s,
     {{u"--force"_s, {}, u"revert the points changed since as well"_s}},
     u"vqarchive --user engineer --password - revert plant 1042"_s,
     u"{\"changeSet\", \"restored\", \"points\": [{\"id\", \"tag\", \"outcome\": "
     u"\"restored|changedSince|refused\", \"reason\"}]}"_s,
     {}},
};

// The words of a text; an option in brackets stays one word with its value.
QStringList wordsOf(const QString& text) {
    QStringList words;
    qsizetype depth = 0;
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        if (depth > 0)
            words.last() += u' ' + part;
        else
            words << part;
        depth += part.count(u'[') - part.count(u']');
    }
    return words;
}

// Words to lines of at most `width` characters; the first line starts with `first`, the others
// with `indent`.
QString wrapped(const QString& text, qsizetype width, const QString& first, const QString& indent) {
    QString result, line = first;
    bool lineEmpty = true;
    for (const QString& word : wordsOf(text)) {
        if (!lineEmpty && line.size() + 1 + word.size() > width) {
            result += line + u'\n';
            line = indent;
            lineEmpty = true;
        }
        line += (lineEmpty ? QString() : u" "_s) + word;
        lineEmpty = false;
    }
    return result + line + u'\n';
}

QString optionText(const CommandOption& option) {
    return option.value.isEmpty() ? option.name : option.name + u' ' + option.value;
}

QString optionLines(const QList<CommandOption>& options) {
    QString text;
    for (const CommandOption& option : options)
        text += wrapped(option.text, 100, u"  "_s + optionText(option).leftJustified(22) + u' ',
                        QString(25, u' '));
    return text;
}

QString exitCodeLines(const QString& indent) {
    QString text;
    for (const auto& [code, meaning] : exitCodes)
        text += wrapped(meaning, 100, indent + QString::number(code) + u"  "_s, indent + u"   "_s);
    return text;
}

// Troff takes a backslash, and a line that starts with a dot or quote, as requests.
QString roff(const QString& text) {
    QString escaped = text;
    escaped.replace(u'\\', u"\\e"_s).replace(u'-', u"\\-"_s);
    if (escaped.startsWith(u'.') || escaped.startsWith(u'\'')) escaped.prepend(u"\\&"_s);
    return escaped;
}

QString manOption(const CommandOption& option) {
    return u".TP\n.B "_s + roff(optionText(option)) + u'\n' + roff(option.text) + u'\n';
}

QString manCommand(const CommandHelp& command) {
    QString text;
    for (const CommandForm& form : command.forms)
        text += (text.isEmpty() ? u".TP\n.B "_s : u".TQ\n.B "_s) + roff(form.synopsis) + u'\n';
    text += roff(command.description) + u"\n.RS\n"_s;
    for (const CommandOption& option : command.options) text += manOption(option);
    if (!command.json.isEmpty()) text += u".TP\n.B \\-\\-json\nprints "_s + roff(command.json) + u'\n';
    return text + u".PP\nExample:\n.B "_s + roff(command.example) + u"\n.RE\n"_s;
}

}  // namespace

const std::vector<CommandHelp>& commandHelps() {
    return commands;
}

const CommandHelp* commandHelp(const QString& name) {
    for (const CommandHelp& command : commands)
        if (command.name == name) return &command;
    return nullptr;
}

QString synopsisOf(const QString& name) {
    const CommandHelp* command = commandHelp(name);
    if (!command) return u"vqarchive "_s + globalSynopsis;
    QStringList forms;
    for (const CommandForm& form : command->forms) forms << u"vqarchive "_s + form.synopsis;
    return forms.join(u" | "_s);
}

QString usageText() {
    QString text = u"vqarchive: "_s + toolSummary + u"\n\nUsage: vqarchive "_s + globalSynopsis +
                   u"\n       vqarchive help [COMMAND]\n\n"_s;
    for (const CommandHelp& command : commands) {
        for (const CommandForm& form : command.forms) {
            const QString line = u"  "_s + form.synopsis, indent(34, u' ');
            if (line.size() < indent.size()) {
                text += wrapped(form.summary, 100, line.leftJustified(indent.size()), indent);
            } else {
                text += wrapped(form.synopsis, 100, u"  "_s, u"         "_s);
                text += wrapped(form.summary, 100, indent, indent);
            }
        }
    }
    text += u"\nOptions:\n"_s + optionLines(globalOptions);
    text += u'\n' + wrapped(locationsText, 100, {}, {}) + u'\n' + wrapped(jsonText, 100, {}, {});
    return text + u"\nExit codes:\n"_s + exitCodeLines(u"  "_s) +
           u"\nRun \"vqarchive help COMMAND\" for a command's options and an example.\n"_s;
}

QString commandHelpText(const CommandHelp& command) {
    QString text;
    for (const CommandForm& form : command.forms)
        text += wrapped(form.synopsis, 100, text.isEmpty() ? u"Usage: vqarchive "_s : u"       vqarchive "_s,
                        QString(17, u' '));
    text +=
        u'\n' + wrapped(command.description, 100, {}, {}) + u"\nOptions:\n"_s + optionLines(command.options);
    if (!command.json.isEmpty()) text += optionLines({{u"--json"_s, {}, u"prints "_s + command.json}});
    text += optionLines({{u"--help"_s, {}, u"this text"_s}});
    text += u"\nExample:\n  "_s + command.example + u"\n\nExit codes:\n"_s + exitCodeLines(u"  "_s);
    return text;
}

QString manPage(const QString& version) {
    QString text = u".TH VQARCHIVE 1 \"\" \"vqarchive "_s + version +
                   u"\" \"User Commands\"\n.nh\n.ad l\n"_s + u".SH NAME\nvqarchive \\- "_s +
                   roff(toolSummary) + u"\n.SH SYNOPSIS\n.B vqarchive\n"_s + roff(globalSynopsis) +
                   u"\n.br\n.B vqarchive help\n[COMMAND]\n.SH DESCRIPTION\n"_s + roff(locationsText) +
                   u"\n.SH OPTIONS\n"_s;
    for (const CommandOption& option : globalOptions) text += manOption(option);
    text += u".SH COMMANDS\n"_s;
    for (const CommandHelp& command : commands) text += manCommand(command);
    text += u".SH JSON OUTPUT\n"_s + roff(jsonText) + u"\n.SH EXIT STATUS\n"_s;
    for (const auto& [code, meaning] : exitCodes)
        text += u".TP\n.B "_s + QString::number(code) + u'\n' + roff(meaning) + u'\n';
    return text +
           u".SH ENVIRONMENT\n.TP\n.B VQ_SERVER_REGISTRY\nthe server list when \\-\\-registry is "_s
           u"not given\n.TP\n.B PGPASSFILE, PGSERVICE, PGPASSWORD\nwhere a PostgreSQL password "_s
           u"is found\n.SH SEE ALSO\n.BR vqpointbuilder (1)\n"_s;
}

// The options that take a value: a file to complete, or a word only the user knows.
void sortOptionsByValue(const QList<CommandOption>& options, QStringList& files, QStringList& others) {
    for (const CommandOption& option : options)
        if (!option.value.isEmpty()) (option.value == u"FILE" ? files : others) << option.name;
}

QString bashCompletion() {
    QStringList names, globals, cases, files, others;
    for (const CommandOption& option : globalOptions) globals << option.name;
    sortOptionsByValue(globalOptions, files, others);
    const QString globalsWithValue = (files + others).join(u'|');
    for (const CommandHelp& command : commands) {
        names << command.name;
        sortOptionsByValue(command.options, files, others);
        QStringList words = command.actions;
        for (const CommandOption& option : command.options) words << option.name;
        words << u"--json"_s << u"--help"_s;
        cases << u"        "_s + command.name + u") words=\""_s + words.join(u' ') + u"\" ;;"_s;
    }
    return u"# bash completion for vqarchive; written by vqarchive itself from its command table.\n"
           u"_vqarchive() {\n"
           u"    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command= i words\n"
           u"    case $prev in\n"
           u"        "_s +
           files.join(u'|') +
           u") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
           u"        "_s +
           others.join(u'|') +
           u") return ;;\n"
           u"    esac\n"
           u"    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           u"        case ${COMP_WORDS[i]} in\n"
           u"            "_s +
           globalsWithValue +
           u") ((i++)) ;;\n"
           u"            -*) ;;\n"
           u"            *) command=${COMP_WORDS[i]}; break ;;\n"
           u"        esac\n"
           u"    done\n"
           u"    case $command in\n"
           u"        '') words=\""_s +
           names.join(u' ') + u" help "_s + globals.join(u' ') +
           u"\" ;;\n"
           u"        help) words=\""_s +
           names.join(u' ') + u"\" ;;\n"_s + cases.join(u'\n') +
           u"\n    esac\n"
           u"    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
           u"    [[ $command && $command != help && $cur != -* ]] && COMPREPLY+=($(compgen -f -- \"$cur\"))\n"
           u"}\n"
           u"complete -F _vqarchive vqarchive\n"_s;
}

}  // namespace vq

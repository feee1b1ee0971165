// The change history's commands: `history` reads it as a table, CSV or JSON, prunes it and
// switches its recording; `revert` writes the values before a change set back.
#include "ArchiveTool.h"
#include "ArchiveToolHelp.h"
#include "core/CsvCodec.h"
#include "archive/dialect/TimeText.h"
#include "archive/server/ArchiveServer.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "sdk/SdkChangeHistory.h"

#include <QJsonArray>

using namespace Qt::Literals::StringLiterals;

namespace vq {

namespace {

QString changeSetCount(qint64 count) {
    return count == 1 ? QStringLiteral("1 change set") : QStringLiteral("%1 change sets").arg(count);
}

using Outcome = SdkRevertResult::Outcome;

// Before and after are cut in the table; CSV and JSON carry them whole.
constexpr qsizetype kTableValueLimit = 40;

const QStringList tableHeader = {u"Change"_s, u"Time"_s,      u"User"_s,   u"Program"_s, u"Kind"_s,
                                 u"Tag"_s,    u"Attribute"_s, u"Before"_s, u"After"_s};
const QStringList csvHeader = {u"Change"_s, u"Time"_s, u"User"_s,      u"Program"_s, u"OS user"_s, u"Kind"_s,
                               u"Note"_s,   u"Tag"_s,  u"Attribute"_s, u"Before"_s,  u"After"_s};
// The columns a change set's later rows leave blank in the table.
constexpr qsizetype kChangeSetColumns = 5;

// Local, as a TIME is read, so that a time shown can be given back.
QString shownTime(const QDateTime& time) {
    return time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

// The dialect's time texts ("*-7d", "t", "2026-03-01 08:00", local), or ISO 8601 with its offset
// as --json prints it.
std::optional<QDateTime> timeOf(const QString& text) {
    if (const auto seconds = TimeText::seconds(text, QDateTime::currentDateTime()))
        return QDateTime::fromMSecsSinceEpoch(qint64(*seconds * 1000.0), Qt::UTC);
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (iso.isValid()) return iso.toUTC();
    return std::nullopt;
}

// One row per attribute changed, in the CSV's columns; a change set without attribute rows (a
// seeding run) is one row with its note.
std::vector<QStringList> rowsOf(const std::vector<SdkChangeSet>& sets) {
    std::vector<QStringList> rows;
    for (const SdkChangeSet& set : sets) {
        const QStringList head = {QString::number(set.id),
                                  shownTime(set.time),
                                  set.user,
                                  set.program,
                                  set.osUser,
                                  set.kind,
                                  set.note};
        if (set.points.empty()) rows.push_back(head + QStringList{{}, {}, {}, {}});
        for (const SdkPointChange& point : set.points)
            for (const SdkAttributeChange& change : point.attributes)
                rows.push_back(head + QStringList{point.tag, change.attribute, change.before, change.after});
    }
    return rows;
}

// A CSV row as the table shows it: without the operating-system user and the note (but a seeding
// run's note in place of its tag), values escaped and cut.
QStringList tableRow(const QStringList& csv) {
    QStringList row = {csv[0], csv[1], csv[2], csv[3], csv[5], csv[7], csv[8], csv[9], csv[10]};
    if (row[5].isEmpty()) row[5] = u'(' + csv[6] + u')';
    for (qsizetype i = 0; i < row.size(); ++i)
        row[i] = ShownText::of(row[i], i >= row.size() - 2 ? kTableValueLimit : ShownText::ValueLimit);
    return row;
}

void writeTable(QTextStream& out, std::vector<QStringList> rows) {
    for (size_t i = rows.size(); i-- > 1;)
        if (rows[i][0] == rows[i - 1][0])
            for (qsizetype c = 0; c < kChangeSetColumns; ++c) rows[i][c].clear();
    rows.insert(rows.begin(), tableHeader);
    std::vector<qsizetype> widths(size_t(tableHeader.size()), 0);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], row[c].size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c + 1 < row.size(); ++c)
            line += row[c].leftJustified(widths[size_t(c)]) + u"  "_s;
        line += row.back();
        while (line.endsWith(u' ')) line.chop(1);  // a blank last column leaves no trailing blanks
        out << line << '\n';
    }
}

QJsonObject changeSetJson(const SdkChangeSet& set) {
    QJsonArray points;
    for (const SdkPointChange& point : set.points) {
        QJsonArray attributes;
        for (const SdkAttributeChange& change : point.attributes)
            attributes.append(QJsonObject{{u"attribute"_s, change.attribute},
                                          {u"before"_s, change.before},
                                          {u"after"_s, change.after}});
        points.append(
            QJsonObject{{u"id"_s, point.pointId}, {u"tag"_s, point.tag}, {u"attributes"_s, attributes}});
    }
    return {{u"id"_s, set.id},         {u"time"_s, set.time.toUTC().toString(Qt::ISODateWithMs)},
            {u"user"_s, set.user},     {u"program"_s, set.program},
            {u"osUser"_s, set.osUser}, {u"kind"_s, set.kind},
            {u"note"_s, set.note},     {u"points"_s, points}};
}

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Restored:
            return "restored";
        case Outcome::ChangedSince:
            return "changedSince";
        default:
            return "refused";
    }
}

QString outcomeText(const SdkRevertResult& result, bool force) {
    switch (result.outcome) {
        case Outcome::Restored:
            return u"restored"_s;
        case Outcome::ChangedSince:
            return u"not reverted: "_s + ShownText::message(result.reason) +
                   (force ? QString() : u"; --force reverts it anyway"_s);
        default:
            return u"refused: "_s + ShownText::message(result.reason);
    }
}

}  // namespace

// An option a command has of its own under a global option's name (history's --user) is the
// command's after the command word; before it, it is the global one.
QStringList ArchiveTool::takeCommandOwnOptions(QStringList& arguments) {
    static const QStringList globalsWithValue = {u"--registry"_s, u"--user"_s, u"--password"_s};
    qsizetype at = 0;
    while (at < arguments.size() && arguments[at].startsWith(u"--"))
        at += globalsWithValue.contains(arguments[at]) ? 2 : 1;
    const CommandHelp* help = commandHelp(arguments.value(at));
    QStringList own;
    for (const CommandOption& option : help ? help->options : QList<CommandOption>()) {
        const qsizetype found = arguments.indexOf(option.name, at + 1);
        if (!globalsWithValue.contains(option.name) || found < 0 || found + 1 >= arguments.size()) continue;
        own << arguments[found] << arguments[found + 1];
        arguments.remove(found, 2);
    }
    return own;
}

int ArchiveTool::history(const QStringList& input) {
    QStringList args = input;
    const QString pruneBefore = takeOption(args, u"--prune-before"_s);
    const QString recording = takeOption(args, u"--recording"_s);
    SdkHistoryFilter filter;
    bool csv = false;
    if (const int code = takeHistoryFilter(args, filter, csv); code != 0) return code;
    const bool reading = args.size() != 1 || csv || !filter.user.isEmpty() || filter.since || filter.until ||
                         filter.changeId != 0 || filter.limit >= 0;
    const bool administering = !pruneBefore.isEmpty() || !recording.isEmpty();
    if (args.isEmpty() || args.size() > 2 || (administering && reading) ||
        (!pruneBefore.isEmpty() && !recording.isEmpty()))
        return usage(2);
    if (!recording.isEmpty() && recording != u"on" && recording != u"off")
        return fail(2, u"--recording takes on or off, not \"%1\""_s.arg(ShownText::of(recording)));
    if (!pruneBefore.isEmpty() && !timeOf(pruneBefore))
        return fail(2,
                    u"\"%1\" is not a time (see: vqarchive help history)"_s.arg(ShownText::of(pruneBefore)));
    if (args.size() == 2) filter.tag = args[1];
    auto server = openArchive(args[0]);
    logOn(*server);
    if (!pruneBefore.isEmpty()) {
        const QDateTime cut = *timeOf(pruneBefore);
        const qint64 removed = server->pruneHistory(cut);
        m_out << "Removed " << changeSetCount(removed) << " older than " << shownTime(cut) << " from \""
              << server->Name() << "\"\n";
        return 0;
    }
    if (!recording.isEmpty()) {
        server->setRecordsHistory(recording == u"on");
        m_out << "Changes of points on \"" << server->Name()
              << (recording == u"on" ? "\" are recorded from now on\n"
                                     : "\" are no longer recorded, until: --recording on\n");
        return 0;
    }
    return printHistory(*server, filter, csv);
}

// The options that select change sets, and --csv; a usage error's exit code, else 0.
int ArchiveTool::takeHistoryFilter(QStringList& args, SdkHistoryFilter& filter, bool& csv) {
    filter.user = takeOption(args, u"--user"_s);
    const QString since = takeOption(args, u"--since"_s), until = takeOption(args, u"--until"_s);
    const QString change = takeOption(args, u"--change"_s), limit = takeOption(args, u"--limit"_s);
    csv = takeFlag(args, u"--csv"_s);
    if (csv && m_json) return usage(2);
    for (const auto& [text, time] : {std::pair{&since, &filter.since}, {&until, &filter.until}}) {
        if (text->isEmpty()) continue;
        *time = timeOf(*text);
        if (!*time)
            return fail(2, u"\"%1\" is not a time (see: vqarchive help history)"_s.arg(ShownText::of(*text)));
    }
    bool ok = true;
    if (!change.isEmpty()) filter.changeId = change.toLongLong(&ok);
    if (!ok || (!change.isEmpty() && filter.changeId <= 0))
        return fail(2, u"\"%1\" is not a change set number"_s.arg(ShownText::of(change)));
    if (!limit.isEmpty()) filter.limit = limit.toInt(&ok);
    if (!ok || (!limit.isEmpty() && filter.limit <= 0))
        return fail(2, u"\"%1\" is not a number of change sets"_s.arg(ShownText::of(limit)));
    return 0;
}

int ArchiveTool::printHistory(ArchiveServer& server, const SdkHistoryFilter& filter, bool csv) {
    std::vector<SdkChangeSet> sets = server.changeHistory()->changeSets(filter);
    // A point's history: the other points its change sets wrote are another story.
    if (const auto point = filter.tag.isEmpty() ? std::nullopt : server.findPoint(filter.tag))
        for (SdkChangeSet& set : sets)
            std::erase_if(set.points,
                          [&](const SdkPointChange& change) { return change.pointId != point->id; });
    if (m_json) {
        QJsonArray changeSets;
        for (const SdkChangeSet& set : sets) changeSets.append(changeSetJson(set));
        return printed({{u"server"_s, server.Name()},
                        {u"recording"_s, server.recordsHistory()},
                        {u"changeSets"_s, changeSets}});
    }
    const std::vector<QStringList> rows = rowsOf(sets);
    if (csv) {
        CsvWriter writer(m_out);
        writer.writeRow(csvHeader);
        for (const QStringList& row : rows) writer.writeRow(row);
        return 0;
    }
    if (sets.empty()) {
        m_out << "No change set matches\n";
    } else {
        std::vector<QStringList> shown;
        for (const QStringList& row : rows) shown.push_back(tableRow(row));
        writeTable(m_out, std::move(shown));
        m_out << changeSetCount(qint64(sets.size())) << "\n";
    }
    if (!server.recordsHistory())
        m_out << "Changes of points on \"" << server.Name() << "\" are not recorded\n";
    return 0;
}

int ArchiveTool::revert(const QStringList& input) {
    QStringList args = input;
    const bool force = takeFlag(args, u"--force"_s);
    if (args.size() != 2) return usage(2);
    bool ok = false;
    const qint64 changeId = args[1].toLongLong(&ok);
    if (!ok || changeId <= 0)
        return fail(2, u"\"%1\" is not a change set number"_s.arg(ShownText::of(args[1])));
    auto server = openArchive(args[0]);
    logOn(*server);
    const std::vector<SdkRevertResult> results = server->changeHistory()->revert(changeId, force);
    const auto restored = std::count_if(results.begin(), results.end(), [](const SdkRevertResult& r) {
        return r.outcome == Outcome::Restored;
    });
    const QString summary =
        u"Reverted %1 of %2 points of change set %3"_s.arg(restored).arg(results.size()).arg(changeId);
    if (m_json) {
        QJsonArray points;
        for (const SdkRevertResult& result : results)
            points.append(QJsonObject{{u"id"_s, result.pointId},
                                      {u"tag"_s, result.tag},
                                      {u"outcome"_s, QString::fromLatin1(outcomeName(result.outcome))},
                                      {u"reason"_s, result.reason}});
        printed({{u"changeSet"_s, changeId}, {u"restored"_s, qint64(restored)}, {u"points"_s, points}});
        return size_t(restored) == results.size() ? 0 : fail(1, summary);
    }
    qsizetype width = 0;
    for (const SdkRevertResult& result : results) width = std::max(width, ShownText::of(result.tag).size());
    for (const SdkRevertResult& result : results)
        m_out << "  " << ShownText::of(result.tag).leftJustified(width) << "  " << outcomeText(result, force)
              << '\n';
    m_out << summary << '\n';
    return size_t(restored) == results.size() ? 0 : 1;
}

}  // namespace vq

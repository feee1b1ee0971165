#include "ArchiveToolJson.h"

#include "ArchiveTool.h"
#include "ShownPointValues.h"
#include "archive/data/ArchiveCopy.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/ArchiveServers.h"
#include "archive/server/ServerRegistry.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointList.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::Literals::StringLiterals;

namespace vq {

namespace {

QJsonArray linesOf(const QString& text) {
    return QJsonArray::fromStringList(text.split(u'\n', Qt::SkipEmptyParts));
}

// A coded value by its name where the sheets name it, else the value in its own type.
QJsonValue attributeJson(const PropSheetEntries* names, const SdkNamedValue& pair) {
    const QString shown = shownValue(names, pair);
    return shown == pair.Value().toString() ? jsonOf(pair.Value()) : QJsonValue(shown);
}

QJsonValue currentJson(ArchiveServer& server, qint64 pointId) {
    const auto current = server.currentValue(pointId);
    if (!current) return QJsonValue::Null;
    return QJsonObject{{u"value"_s, jsonOf(current->value)},
                       {u"status"_s, current->status},
                       {u"time"_s, current->time.toUTC().toString(Qt::ISODateWithMs)}};
}

QJsonObject describeJson(ArchiveServer& server) {
    QJsonArray classes, sets, tags;
    for (const ArchiveClassInfo& info : server.classes()) classes.append(info.name);
    for (const SdkDigitalStateSetPtr& set : server.DigitalStateSets()->All()) sets.append(set->Name());
    for (const ArchivePointHeader& header : server.storage().pointHeaders(4)) tags.append(header.tag);
    return {{u"name"_s, server.Name()},
            {u"kind"_s, server.ServerKind()},
            {u"version"_s, server.ServerVersion().Text()},
            {u"points"_s, qint64(server.pointCount())},
            {u"classes"_s, classes},
            {u"digitalStateSets"_s, sets},
            {u"users"_s, QJsonArray::fromStringList(server.Users())},
            {u"firstTags"_s, tags},
            {u"location"_s, ArchiveStorage::shownLocation(server.path())}};
}

}  // namespace

QJsonObject errorJson(const Error& error) {
    return {{u"number"_s, error.number()}, {u"description"_s, ShownText::message(error.description())}};
}

QJsonValue jsonOf(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Boolean:
            return value.toBool();
        case Variant::Type::Int16:
        case Variant::Type::Int32:
        case Variant::Type::Double:
            return value.toDouble();
        // As the single-precision value reads, not its nearest double.
        case Variant::Type::Single:
            return Variant::formatDouble(value.toDouble(), true).toDouble();
        case Variant::Type::Date:
            return value.toDateTime().toString(Qt::ISODate);
        case Variant::Type::String:
            return value.toString();
        default:
            return QJsonValue::Null;
    }
}

QJsonObject pointJson(ArchiveServer& server, SdkPoint& point, const QString& typeName,
                      const PropSheetEntries* names) {
    QJsonObject attributes;
    const SdkNamedValuesPtr values = point.PointAttributes()->NamedValues();
    for (const SdkNamedValue& pair : *values) attributes.insert(pair.Name(), attributeJson(names, pair));
    return {{u"server"_s, server.Name()},
            {u"tag"_s, point.Name()},
            {u"class"_s, point.PointClass()->Name()},
            {u"type"_s, names ? QJsonValue(typeName) : QJsonValue(int(point.PointType()))},
            {u"id"_s, point.PointID()},
            {u"attributes"_s, attributes},
            {u"current"_s, currentJson(server, point.PointID())}};
}

QJsonObject searchJson(const QString& server, SdkPointList* points, double milliseconds) {
    QJsonArray tags;
    for (int i = 1; points && i <= points->Count(); ++i) tags.append(points->Tag(i));
    return {{u"server"_s, server},
            {u"tags"_s, tags},
            {u"count"_s, tags.size()},
            {u"milliseconds"_s, milliseconds}};
}

QJsonObject serversJson(const ServerRegistry& registry, const ArchiveServers& servers) {
    QJsonArray list;
    for (const ServerEntry& entry : servers.entries())
        list.append(
            QJsonObject{{u"name"_s, entry.name},
                        {u"location"_s, ArchiveStorage::shownLocation(registry.resolve(entry.location))},
                        {u"default"_s, entry.isDefault}});
    return {{u"registry"_s, registry.path()}, {u"servers"_s, list}};
}

QJsonObject usersJson(ArchiveServer& server) {
    QJsonArray users;
    for (const QString& user : server.Users())
        users.append(QJsonObject{{u"name"_s, user},
                                 {u"groups"_s, QJsonArray::fromStringList(server.groupsOf(user))},
                                 {u"emptyPassword"_s, !server.hasPassword(user)}});
    return {{u"server"_s, server.Name()},
            {u"users"_s, users},
            {u"groups"_s, QJsonArray::fromStringList(server.Groups())}};
}

QJsonObject demoJson(const QStringList& created, const ServerRegistry& registry) {
    QJsonArray described;
    for (const SdkServerPtr& server : ArchiveServers(registry).All()) {
        try {
            described.append(describeJson(*std::static_pointer_cast<ArchiveServer>(server)));
        } catch (const Error& error) {
            described.append(
                QJsonObject{{u"name"_s, server->Name()}, {u"unavailable"_s, error.description()}});
        }
    }
    return {{u"created"_s, QJsonArray::fromStringList(created)},
            {u"registry"_s, registry.path()},
            {u"servers"_s, described}};
}

QJsonObject copyJson(const ArchiveDigest& digest, const QString& destination, double seconds) {
    return {{u"points"_s, digest.points},
            {u"values"_s, digest.values},
            {u"users"_s, digest.users},
            {u"groups"_s, digest.groups},
            {u"digitalStateSets"_s, digest.digitalSets},
            {u"destination"_s, ArchiveStorage::shownLocation(destination)},
            {u"seconds"_s, seconds},
            {u"digest"_s, QString::fromLatin1(digest.sha256)}};
}

QJsonObject seedJson(const QString& server, const ArchiveSeeder::Result& result, double seconds) {
    return {{u"server"_s, server},
            {u"points"_s, qint64(result.points)},
            {u"values"_s, qint64(result.values)},
            {u"skipped"_s, qint64(result.skipped)},
            {u"seconds"_s, seconds}};
}

QJsonObject importJson(const PointCsv::ImportReport& report) {
    QJsonArray refused;
    for (const PointCsv::Refusal& refusal : report.refused)
        refused.append(QJsonObject{{u"line"_s, refusal.line},
                                   {u"tag"_s, refusal.tag},
                                   {u"reason"_s, ShownText::message(refusal.reason)}});
    return {{u"created"_s, report.created},
            {u"updated"_s, report.updated},
            {u"unchanged"_s, report.unchanged},
            {u"refused"_s, refused}};
}

// The command runs on streams of its own: what it would print for people is kept for
// {"messages"} and {"notes"}, and only JSON reaches the real streams.
int ArchiveTool::runAsJson(const QStringList& arguments) {
    QString text, notes;
    QTextStream textStream(&text), notesStream(&notes);
    ArchiveTool inner(textStream, notesStream);
    inner.m_json = true;
    inner.m_in = m_in;
    inner.m_prompts = &m_err;
    const int code = inner.run(arguments);
    textStream.flush();
    notesStream.flush();
    if (code == 0 || !inner.m_document.isEmpty()) {
        const QJsonObject document =
            inner.m_document.isEmpty() ? QJsonObject{{u"messages"_s, linesOf(text)}} : inner.m_document;
        m_out << QJsonDocument(document).toJson();
    }
    QJsonObject problems;
    if (code != 0) problems.insert(u"error"_s, inner.m_error);
    if (!notes.isEmpty()) problems.insert(u"notes"_s, linesOf(notes));
    if (!problems.isEmpty()) m_err << QJsonDocument(problems).toJson(QJsonDocument::Compact) << '\n';
    return code;
}

int ArchiveTool::printed(QJsonObject document) {
    m_document = std::move(document);
    return 0;
}

int ArchiveTool::fail(int code, const QString& message) {
    if (m_json)
        m_error = {{u"number"_s, code}, {u"description"_s, ShownText::message(message.trimmed())}};
    else
        m_err << "vqarchive: " << message << '\n';
    return code;
}

}  // namespace vq

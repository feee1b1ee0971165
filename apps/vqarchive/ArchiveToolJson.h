#pragma once

#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "sdk/SdkFwd.h"

#include <QJsonObject>
#include <QStringList>

namespace vq {

class ArchiveServer;
class ArchiveServers;
class Error;
class PropSheetEntries;
class ServerRegistry;
class Variant;
struct ArchiveDigest;

// The documents `vqarchive --json` prints. Strings are as stored: JSON escapes what a terminal
// would act on, and a script wants the real text.
QJsonObject errorJson(const Error& error);
QJsonValue jsonOf(const Variant& value);
// `names` null: the stored codes, as --raw shows them.
QJsonObject pointJson(ArchiveServer& server, SdkPoint& point, const QString& typeName,
                      const PropSheetEntries* names);
// `points` null: none matched.
QJsonObject searchJson(const QString& server, SdkPointList* points, double milliseconds);
QJsonObject serversJson(const ServerRegistry& registry, const ArchiveServers& servers);
QJsonObject usersJson(ArchiveServer& server);
QJsonObject demoJson(const QStringList& created, const ServerRegistry& registry);
QJsonObject copyJson(const ArchiveDigest& digest, const QString& destination, double seconds);
QJsonObject seedJson(const QString& server, const ArchiveSeeder::Result& result, double seconds);
QJsonObject importJson(const PointCsv::ImportReport& report);

}  // namespace vq

#pragma once

#include "archive/ArchiveServer.h"
#include "core/Error.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace vq::test {

// The error `body` raised; number 0 when it raised none.
template <typename Body>
Error raised(Body&& body) {
    try {
        body();
    } catch (const Error& error) {
        return error;
    }
    return Error(0, QString(), QStringLiteral("nothing was raised"));
}

inline SdkNamedValues namedValues(std::initializer_list<std::pair<const char*, Variant>> pairs) {
    SdkNamedValues values;
    for (const auto& [name, value] : pairs) values.Add(QString::fromUtf8(name), value);
    return values;
}

// "Name=value:Type ..." of the named attributes, in the order asked for.
inline std::string typedValues(SdkPointAttributes& attributes, const QStringList& names) {
    QStringList parts;
    for (const QString& name : names) {
        const Variant value = attributes.Item(name)->Value();
        parts << name + u'=' + value.toString() + u':' + value.typeName();
    }
    return parts.join(u' ').toStdString();
}

// "Name=value ..." of the named attributes of a point, freshly read from its archive.
inline std::string pointValues(const SdkPointPtr& point, const QStringList& names) {
    SdkPointAttributesPtr attributes = point->PointAttributes();
    attributes->LoadAll();
    QStringList parts;
    for (const QString& name : names) parts << name + u'=' + attributes->Item(name)->Value().toString();
    return parts.join(u' ').toStdString();
}

// The refused attribute names, sorted, so the order the checks run in does not matter.
inline std::string refusedNames(const SdkNamedValues& failed) {
    QStringList names;
    for (const SdkNamedValue& pair : failed) names << pair.Name();
    names.sort(Qt::CaseInsensitive);
    return names.join(u' ').toStdString();
}

// A fresh archive file in a temporary folder; every server object opened on it is a new
// connection, so what a test reads back really went through the file.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString archivePath() const { return filePath(QStringLiteral("plant.vqa")); }

    void createArchive(const QString& kind = QStringLiteral("VQ3"),
                       const QString& version = QStringLiteral("VQ 3.4.1")) {
        ArchiveServer::create(archivePath(), QStringLiteral("plant"), kind, version);
    }
    std::shared_ptr<ArchiveServer> reopen() const {
        return ArchiveServer::open(QStringLiteral("plant"), archivePath());
    }
    std::shared_ptr<ArchiveServer> logOn(const QString& user = QStringLiteral("vqadmin"),
                                         const QString& password = QString()) const {
        auto server = reopen();
        server->Open(user, password);
        return server;
    }

    QTemporaryDir m_dir;
};

}  // namespace vq::test

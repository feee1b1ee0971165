#pragma once

#include "ErrorNumber.h"

#include "core/Error.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"

#include <memory>

namespace vq::test {

// A server and its points reduced to what point lists and the log-on dialog use; the real
// archive lives in its own library.
class FakePoint : public SdkPoint {
public:
    FakePoint(qint64 id, QString tag, SdkServerPtr server)
        : m_id(id), m_tag(std::move(tag)), m_server(server) {}
    QString Name() const override { return m_tag; }
    QString ListText() const override { return SdkPointList::Path(m_server->Name(), m_tag); }
    SdkPointType PointType() const override { return pointtype::Float32; }
    qint64 PointID() const override { return m_id; }
    SdkServerPtr Server() const override { return m_server; }
    SdkPointClassPtr PointClass() const override { return nullptr; }
    SdkPointAttributesPtr PointAttributes() override { return nullptr; }

private:
    qint64 m_id;
    QString m_tag;
    SdkServerPtr m_server;
};

class FakeServer : public SdkServer, public std::enable_shared_from_this<FakeServer> {
public:
    explicit FakeServer(QString name) : m_name(std::move(name)) {}
    static std::shared_ptr<FakeServer> make(const QString& name) {
        return std::make_shared<FakeServer>(name);
    }

    SdkPointPtr point(qint64 id, const QString& tag) { return PointFromHandle(id, tag); }

    QString Name() const override { return m_name; }
    QString ServerKind() const override { return QStringLiteral("VQ3"); }
    SdkServerVersion ServerVersion() const override { return SdkServerVersion(QStringLiteral("VQ 3.4.1")); }
    bool IsConnected() const override { return !m_user.isEmpty(); }
    void Open(const QString& user, const QString& password) override {
        ++opens;
        if (!password.isEmpty()) throw Error(sdkerr::LogonFailed, m_name, QStringLiteral("Wrong password"));
        m_user = user;
    }
    void Close() override { m_user.clear(); }
    QString UserName() const override { return m_user; }
    QStringList Users() const override { return {QStringLiteral("vqadmin")}; }
    QStringList Groups() const override { return {}; }
    SdkPointsPtr Points() override { return nullptr; }
    SdkPointClassesPtr PointClasses() override { return nullptr; }
    SdkDigitalStateSetsPtr DigitalStateSets() override { return nullptr; }
    SdkPointListPtr GetPointsSQL(const QString&, const SdkNamedValues&, SdkNamedValues*) override {
        return nullptr;
    }
    SdkPointPtr PointFromHandle(qint64 pointId, const QString& tag) override {
        return std::make_shared<FakePoint>(pointId, tag, shared_from_this());
    }

    int opens = 0;

private:
    QString m_name;
    QString m_user;
};

}  // namespace vq::test

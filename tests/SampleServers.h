#pragma once

#include "QtPrinters.h"
#include "archive/data/SampleArchives.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ServerRegistry.h"
#include "core/RecordingMessageService.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vq::test {

using namespace Qt::Literals::StringLiterals;

// The three sample servers (vqsouth "VQ 3.4.1", vqnorth "VQ 3.2.357", vqlegacy "VQ2"), made once
// for the test program; each test gets its own copy of the server list and a fresh server
// library, so every server starts disconnected and list edits stay within the test.
class SampleServersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (sampleDir()) return;
        sampleDir() = std::make_unique<QTemporaryDir>();
        ServerRegistry registry(sampleDir()->filePath(u"servers.json"_s));
        SampleArchives::ensure(registry);
    }

    void SetUp() override {
        static int registries = 0;
        const QString path = sampleDir()->filePath(u"servers-%1.json"_s.arg(++registries));
        ASSERT_TRUE(QFile::copy(sampleDir()->filePath(u"servers.json"_s), path));
        ArchiveApplication::install(path);
    }
    void TearDown() override { SdkApplication::reset(); }

    static SdkServersPtr servers() { return SdkApplication::instance()->Servers(); }
    static SdkServerPtr connect(const QString& name) {
        SdkServerPtr server = servers()->Item(name);
        server->Open(u"vqadmin"_s, QString());
        return server;
    }
    static QString archivePath(const QString& name) {
        return sampleDir()->filePath(u"archives/%1.vqa"_s.arg(name));
    }
    static SdkNamedValuesPtr names(const QStringList& list) {
        auto set = SdkNamedValues::create();
        for (const QString& name : list) set->Add(name, Variant(int16_t(0)));
        return set;
    }
    static std::string text(const SdkNamedValuesPtr& set) {
        QStringList list;
        for (const SdkNamedValue& entry : *set) list << entry.Name();
        return list.join(u',').toStdString();
    }

    ScopedMessageRecorder m_messages;

private:
    static std::unique_ptr<QTemporaryDir>& sampleDir() {
        static std::unique_ptr<QTemporaryDir> dir;
        return dir;
    }
};

}  // namespace vq::test

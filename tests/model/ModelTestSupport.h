#pragma once

#include "ErrorNumber.h"
#include "QtPrinters.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "core/RecordingMessageService.h"
#include "model/PropSheetCategories.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace vq::test {

using namespace Qt::Literals::StringLiterals;

inline QStringList words(const char* names) {
    return QString::fromUtf8(names).split(u' ', Qt::SkipEmptyParts);
}

// "Name=text ..." with the text `textOf` gives for each of `names`.
template <typename Text>
std::string each(const char* names, Text&& textOf, QChar separator = u'=') {
    QStringList parts;
    for (const QString& name : words(names)) parts << name + separator + textOf(name);
    return parts.join(u' ').toStdString();
}

// "Name=value ..." as the collection reports the named attributes.
inline std::string values(const PropSheetEntries& entries, const char* names) {
    return each(names, [&](const QString& name) { return entries.GetValue(name).toString(); });
}

// Applies "Name=value ..." through the collection, as editors commit typed text.
inline void edit(PropSheetEntries& entries, const char* assignments) {
    for (const QString& assignment : words(assignments)) {
        const qsizetype equals = assignment.indexOf(u'=');
        entries.SetValue(assignment.left(equals), Variant(assignment.mid(equals + 1)));
    }
}

// The named attributes for which `test` holds, e.g. &PropSheetEntry::GetReadOnly.
template <typename Test>
std::string which(const PropSheetEntries& entries, const char* names, Test&& test) {
    QStringList hits;
    for (const QString& name : words(names))
        if (std::invoke(test, *entries.Item(Variant(name)))) hits << name;
    return hits.join(u' ').toStdString();
}

// "Name=rule[range1..range2] ..."; the range only when one is set.
inline std::string rules(const PropSheetEntries& entries, const char* names) {
    return each(names, [&](const QString& name) {
        const PropSheetEntry& entry = *entries.Item(Variant(name));
        const QString rule = QString::number(entry.ValidationRule());
        if (entry.RangeValue1().isMissing()) return rule;
        return QString(rule + u"["_s + entry.RangeValue1().toString() + u".."_s +
                       entry.RangeValue2().toString() + u"]"_s);
    });
}

// "Name- Name+ ..." of the categories in order, + when collapsed.
inline std::string categoriesText(PropSheetCategories& categories) {
    QStringList names;
    for (int position = 1; position <= categories.Count(); ++position) {
        const PropSheetCategoryPtr category = categories.Item(Variant(int32_t(position)));
        names << category->Name() + (category->Collapsed() ? u"+"_s : u"-"_s);
    }
    return names.join(u' ').toStdString();
}

inline std::string text(const SdkNamedValuesPtr& set) {
    return set->toText().toStdString();
}

// The stored attributes of a point as a new connection reads them from the archive file.
inline std::string storedValues(const std::shared_ptr<ArchiveServer>& server, const QString& tag,
                                const char* names) {
    const SdkPointAttributesPtr attributes = server->Points()->Item(tag)->PointAttributes();
    attributes->LoadAll();
    return each(names, [&](const QString& name) { return attributes->Item(name)->Value().toString(); });
}

// The collection's events in order: "pending:Span display:CompDev value:Span".
class EventLog {
public:
    explicit EventLog(PropSheetEntries& entries) {
        using Signal = void (PropSheetEntries::*)(PropSheetEntry*);
        for (const auto& [signal, kind] :
             {std::pair<Signal, const char*>{&PropSheetEntries::OnPendingChange, "pending:"},
              {&PropSheetEntries::OnValueEdit, "value:"},
              {&PropSheetEntries::OnDisplayEdit, "display:"}})
            QObject::connect(&entries, signal, &m_context, [this, kind](PropSheetEntry* entry) {
                m_events << QString::fromUtf8(kind) + entry->PrimaryAttributeName();
            });
    }
    std::string take() { return std::exchange(m_events, {}).join(u' ').toStdString(); }

private:
    QObject m_context;
    QStringList m_events;
};

// Archive files of any kind in a temporary folder, the archive installed as the server library,
// and every message box recorded.
class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ArchiveApplication::install(m_dir.filePath(u"servers.json"_s));
    }
    void TearDown() override { SdkApplication::reset(); }

    // A new archive named `name`, logged on as vqadmin.
    std::shared_ptr<ArchiveServer> makeServer(const QString& kind = u"VQ3"_s,
                                              const QString& version = u"VQ 3.4.1"_s,
                                              const QString& name = u"plant"_s) {
        auto server = ArchiveServer::create(path(name), name, kind, version);
        server->Open(u"vqadmin"_s, QString());
        return server;
    }
    // A second connection to the same archive file.
    std::shared_ptr<ArchiveServer> reconnect(const QString& name = u"plant"_s,
                                             const QString& user = u"vqadmin"_s,
                                             const QString& password = QString()) const {
        auto server = ArchiveServer::open(name, path(name));
        server->Open(user, password);
        return server;
    }
    // Stores a point directly through the archive.
    SdkPointPtr storePoint(ArchiveServer& server, const QString& tag, const QString& className,
                           SdkPointType type, const SdkNamedValues& attributes = SdkNamedValues()) {
        return server.Points()->Add(tag, className, type, attributes);
    }
    QString path(const QString& name) const { return m_dir.filePath(name + u".vqa"_s); }
    QStringList messages() { return m_messages->texts(); }

    QTemporaryDir m_dir;
    ScopedMessageRecorder m_messages;
};

}  // namespace vq::test

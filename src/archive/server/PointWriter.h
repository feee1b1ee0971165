#pragma once

#include "archive/ArchiveExport.h"

#include "archive/server/ArchiveServer.h"

#include <vector>

namespace vq {

struct ArchiveStoredValue;

// Checks and stores the attributes of one point. Every attribute is checked (known to the class,
// convertible to its type, tag characters and uniqueness, non-zero span for numeric types, system
// attributes left alone, digital set, access strings, owners and groups, the writer's rights);
// either all are stored in one transaction or none, and each refusal is reported with its reason.
class VQ_ARCHIVE_EXPORT PointWriter {
public:
    explicit PointWriter(ArchiveServer& server) : m_server(server) {}

    ArchivePointHeader create(const QString& tag, const QString& className, SdkPointType pointType,
                              const SdkNamedValues& attributes, SdkNamedValues& failed);
    // When `seen` holds the point's values as the writer last read them, a point that another
    // writer has changed since is refused (PointChanged) and nothing is written; after a write,
    // `seen` holds the values now stored.
    void update(ArchivePointHeader& header, const SdkNamedValues& edits, bool stopOnFirstError,
                SdkNamedValues& failed, std::vector<Variant>* seen = nullptr);

    // The value converted to the attribute's type, or the reason it cannot be.
    static std::optional<Variant> convert(const AttributeDef& def, const Variant& value, QString* reason);
    // Why a tag cannot be used, or empty.
    static QString tagProblem(const QString& tag);
    // Why a new or renamed tag cannot be used because it holds characters that show as nothing.
    static QString invisibleTagProblem(const QString& tag);

private:
    struct Draft;
    void applyEdits(Draft& draft, const SdkNamedValues& edits);
    void checkPoint(Draft& draft);
    void checkAccess(Draft& draft, const SdkNamedValues& edits);
    void refuse(Draft& draft, const QString& attribute, const QString& reason);
    [[noreturn]] void raiseRefusal(const Draft& draft, const QString& what, const SdkNamedValues& failed);
    SdkNamedValues editsBesideArguments(Draft& draft, const SdkNamedValues& attributes,
                                        SdkPointType pointType);
    void stampCreation(Draft& draft);
    static std::vector<ArchiveStoredValue> storedValues(const Draft& draft);
    [[noreturn]] void raiseChangedSinceRead(const Draft& draft) const;

    ArchiveServer& m_server;
};

}  // namespace vq

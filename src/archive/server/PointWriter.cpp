#include "archive/server/PointWriter.h"

#include "archive/server/ArchiveChangeRecorder.h"
#include "archive/server/SecurityString.h"
#include "archive/storage/ArchiveStorage.h"
#include "archive/storage/StoredText.h"
#include "core/KeyedCollection.h"
#include "core/ShownText.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"

#include <cfloat>
#include <cmath>

namespace vq {

namespace {

constexpr int kMaxTagLength = 255;
constexpr int kMaxTextLength = 4000;
const QString refusedTagCharacters = QStringLiteral("*;?[\\]{|}");

bool isNamed(const QString& name, const char16_t* expected) {
    return name.compare(QString::fromUtf16(expected), Qt::CaseInsensitive) == 0;
}

QString quotedValue(const Variant& value) {
    return u'"' + ShownText::of(value.toString()) + u'"';
}

// Characters that show as nothing or turn the text around, so that two tags that look the same
// would be two points: format characters (zero-width spaces and joiners, direction marks,
// embeddings, overrides and isolates, the byte order mark, the soft hyphen), the combining
// grapheme joiner, variation selectors and the Hangul fillers.
bool isInvisible(QChar c) {
    const char16_t u = c.unicode();
    return c.category() == QChar::Other_Format || u == 0x034F || (u >= 0xFE00 && u <= 0xFE0F) ||
           u == 0x115F || u == 0x1160 || u == 0x3164 || u == 0xFFA0;
}

}  // namespace

// One point as it will be stored: the class, every attribute value, and what went wrong so far.
struct PointWriter::Draft {
    const ArchiveClassInfo* info = nullptr;
    qint64 pointId = 0;  // 0 for a new point
    std::vector<Variant> values;
    std::vector<bool> written;  // attributes the write stores
    SdkNamedValues* failed = nullptr;
    bool stopOnFirstError = false;
    QString tag;  // as given, for messages

    int indexOf(const QString& name) const { return info->index.value(foldKey(name), -1); }
    Variant value(const char16_t* name) const {
        const int i = indexOf(QString::fromUtf16(name));
        return i < 0 ? Variant() : values[size_t(i)];
    }
    void set(const QString& name, const Variant& value) {
        const int i = indexOf(name);
        if (i < 0) return;
        values[size_t(i)] = value;
        written[size_t(i)] = true;
    }
    bool stopped() const { return stopOnFirstError && failed->Count() > 0; }
    // Attributes the write stores in their own columns.
    std::vector<int> storedAttributes() const {
        std::vector<int> stored;
        for (size_t i = 0; i < values.size(); ++i)
            if (written[i] && !ArchiveCatalog::isComputedAttribute(info->attributes[i].name))
                stored.push_back(int(i));
        return stored;
    }
};

std::optional<Variant> PointWriter::convert(const AttributeDef& def, const Variant& value, QString* reason) {
    if (value.isMissing()) {
        *reason = QStringLiteral("no value given");
        return std::nullopt;
    }
    if (def.type == AttributeType::String) {
        const QString text = value.toString();
        if (text.size() > kMaxTextLength) {
            *reason = QStringLiteral("longer than %1 characters").arg(kMaxTextLength);
            return std::nullopt;
        }
        if (StoredText::hasNul(text)) {
            *reason = StoredText::nulReason();
            return std::nullopt;
        }
        return Variant(text);
    }
    if (def.type == AttributeType::Date) {
        const QDateTime date = value.toDateTime();
        if (!date.isValid()) {
            *reason = QStringLiteral("%1 is not a date").arg(quotedValue(value));
            return std::nullopt;
        }
        return Variant(date);
    }
    bool numeric = false;
    const double number = value.toDouble(&numeric);
    if (!numeric) {
        *reason = QStringLiteral("%1 is not a number").arg(quotedValue(value));
        return std::nullopt;
    }
    switch (def.type) {
        case AttributeType::Int16:
        case AttributeType::Int32: {
            const double rounded = std::nearbyint(number);
            const double low = def.type == AttributeType::Int16 ? INT16_MIN : INT32_MIN;
            const double high = def.type == AttributeType::Int16 ? INT16_MAX : INT32_MAX;
            if (rounded < low || rounded > high) {
                *reason = QStringLiteral("%1 is outside %2 to %3")
                              .arg(quotedValue(value))
                              .arg(qint64(low))
                              .arg(qint64(high));
                return std::nullopt;
            }
            if (def.type == AttributeType::Int16) return Variant(int16_t(rounded));
            return Variant(int32_t(rounded));
        }
        case AttributeType::Single:
            if (std::fabs(number) > FLT_MAX) {
                *reason = QStringLiteral("%1 is too large for this attribute").arg(quotedValue(value));
                return std::nullopt;
            }
            return Variant(float(number));
        default:
            return Variant(number);
    }
}

QString PointWriter::tagProblem(const QString& tag) {
    if (tag.isEmpty()) return QStringLiteral("a tag cannot be empty");
    if (tag.size() > kMaxTagLength)
        return QStringLiteral("a tag cannot be longer than %1 characters").arg(kMaxTagLength);
    if (tag.front().isSpace() || tag.back().isSpace())
        return QStringLiteral("a tag cannot begin or end with a blank");
    for (QChar c : tag) {
        if (refusedTagCharacters.contains(c))
            return QStringLiteral("a tag cannot contain the character '%1'").arg(c);
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("a tag cannot contain control characters");
    }
    return {};
}

QString PointWriter::invisibleTagProblem(const QString& tag) {
    for (QChar c : tag)
        if (isInvisible(c))
            return QStringLiteral("a tag cannot contain characters that show as nothing (here U+%1)")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
    return {};
}

void PointWriter::refuse(Draft& draft, const QString& attribute, const QString& reason) {
    if (!draft.failed->Contains(attribute)) draft.failed->Add(attribute, Variant(reason));
}

void PointWriter::applyEdits(Draft& draft, const SdkNamedValues& edits) {
    std::vector<std::pair<QString, double>> percents;
    for (const SdkNamedValue& edit : edits) {
        if (draft.stopped()) return;
        const QString& name = edit.Name();
        const QString base = ArchiveCatalog::percentBase(name);
        const AttributeDef* def = draft.info->find(name);
        if (!def) {
            refuse(draft, name,
                   QStringLiteral("not an attribute of the point class \"%1\"").arg(draft.info->name));
        } else if (ArchiveCatalog::isSystemAttribute(name)) {
            refuse(draft, name, QStringLiteral("set by the archive; it cannot be written"));
        } else if (!base.isEmpty()) {
            if (!edit.Value().isNumeric())
                refuse(draft, name, QStringLiteral("%1 is not a number").arg(quotedValue(edit.Value())));
            else
                percents.emplace_back(base, edit.Value().toDouble());
        } else {
            QString reason;
            if (const auto converted = convert(*def, edit.Value(), &reason))
                draft.set(def->name, *converted);
            else
                refuse(draft, name, reason);
        }
    }
    // Per-cent deviations are stored in engineering units of the span the point ends up with.
    const double span = draft.value(u"Span").toDouble();
    for (const auto& [base, percent] : percents) draft.set(base, Variant(float(span * percent / 100.0)));
}

void PointWriter::checkPoint(Draft& draft) {
    const QString kind = m_server.ServerKind();
    const QString tag = draft.value(u"Tag").toString();
    if (const QString problem = tagProblem(tag); !problem.isEmpty()) {
        refuse(draft, QStringLiteral("Tag"), problem);
    } else if (const QString invisible = invisibleTagProblem(tag);
               !invisible.isEmpty() &&
               (draft.pointId == 0 || draft.written[size_t(draft.indexOf(QStringLiteral("Tag")))])) {
        // Only a new or renamed tag: a point stored before this rule can still be edited.
        refuse(draft, QStringLiteral("Tag"), invisible);
    } else if (const auto existing = m_server.findPoint(tag); existing && existing->id != draft.pointId) {
        refuse(draft, QStringLiteral("Tag"),
               QStringLiteral("a point with the tag \"%1\" already exists").arg(existing->tag));
    }
    if (draft.stopped()) return;

    const SdkPointType type = draft.value(u"PointType").toInt32();
    const bool knownType = kind == u"VQ2" ? (type == pointtype::Int16 || type == pointtype::Float16 ||
                                             type == pointtype::Float32 || type == pointtype::Digital)
                                          : !pointtype::name(type).isEmpty();
    if (!knownType)
        refuse(draft, QStringLiteral("PointType"),
               QStringLiteral("%1 is not a point type of this server").arg(type));
    if (pointtype::isNumeric(type) && draft.value(u"Span").toDouble() == 0)
        refuse(draft, QStringLiteral("Span"), QStringLiteral("the span of a numeric point cannot be zero"));
    if (draft.stopped()) return;

    if (draft.indexOf(QStringLiteral("DigitalSet")) >= 0) {
        const QString set = draft.value(u"DigitalSet").toString().trimmed();
        if (!set.isEmpty() && !m_server.isDigitalSet(set))
            refuse(draft, QStringLiteral("DigitalSet"),
                   QStringLiteral("there is no digital state set \"%1\"").arg(set));
        else if (set.isEmpty() && type == pointtype::Digital)
            refuse(draft, QStringLiteral("DigitalSet"),
                   QStringLiteral("a digital point needs a digital state set"));
    }
    for (const char16_t* name : {u"DataAccess", u"PtAccess"}) {
        if (draft.indexOf(QString::fromUtf16(name)) < 0) continue;
        if (!SecurityString::parse(draft.value(name).toString()))
            refuse(draft, QString::fromUtf16(name),
                   QStringLiteral("%1 is not an access string such as \"o:rw g:r w:r\"")
                       .arg(quotedValue(draft.value(name))));
    }
    const QStringList users = m_server.Users();
    const QStringList groups = m_server.Groups();
    for (const char16_t* name : {u"DataOwner", u"PtOwner"}) {
        if (draft.indexOf(QString::fromUtf16(name)) >= 0 &&
            !users.contains(draft.value(name).toString(), Qt::CaseInsensitive))
            refuse(draft, QString::fromUtf16(name),
                   QStringLiteral("there is no user %1").arg(quotedValue(draft.value(name))));
    }
    // A blank group means "no group" (a creator in no group leaves it blank): only owner and world
    // rights apply then.
    for (const char16_t* name : {u"DataGroup", u"PtGroup"}) {
        const QString group = draft.value(name).toString();
        if (draft.indexOf(QString::fromUtf16(name)) >= 0 && !group.trimmed().isEmpty() &&
            !groups.contains(group, Qt::CaseInsensitive))
            refuse(draft, QString::fromUtf16(name),
                   QStringLiteral("there is no group %1").arg(quotedValue(draft.value(name))));
    }
}

// The writer needs write rights under the point's access string as it stands before the edit.
void PointWriter::checkAccess(Draft& draft, const SdkNamedValues& edits) {
    const QString user = m_server.UserName();
    if (user.compare(u"vqadmin", Qt::CaseInsensitive) == 0) return;
    if (draft.indexOf(QStringLiteral("PtAccess")) < 0) return;  // archives without point security
    const auto access = SecurityString::parse(draft.value(u"PtAccess").toString());
    const bool owns = draft.value(u"PtOwner").toString().compare(user, Qt::CaseInsensitive) == 0;
    const auto inGroup = [&] {
        return m_server.groupsOf(user).contains(draft.value(u"PtGroup").toString(), Qt::CaseInsensitive);
    };
    if (access && access->rightsOf(owns, inGroup).write) return;
    const QString reason = QStringLiteral("the user \"%1\" has no write access to this point (PtAccess %2)")
                               .arg(user, quotedValue(draft.value(u"PtAccess")));
    for (const SdkNamedValue& edit : edits) refuse(draft, edit.Name(), reason);
}

void PointWriter::raiseRefusal(const Draft& draft, const QString& what, const SdkNamedValues& failed) {
    QStringList reasons;
    for (const SdkNamedValue& pair : failed)
        reasons.append(pair.Name() + QStringLiteral(": ") + pair.Value().toString());
    m_server.raise(sdkerr::AttributesRefused,
                   QStringLiteral("The point \"%1\" was not %2: %3")
                       .arg(ShownText::of(draft.tag), what, reasons.join(QStringLiteral("; "))));
}

ArchivePointHeader PointWriter::create(const QString& tag, const QString& className, SdkPointType pointType,
                                       const SdkNamedValues& attributes, SdkNamedValues& failed) {
    failed.Clear();  // a caller may reuse the set of an earlier refusal
    m_server.requireConnection(QStringLiteral("create points"));
    const ArchiveClassInfo* info = m_server.classByName(className);
    if (!info) {
        m_server.raise(sdkerr::ClassUnknown,
                       QStringLiteral("The point class \"%1\" does not exist on server \"%2\"")
                           .arg(className, m_server.Name()));
    }
    // Checked and stored under one write lock, so no other writer slips in between.
    m_server.joinWriteBatch();
    const auto write = m_server.storage().beginWrite();
    ArchiveChangeRecorder::PointWrite recorded(m_server);
    Draft draft;
    draft.info = info;
    draft.failed = &failed;
    draft.tag = tag;
    for (const AttributeDef& def : info->attributes) draft.values.push_back(def.defaultValue);
    draft.written.assign(info->attributes.size(), true);
    draft.set(QStringLiteral("Tag"), Variant(tag));
    draft.set(QStringLiteral("PointType"), Variant(int32_t(pointType)));
    applyEdits(draft, editsBesideArguments(draft, attributes, pointType));
    stampCreation(draft);
    checkPoint(draft);
    if (failed.Count() > 0) raiseRefusal(draft, QStringLiteral("created"), failed);
    const qint64 id = m_server.storage().insertPoint(*info, foldKey(tag), storedValues(draft));
    ArchiveChangeRecorder::recordWrite(
        m_server, "create", id, tag, *info, {}, draft.values,
        ArchiveChangeRecorder::givenAttributes(*info, draft.values, attributes));
    write->commit();
    recorded.keep();
    return ArchivePointHeader{id, tag, info->id, pointType};
}

// The tag, type and class given as arguments win; the same names in the set must agree, or the
// stored attribute would contradict the tag key and the point object handed back.
SdkNamedValues PointWriter::editsBesideArguments(Draft& draft, const SdkNamedValues& attributes,
                                                 SdkPointType pointType) {
    SdkNamedValues edits;
    for (const SdkNamedValue& pair : attributes) {
        if (isNamed(pair.Name(), u"Tag")) {
            if (pair.Value().toString() != draft.tag)
                refuse(draft, QStringLiteral("Tag"),
                       QStringLiteral("%1 differs from the tag \"%2\" the point is created with")
                           .arg(quotedValue(pair.Value()), draft.tag));
        } else if (isNamed(pair.Name(), u"PointType")) {
            if (!pair.Value().isNumeric() || pair.Value().toInt32() != pointType)
                refuse(draft, QStringLiteral("PointType"),
                       QStringLiteral("%1 differs from the point type %2 the point is created with")
                           .arg(quotedValue(pair.Value()))
                           .arg(pointType));
        } else if (!isNamed(pair.Name(), u"PtClassName") ||
                   pair.Value().toString().compare(draft.info->name, Qt::CaseInsensitive) != 0) {
            edits.Add(pair.Name(), pair.Value());
        }
    }
    return edits;
}

// A new point belongs to its creator unless the set says otherwise; the audit fields are the
// archive's own.
void PointWriter::stampCreation(Draft& draft) {
    const QString user = m_server.UserName();
    const QStringList userGroups = m_server.groupsOf(user);
    for (const char16_t* owner : {u"PtOwner", u"DataOwner"})
        if (draft.value(owner).toString().trimmed().isEmpty())
            draft.set(QString::fromUtf16(owner), Variant(user));
    for (const char16_t* group : {u"PtGroup", u"DataGroup"})
        if (draft.value(group).toString().trimmed().isEmpty() && !userGroups.isEmpty())
            draft.set(QString::fromUtf16(group), Variant(userGroups.front()));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const char16_t* name : {u"CreationDate", u"ChangeDate"})
        draft.set(QString::fromUtf16(name), Variant(now));
    for (const char16_t* name : {u"Creator", u"Changer"}) draft.set(QString::fromUtf16(name), Variant(user));
}

std::vector<ArchiveStoredValue> PointWriter::storedValues(const Draft& draft) {
    std::vector<ArchiveStoredValue> stored;
    for (const int i : draft.storedAttributes())
        stored.push_back({&draft.info->attributes[size_t(i)], &draft.values[size_t(i)]});
    return stored;
}

void PointWriter::update(ArchivePointHeader& header, const SdkNamedValues& edits, bool stopOnFirstError,
                         SdkNamedValues& failed, std::vector<Variant>* seen) {
    failed.Clear();  // a caller may reuse the set of an earlier refusal
    m_server.requireConnection(QStringLiteral("write point attributes"));
    // Read, checked and written under one write lock: checks never run on a point that another
    // writer is changing, and an edit set is stored whole.
    m_server.joinWriteBatch();
    const auto write = m_server.storage().beginWrite();
    ArchiveChangeRecorder::PointWrite recorded(m_server);
    header = m_server.pointHeader(header.id);
    Draft draft;
    draft.info = m_server.classById(header.classId);
    draft.pointId = header.id;
    draft.failed = &failed;
    draft.stopOnFirstError = stopOnFirstError;
    draft.tag = header.tag;
    draft.values = m_server.readAttributes(header);
    const std::vector<Variant> before = draft.values;
    draft.written.assign(draft.values.size(), false);
    if (seen && !seen->empty() && *seen != draft.values) raiseChangedSinceRead(draft);

    checkAccess(draft, edits);
    if (!draft.stopped() && failed.Count() == 0) applyEdits(draft, edits);
    if (!draft.stopped()) checkPoint(draft);
    if (failed.Count() > 0) raiseRefusal(draft, QStringLiteral("changed"), failed);

    draft.set(QStringLiteral("ChangeDate"), Variant(QDateTime::currentDateTimeUtc()));
    draft.set(QStringLiteral("Changer"), Variant(m_server.UserName()));
    m_server.storage().updatePoint(draft.pointId, foldKey(draft.value(u"Tag").toString()),
                                   storedValues(draft));
    ArchiveChangeRecorder::recordWrite(m_server, "edit", draft.pointId, draft.value(u"Tag").toString(),
                                       *draft.info, before, draft.values,
                                       ArchiveChangeRecorder::recordedAttributes(*draft.info));
    // Read back within the write, so no other writer's change can slip into what counts as seen.
    if (seen) *seen = m_server.readAttributes(header);
    write->commit();
    recorded.keep();
    header.tag = draft.value(u"Tag").toString();
    header.pointType = draft.value(u"PointType").toInt32();
}

void PointWriter::raiseChangedSinceRead(const Draft& draft) const {
    const QString changer = draft.value(u"Changer").toString();
    m_server.raise(
        sdkerr::PointChanged,
        QStringLiteral("The point \"%1\" was changed by %2 at %3 after it was read here; nothing was "
                       "saved. Read it again, or read it and save the edits over the newer point")
            .arg(draft.tag, changer.isEmpty() ? QStringLiteral("another program") : changer,
                 draft.value(u"ChangeDate").toString()));
}

}  // namespace vq

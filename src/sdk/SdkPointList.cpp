#include "SdkPointList.h"

#include "SdkErrors.h"
#include "SdkPoint.h"
#include "SdkServer.h"
#include "core/KeyedCollection.h"

#include <limits>

namespace vq {

namespace {

const QString listSource = QStringLiteral("VQSDK.PointList");

inline char16_t foldChar(char16_t c) {
    if (c < 128) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return QChar(c).toCaseFolded().unicode();
}

uint64_t hashKey(uint16_t serverIndex, QStringView tag) {
    uint64_t hash = 1469598103934665603ULL ^ serverIndex;
    for (QChar c : tag) {
        hash ^= foldChar(c.unicode());
        hash *= 1099511628211ULL;
    }
    return hash ^ (hash >> 29);
}

// Splits "\\server\tag"; false when the text is no path.
bool splitPath(const QString& path, QStringView* server, QStringView* tag) {
    if (!path.startsWith(QStringLiteral("\\\\"))) return false;
    const qsizetype slash = path.indexOf(u'\\', 2);
    if (slash < 0) return false;
    *server = QStringView(path).mid(2, slash - 2);
    *tag = QStringView(path).mid(slash + 1);
    return !server->isEmpty() && !tag->isEmpty();
}

}  // namespace

QString SdkPointList::Path(const QString& serverName, const QString& tag) {
    return QStringLiteral("\\\\") + serverName + u'\\' + tag;
}

const SdkPointList::Entry& SdkPointList::entryAt(int position) const {
    if (position < 1 || position > Count()) throwPositionOutOfRange(position, Count());
    return m_entries[size_t(position - 1)];
}

QStringView SdkPointList::tagOf(const Entry& entry) const {
    return QStringView(m_tags.data() + entry.tagOffset, entry.tagLength);
}

SdkPointPtr SdkPointList::Item(int position) const {
    const Entry& entry = entryAt(position);
    return m_servers[entry.serverIndex]->PointFromHandle(entry.pointId, tagOf(entry).toString());
}

SdkPointPtr SdkPointList::Item(const QString& path) const {
    const int index = find(path);
    if (index < 0) {
        throw Error(sdkerr::PointUnknown, listSource,
                    QStringLiteral("The point list holds no point with the path \"%1\"").arg(path));
    }
    return Item(index + 1);
}

QString SdkPointList::Tag(int position) const {
    return tagOf(entryAt(position)).toString();
}
QString SdkPointList::ServerName(int position) const {
    return m_servers[entryAt(position).serverIndex]->Name();
}
SdkServerPtr SdkPointList::Server(int position) const {
    return m_servers[entryAt(position).serverIndex];
}
qint64 SdkPointList::PointId(int position) const {
    return entryAt(position).pointId;
}

void SdkPointList::Add(const SdkPointPtr& point) {
    if (!point) throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("No point to add"));
    AddHandle(point->Server(), point->PointID(), point->Name());
}

// Whole lists are copied in bulk: servers mapped once, tags and entries moved as blocks.
void SdkPointList::Append(const SdkPointList& other) {
    if (&other == this) {
        const SdkPointList copy = other;
        Append(copy);
        return;
    }
    if (m_tags.size() + other.m_tags.size() > std::numeric_limits<uint32_t>::max())
        throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("The point list is full"));
    std::vector<uint16_t> servers;
    servers.reserve(other.m_servers.size());
    for (const SdkServerPtr& server : other.m_servers) servers.push_back(serverIndexOf(server));
    const auto base = uint32_t(m_tags.size());
    m_tags.insert(m_tags.end(), other.m_tags.begin(), other.m_tags.end());
    m_entries.reserve(m_entries.size() + other.m_entries.size());
    for (Entry entry : other.m_entries) {
        entry.tagOffset += base;
        entry.serverIndex = servers[entry.serverIndex];
        m_entries.push_back(entry);
    }
    if (!m_pathIndex.empty()) rebuildPathIndex();
}

void SdkPointList::AddItem(const SdkPointList& other, int position) {
    const Entry entry = other.entryAt(position);
    // Adding to itself may move the tag text the view points into.
    const QString ownTag = &other == this ? tagOf(entry).toString() : QString();
    AddHandle(other.m_servers[entry.serverIndex], entry.pointId,
              &other == this ? ownTag : other.tagOf(entry));
}

void SdkPointList::AddHandle(const SdkServerPtr& server, qint64 pointId, QStringView tag) {
    if (!server) throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("A point without a server"));
    if (tag.size() > std::numeric_limits<uint16_t>::max() ||
        m_tags.size() + size_t(tag.size()) > std::numeric_limits<uint32_t>::max()) {
        throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("The point list is full"));
    }
    const uint16_t serverIndex = serverIndexOf(server);
    const auto offset = uint32_t(m_tags.size());
    m_tags.insert(m_tags.end(), tag.utf16(), tag.utf16() + tag.size());
    m_entries.push_back({pointId, offset, uint16_t(tag.size()), serverIndex});
    if (!m_pathIndex.empty()) {
        if ((m_entries.size() + 1) * 2 > m_pathIndex.size())
            rebuildPathIndex();
        else
            indexEntry(uint32_t(m_entries.size() - 1));
    }
}

void SdkPointList::Reserve(int count, int tagCharacters) {
    m_entries.reserve(size_t(count));
    m_tags.reserve(size_t(tagCharacters));
}

void SdkPointList::Squeeze() {
    m_entries.shrink_to_fit();
    m_tags.shrink_to_fit();
}

size_t SdkPointList::MemoryUsage() const {
    return sizeof(*this) + m_entries.capacity() * sizeof(Entry) + m_tags.capacity() * sizeof(char16_t) +
           m_servers.capacity() * sizeof(SdkServerPtr) + m_pathIndex.capacity() * sizeof(uint32_t);
}

uint16_t SdkPointList::serverIndexOf(const SdkServerPtr& server) {
    for (size_t i = 0; i < m_servers.size(); ++i)
        if (m_servers[i] == server) return uint16_t(i);
    if (m_servers.size() >= std::numeric_limits<uint16_t>::max())
        throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("Too many servers in one point list"));
    m_servers.push_back(server);
    return uint16_t(m_servers.size() - 1);
}

int SdkPointList::find(const QString& path) const {
    QStringView serverName, tag;
    if (!splitPath(path, &serverName, &tag)) {
        throw Error(sdkerr::PathInvalid, listSource,
                    QStringLiteral("\"%1\" is not a point path of the form \\\\server\\tag").arg(path));
    }
    if (m_entries.empty()) return -1;
    if (m_pathIndex.empty()) rebuildPathIndex();
    const size_t mask = m_pathIndex.size() - 1;
    // Several server objects may carry one name; the first point in list order wins across them.
    int found = -1;
    for (size_t s = 0; s < m_servers.size(); ++s) {
        if (QStringView(m_servers[s]->Name()).compare(serverName, Qt::CaseInsensitive) != 0) continue;
        for (size_t slot = hashKey(uint16_t(s), tag) & mask; m_pathIndex[slot] != 0;
             slot = (slot + 1) & mask) {
            const Entry& entry = m_entries[m_pathIndex[slot] - 1];
            if (entry.serverIndex == s && tagOf(entry).compare(tag, Qt::CaseInsensitive) == 0) {
                const int index = int(m_pathIndex[slot] - 1);
                if (found < 0 || index < found) found = index;
                break;
            }
        }
    }
    return found;
}

void SdkPointList::indexEntry(uint32_t index) const {
    const Entry& entry = m_entries[index];
    const size_t mask = m_pathIndex.size() - 1;
    size_t slot = hashKey(entry.serverIndex, tagOf(entry)) & mask;
    for (; m_pathIndex[slot] != 0; slot = (slot + 1) & mask) {
        const Entry& other = m_entries[m_pathIndex[slot] - 1];
        // The first of two equal paths stays the one found.
        if (other.serverIndex == entry.serverIndex &&
            tagOf(other).compare(tagOf(entry), Qt::CaseInsensitive) == 0)
            return;
    }
    m_pathIndex[slot] = index + 1;
}

void SdkPointList::rebuildPathIndex() const {
    size_t size = 16;
    while (size < m_entries.size() * 2 + 2) size *= 2;
    m_pathIndex.assign(size, 0);
    for (uint32_t i = 0; i < m_entries.size(); ++i) indexEntry(i);
}

}  // namespace vq

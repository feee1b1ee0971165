#include "SdkPointList.h"

#include "SdkErrors.h"
#include "SdkPoint.h"
#include "SdkServer.h"
#include "core/KeyedCollection.h"

#include <algorithm>
#include <limits>
#include <utility>

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

SdkPointList::Slot SdkPointList::entryAt(int position) const {
    if (position < 1 || position > Count()) throwPositionOutOfRange(position, Count());
    return slotAt(size_t(position - 1));
}

SdkPointList::Slot SdkPointList::slotAt(size_t index) const {
    auto block = m_blocks.begin();
    if (m_blocks.size() > 1) {
        block = std::prev(std::upper_bound(m_blocks.begin(), m_blocks.end(), index,
                                           [](size_t i, const Block& b) { return i < b.first; }));
    }
    return {block->entries[index - block->first], *block};
}

SdkPointList::Block& SdkPointList::lastBlock() {
    if (m_blocks.empty()) m_blocks.emplace_back();
    return m_blocks.back();
}

SdkPointPtr SdkPointList::Item(int position) const {
    const Slot slot = entryAt(position);
    return m_servers[slot.entry.serverIndex]->PointFromHandle(slot.entry.pointId, slot.tag().toString());
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
    return entryAt(position).tag().toString();
}
QString SdkPointList::ServerName(int position) const {
    return m_servers[entryAt(position).entry.serverIndex]->Name();
}
SdkServerPtr SdkPointList::Server(int position) const {
    return m_servers[entryAt(position).entry.serverIndex];
}
qint64 SdkPointList::PointId(int position) const {
    return entryAt(position).entry.pointId;
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
    size_t tags = m_blocks.empty() ? 0 : m_blocks.back().tags.size();
    for (const Block& block : other.m_blocks) tags += block.tags.size();
    if (tags > std::numeric_limits<uint32_t>::max())
        throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("The point list is full"));
    const std::vector<uint16_t> servers = serverIndicesOf(other);
    for (const Block& block : other.m_blocks) appendCopy(block, servers);
    if (!m_pathIndex.empty()) rebuildPathIndex();
}

// The other list's blocks become ours as they are: growing one block to hold a second list of a
// million points would copy both and touch every page anew.
void SdkPointList::Append(SdkPointList&& other) {
    if (&other == this) {
        Append(std::as_const(other));
        return;
    }
    const std::vector<uint16_t> servers = serverIndicesOf(other);
    if (m_count == 0) m_blocks.clear();
    for (Block& block : other.m_blocks) {
        if (block.entries.empty()) continue;
        for (Entry& entry : block.entries) entry.serverIndex = servers[entry.serverIndex];
        block.first = m_count;
        m_count += block.entries.size();
        m_blocks.push_back(std::move(block));
    }
    other = SdkPointList();
    if (!m_pathIndex.empty()) rebuildPathIndex();
}

std::vector<uint16_t> SdkPointList::serverIndicesOf(const SdkPointList& other) {
    std::vector<uint16_t> servers;
    servers.reserve(other.m_servers.size());
    for (const SdkServerPtr& server : other.m_servers) servers.push_back(serverIndexOf(server));
    return servers;
}

void SdkPointList::appendCopy(const Block& block, const std::vector<uint16_t>& servers) {
    Block& to = lastBlock();
    const auto base = uint32_t(to.tags.size());
    to.tags.insert(to.tags.end(), block.tags.begin(), block.tags.end());
    to.entries.reserve(to.entries.size() + block.entries.size());
    for (Entry entry : block.entries) {
        entry.tagOffset += base;
        entry.serverIndex = servers[entry.serverIndex];
        to.entries.push_back(entry);
    }
    m_count += block.entries.size();
}

void SdkPointList::AddItem(const SdkPointList& other, int position) {
    const Slot slot = other.entryAt(position);
    // Adding to itself may move the tag text the view points into.
    const QString ownTag = &other == this ? slot.tag().toString() : QString();
    AddHandle(other.m_servers[slot.entry.serverIndex], slot.entry.pointId,
              &other == this ? ownTag : slot.tag());
}

void SdkPointList::AddHandle(const SdkServerPtr& server, qint64 pointId, QStringView tag) {
    if (!server) throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("A point without a server"));
    Block& block = lastBlock();
    if (tag.size() > std::numeric_limits<uint16_t>::max() ||
        block.tags.size() + size_t(tag.size()) > std::numeric_limits<uint32_t>::max()) {
        throw Error(sdkerr::PointUnknown, listSource, QStringLiteral("The point list is full"));
    }
    const uint16_t serverIndex = serverIndexOf(server);
    const auto offset = uint32_t(block.tags.size());
    block.tags.insert(block.tags.end(), tag.utf16(), tag.utf16() + tag.size());
    block.entries.push_back({pointId, offset, uint16_t(tag.size()), serverIndex});
    ++m_count;
    if (!m_pathIndex.empty()) {
        if ((m_count + 1) * 2 > m_pathIndex.size())
            rebuildPathIndex();
        else
            indexEntry(m_count - 1, {block.entries.back(), block});
    }
}

// The room is made in the last block, less what the blocks before it hold.
void SdkPointList::Reserve(int count, int tagCharacters) {
    Block& block = lastBlock();
    size_t earlierTags = 0;
    for (const Block& earlier : m_blocks) earlierTags += &earlier == &block ? 0 : earlier.tags.size();
    block.entries.reserve(size_t(std::max<qint64>(0, qint64(count) - qint64(block.first))));
    block.tags.reserve(size_t(std::max<qint64>(0, qint64(tagCharacters) - qint64(earlierTags))));
}

void SdkPointList::Squeeze() {
    for (Block& block : m_blocks) {
        block.entries.shrink_to_fit();
        block.tags.shrink_to_fit();
    }
}

size_t SdkPointList::MemoryUsage() const {
    size_t bytes = sizeof(*this) + m_blocks.capacity() * sizeof(Block) +
                   m_servers.capacity() * sizeof(SdkServerPtr) + m_pathIndex.capacity() * sizeof(uint32_t);
    for (const Block& block : m_blocks)
        bytes += block.entries.capacity() * sizeof(Entry) + block.tags.capacity() * sizeof(char16_t);
    return bytes;
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
    if (m_count == 0) return -1;
    if (m_pathIndex.empty()) rebuildPathIndex();
    const size_t mask = m_pathIndex.size() - 1;
    // Several server objects may carry one name; the first point in list order wins across them.
    int found = -1;
    for (size_t s = 0; s < m_servers.size(); ++s) {
        if (QStringView(m_servers[s]->Name()).compare(serverName, Qt::CaseInsensitive) != 0) continue;
        for (size_t at = hashKey(uint16_t(s), tag) & mask; m_pathIndex[at] != 0; at = (at + 1) & mask) {
            const Slot slot = slotAt(m_pathIndex[at] - 1);
            if (slot.entry.serverIndex == s && slot.tag().compare(tag, Qt::CaseInsensitive) == 0) {
                const int index = int(m_pathIndex[at] - 1);
                if (found < 0 || index < found) found = index;
                break;
            }
        }
    }
    return found;
}

void SdkPointList::indexEntry(size_t index, const Slot& slot) const {
    const size_t mask = m_pathIndex.size() - 1;
    size_t at = hashKey(slot.entry.serverIndex, slot.tag()) & mask;
    for (; m_pathIndex[at] != 0; at = (at + 1) & mask) {
        const Slot other = slotAt(m_pathIndex[at] - 1);
        // The first of two equal paths stays the one found.
        if (other.entry.serverIndex == slot.entry.serverIndex &&
            other.tag().compare(slot.tag(), Qt::CaseInsensitive) == 0)
            return;
    }
    m_pathIndex[at] = uint32_t(index + 1);
}

void SdkPointList::rebuildPathIndex() const {
    size_t size = 16;
    while (size < m_count * 2 + 2) size *= 2;
    m_pathIndex.assign(size, 0);
    for (const Block& block : m_blocks)
        for (size_t i = 0; i < block.entries.size(); ++i)
            indexEntry(block.first + i, {block.entries[i], block});
}

}  // namespace vq

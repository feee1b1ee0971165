#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace vq {

/// An ordered list of points, possibly from several servers. Points are held as compact handles
/// (server, point id, tag) and made into SdkPoint objects only when an item is asked for, so a
/// list of a million points stays small. Positions count from 1; duplicates are allowed.
class VQ_SDK_EXPORT SdkPointList {
public:
    /// An empty list, shared as the server library hands lists around.
    static SdkPointListPtr create() { return std::make_shared<SdkPointList>(); }

    /// The number of points, duplicates included.
    int Count() const { return int(m_count); }
    /// The point at `position`, counted from 1, made from its handle; out of range raises error 9.
    SdkPointPtr Item(int position) const;
    /// The point with the path "\\server\tag" (server and tag compared without regard to case);
    /// the first one when the list holds it twice. An unknown path raises.
    SdkPointPtr Item(const QString& path) const;
    /// Appends `point`; a null point raises.
    void Add(const SdkPointPtr& point);
    /// Appends every point of `other` in its order, without making point objects.
    void Append(const SdkPointList& other);
    /// Appends every point of `other` in its order by taking its storage over, without copying
    /// the points; `other` is left empty.
    void Append(SdkPointList&& other);

    /// @{
    /// Reads that need no point object: for drawing list rows.
    QString Tag(int position) const;
    QString ServerName(int position) const;
    SdkServerPtr Server(int position) const;
    qint64 PointId(int position) const;
    /// @}
    /// True when the list holds the point with the path "\\server\tag".
    bool Contains(const QString& path) const { return find(path) >= 0; }
    /// The position of the point with that path, as Item(path) finds it; 0 when absent.
    int Position(const QString& path) const { return find(path) + 1; }
    /// Appends the point at `position` of `other` without making a point object.
    void AddItem(const SdkPointList& other, int position);

    /// How servers hand their answers over without making point objects.
    void AddHandle(const SdkServerPtr& server, qint64 pointId, QStringView tag);
    /// Makes room for `count` points whose tags have `tagCharacters` characters in all.
    void Reserve(int count, int tagCharacters);
    /// Gives back the room that adding handles one at a time left spare.
    void Squeeze();
    /// Bytes held by the list, for the memory benchmark.
    size_t MemoryUsage() const;

    /// The path of a point as lists and messages show it: "\\server\tag".
    static QString Path(const QString& serverName, const QString& tag);

    /// Walks the list in order, making each point object as it is reached.
    class const_iterator {
    public:
        /// At `position` (from 1) of `list`.
        const_iterator(const SdkPointList* list, int position) : m_list(list), m_position(position) {}
        /// The point here, made from its handle.
        SdkPointPtr operator*() const { return m_list->Item(m_position); }
        /// On to the next position.
        const_iterator& operator++() {
            ++m_position;
            return *this;
        }
        /// True while the two are at different positions.
        bool operator!=(const const_iterator& other) const { return m_position != other.m_position; }

    private:
        const SdkPointList* m_list;
        int m_position;
    };
    /// At the first point.
    const_iterator begin() const { return {this, 1}; }
    /// Past the last point.
    const_iterator end() const { return {this, Count() + 1}; }

private:
    struct Entry {
        qint64 pointId;
        uint32_t tagOffset;  // into the tags of its block
        uint16_t tagLength;
        uint16_t serverIndex;
    };
    // Points stored together. Handles go into the last block; a list taken over by a move keeps
    // its blocks, so that appending a large answer copies nothing.
    struct Block {
        size_t first = 0;  // the zero-based index of its first point in the list
        std::vector<Entry> entries;
        std::vector<char16_t> tags;
    };
    // An entry with the block that holds its tag.
    struct Slot {
        const Entry& entry;
        const Block& block;
        QStringView tag() const { return QStringView(block.tags.data() + entry.tagOffset, entry.tagLength); }
    };

    Slot entryAt(int position) const;
    Slot slotAt(size_t index) const;
    Block& lastBlock();
    uint16_t serverIndexOf(const SdkServerPtr& server);
    std::vector<uint16_t> serverIndicesOf(const SdkPointList& other);
    void appendCopy(const Block& block, const std::vector<uint16_t>& servers);
    int find(const QString& path) const;  // zero-based, -1 when absent
    void indexEntry(size_t index, const Slot& slot) const;
    void rebuildPathIndex() const;

    std::vector<Block> m_blocks;
    size_t m_count = 0;
    std::vector<SdkServerPtr> m_servers;
    // Open-addressing table of entry index + 1 (0 is free), built on the first lookup by path.
    mutable std::vector<uint32_t> m_pathIndex;
    mutable size_t m_indexedCount = 0;
};

}  // namespace vq

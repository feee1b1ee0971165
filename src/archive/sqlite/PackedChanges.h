#pragma once

#include "archive/storage/ArchiveHistoryRecords.h"

#include <QByteArray>

#include <vector>

namespace vq {

// Attribute changes packed into one value, so that a change set, or one point's part of it, is
// one row rather than a row per attribute. Lengths and numbers are unsigned LEB128, texts UTF-8.
namespace PackedChanges {

// Every field of each change.
QByteArray pack(const std::vector<ArchiveAttributeChange>& changes);
// Attribute, before and after only: the row holds the point once.
QByteArray packAttributes(std::vector<ArchiveAttributeChange>::const_iterator begin,
                          std::vector<ArchiveAttributeChange>::const_iterator end);

// The changes `pack` wrote. Throws an Error naming `changeId` when the bytes are damaged.
std::vector<ArchiveAttributeChange> unpack(const QByteArray& bytes, qint64 changeId);
// Appends the changes `packAttributes` wrote, as changes of the point given.
void unpackAttributes(const QByteArray& bytes, qint64 changeId, qint64 pointId, const QString& tag,
                      std::vector<ArchiveAttributeChange>& into);

}  // namespace PackedChanges

}  // namespace vq

#include "archive/sqlite/PackedChanges.h"

#include "sdk/SdkErrors.h"

namespace vq::PackedChanges {

namespace {

void putNumber(QByteArray& bytes, quint64 value) {
    while (value >= 0x80) {
        bytes.append(char((value & 0x7f) | 0x80));
        value >>= 7;
    }
    bytes.append(char(value));
}

void putText(QByteArray& bytes, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    putNumber(bytes, quint64(utf8.size()));
    bytes.append(utf8);
}

void putAttribute(QByteArray& bytes, const ArchiveAttributeChange& change) {
    putText(bytes, change.attribute);
    putText(bytes, change.before);
    putText(bytes, change.after);
}

// Reads what the put functions wrote, refusing to read past the end.
class Reader {
public:
    Reader(const QByteArray& bytes, qint64 changeId) : m_bytes(bytes), m_changeId(changeId) {}

    quint64 number() {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_at >= m_bytes.size()) damaged();
            const auto byte = quint8(m_bytes[m_at++]);
            value |= quint64(byte & 0x7f) << shift;
            if (byte < 0x80) return value;
        }
        damaged();
    }
    QString text() {
        const quint64 size = number();
        if (size > quint64(m_bytes.size() - m_at)) damaged();
        const QString text = QString::fromUtf8(m_bytes.constData() + m_at, qsizetype(size));
        m_at += qsizetype(size);
        return text;
    }
    void attribute(ArchiveAttributeChange& change) {
        change.attribute = text();
        change.before = text();
        change.after = text();
    }
    // A count of entries, each at least one byte long.
    quint64 count() {
        const quint64 value = number();
        if (value > quint64(m_bytes.size() - m_at)) damaged();
        return value;
    }
    void finish() const {
        if (m_at != m_bytes.size()) damaged();
    }

private:
    [[noreturn]] void damaged() const {
        throw Error(sdkerr::StorageFailed, QStringLiteral("SqliteArchiveStorage:changeSets"),
                    QStringLiteral("The archive's change set %1 is damaged: its attribute changes "
                                   "cannot be read")
                        .arg(m_changeId));
    }

    const QByteArray& m_bytes;
    qint64 m_changeId;
    qsizetype m_at = 0;
};

}  // namespace

QByteArray pack(const std::vector<ArchiveAttributeChange>& changes) {
    QByteArray bytes;
    putNumber(bytes, changes.size());
    for (const ArchiveAttributeChange& change : changes) {
        putNumber(bytes, quint64(change.pointId));
        putText(bytes, change.tag);
        putAttribute(bytes, change);
    }
    return bytes;
}

QByteArray packAttributes(std::vector<ArchiveAttributeChange>::const_iterator begin,
                          std::vector<ArchiveAttributeChange>::const_iterator end) {
    QByteArray bytes;
    putNumber(bytes, quint64(end - begin));
    for (auto change = begin; change != end; ++change) putAttribute(bytes, *change);
    return bytes;
}

std::vector<ArchiveAttributeChange> unpack(const QByteArray& bytes, qint64 changeId) {
    Reader reader(bytes, changeId);
    std::vector<ArchiveAttributeChange> changes(reader.count());
    for (ArchiveAttributeChange& change : changes) {
        change.pointId = qint64(reader.number());
        change.tag = reader.text();
        reader.attribute(change);
    }
    reader.finish();
    return changes;
}

void unpackAttributes(const QByteArray& bytes, qint64 changeId, qint64 pointId, const QString& tag,
                      std::vector<ArchiveAttributeChange>& into) {
    Reader reader(bytes, changeId);
    for (quint64 left = reader.count(); left > 0; --left) {
        ArchiveAttributeChange& change = into.emplace_back();
        change.pointId = pointId;
        change.tag = tag;
        reader.attribute(change);
    }
    reader.finish();
}

}  // namespace vq::PackedChanges

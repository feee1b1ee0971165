#include "KeyedCollection.h"

namespace vq {

namespace {
const QString collectionSource = QStringLiteral("VQTagwrightCtls");
}

QString foldKey(const QString& key) {
    return key.toCaseFolded();
}

void throwAbsentKey(const QString& key) {
    throw Error(errc::InvalidArgument, collectionSource,
                QStringLiteral("Invalid procedure call or argument (no item with the key \"%1\")").arg(key));
}

void throwPositionOutOfRange(qsizetype position, qsizetype count) {
    throw Error(errc::SubscriptOutOfRange, collectionSource,
                QStringLiteral("Subscript out of range (position %1 of %2)").arg(position).arg(count));
}

void throwDuplicateKey(const QString& key) {
    throw Error(errc::DuplicateKey, collectionSource,
                QStringLiteral("This key is already associated with an element of this collection (\"%1\")")
                    .arg(key));
}

}  // namespace vq

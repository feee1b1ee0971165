#pragma once

#include <QByteArray>
#include <QString>

namespace vq {

// Salted, iterated SHA-256 password hashes for the archive's users.
class PasswordHash {
public:
    static QByteArray newSalt();
    static QByteArray hash(const QString& password, const QByteArray& salt);
    static bool verify(const QString& password, const QByteArray& salt, const QByteArray& expected);
};

}  // namespace vq

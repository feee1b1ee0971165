#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace vq {

// Password hashes of the archive's users. New hashes are Argon2id strings in libsodium's encoded
// form (algorithm, limits and salt included); an empty password is stored as an empty hash, as
// there is nothing to protect. Hashes of older archives (salted, iterated SHA-256 with the salt
// in its own column) still verify, and needsRehash() says when a log-on should replace them.
class PasswordHash {
public:
    struct Limits {
        unsigned long long operations;
        size_t memory;
    };
    // libsodium's interactive limits: 2 passes over 64 MiB.
    static Limits interactiveLimits();
    static Limits limits();
    // Lighter limits for test programs only; production code never calls this.
    static void setLimits(Limits limits);

    // The stored form of `password`: an Argon2id string, or empty for the empty password.
    static QByteArray hash(const QString& password);
    // Compares in constant time; `salt` is only used by the old SHA-256 form.
    static bool verify(const QString& password, const QByteArray& salt, const QByteArray& stored);
    // The old form, or Argon2id under other limits than the current ones.
    static bool needsRehash(const QByteArray& salt, const QByteArray& stored);
    // Spends the time of one verification, so that an unknown user name takes as long to refuse.
    static void verifyNothing(const QString& password);

    // The old form, for tests of the upgrade.
    static QByteArray legacyHash(const QString& password, const QByteArray& salt);
    static QByteArray newSalt();
};

}  // namespace vq

#include "archive/server/PasswordHash.h"

#include "core/Error.h"
#include "sdk/SdkErrors.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <sodium.h>

namespace vq {

namespace {

constexpr int kLegacyRounds = 4096;
const QByteArray argon2idPrefix = QByteArrayLiteral("$argon2id$");

PasswordHash::Limits& currentLimits() {
    static PasswordHash::Limits limits = PasswordHash::interactiveLimits();
    return limits;
}

void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw Error(sdkerr::StorageFailed, QStringLiteral("VQArchive"),
                    QStringLiteral("The password library (libsodium) could not start"));
}

bool isArgon2id(const QByteArray& stored) {
    return stored.startsWith(argon2idPrefix);
}

}  // namespace

PasswordHash::Limits PasswordHash::interactiveLimits() {
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

PasswordHash::Limits PasswordHash::limits() {
    return currentLimits();
}

void PasswordHash::setLimits(Limits limits) {
    currentLimits() = limits;
}

QByteArray PasswordHash::hash(const QString& password) {
    if (password.isEmpty()) return QByteArray("");
    ensureSodium();
    const QByteArray secret = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const Limits limits = currentLimits();
    if (crypto_pwhash_str_alg(out, secret.constData(), size_t(secret.size()), limits.operations,
                              limits.memory, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw Error(sdkerr::StorageFailed, QStringLiteral("VQArchive"),
                    QStringLiteral("Not enough memory to hash a password"));
    return QByteArray(out);
}

bool PasswordHash::verify(const QString& password, const QByteArray& salt, const QByteArray& stored) {
    if (stored.isEmpty()) return password.isEmpty();
    if (isArgon2id(stored)) {
        ensureSodium();
        const QByteArray secret = password.toUtf8();
        // libsodium wants the terminating zero inside the buffer it is given.
        const QByteArray encoded = stored.left(crypto_pwhash_STRBYTES - 1);
        return crypto_pwhash_str_verify(encoded.constData(), secret.constData(), size_t(secret.size())) == 0;
    }
    const QByteArray actual = legacyHash(password, salt);
    return actual.size() == stored.size() &&
           sodium_memcmp(actual.constData(), stored.constData(), size_t(actual.size())) == 0;
}

bool PasswordHash::needsRehash(const QByteArray& salt, const QByteArray& stored) {
    Q_UNUSED(salt);
    if (stored.isEmpty()) return false;
    if (!isArgon2id(stored)) return true;
    ensureSodium();
    const Limits limits = currentLimits();
    const QByteArray encoded = stored.left(crypto_pwhash_STRBYTES - 1);
    return crypto_pwhash_str_needs_rehash(encoded.constData(), limits.operations, limits.memory) != 0;
}

void PasswordHash::verifyNothing(const QString& password) {
    static const QByteArray decoy = hash(QStringLiteral("no such user"));
    verify(password, {}, decoy);
}

QByteArray PasswordHash::newSalt() {
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(salt.data()),
                                         reinterpret_cast<quint32*>(salt.data() + salt.size()));
    return salt;
}

QByteArray PasswordHash::legacyHash(const QString& password, const QByteArray& salt) {
    const QByteArray secret = password.toUtf8();
    QByteArray digest = QCryptographicHash::hash(salt + secret, QCryptographicHash::Sha256);
    for (int i = 1; i < kLegacyRounds; ++i)
        digest = QCryptographicHash::hash(digest + salt + secret, QCryptographicHash::Sha256);
    return digest;
}

}  // namespace vq

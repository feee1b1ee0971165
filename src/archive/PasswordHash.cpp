#include "PasswordHash.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace vq {

namespace {
// Enough rounds to make guessing costly, few enough that a log-on stays under a few milliseconds.
constexpr int kRounds = 4096;
}  // namespace

QByteArray PasswordHash::newSalt() {
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(salt.data()),
                                         reinterpret_cast<quint32*>(salt.data() + salt.size()));
    return salt;
}

QByteArray PasswordHash::hash(const QString& password, const QByteArray& salt) {
    const QByteArray secret = password.toUtf8();
    QByteArray digest = QCryptographicHash::hash(salt + secret, QCryptographicHash::Sha256);
    for (int i = 1; i < kRounds; ++i)
        digest = QCryptographicHash::hash(digest + salt + secret, QCryptographicHash::Sha256);
    return digest;
}

bool PasswordHash::verify(const QString& password, const QByteArray& salt, const QByteArray& expected) {
    const QByteArray actual = hash(password, salt);
    if (actual.size() != expected.size()) return false;
    // Compare every byte so the time taken says nothing about where a guess went wrong.
    unsigned char difference = 0;
    for (qsizetype i = 0; i < actual.size(); ++i) difference |= uchar(actual[i] ^ expected[i]);
    return difference == 0;
}

}  // namespace vq

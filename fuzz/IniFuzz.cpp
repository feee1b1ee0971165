// Feeds arbitrary files to the private-profile reader. A finding is a crash, an exception, or an
// answer that breaks the reader's promises: never more characters than the buffer holds, and the
// count it gives is the length of what it copied.
#include "platform/PrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

struct Fixture {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-fuzz-XXXXXX")};
    QString path = dir.filePath(QStringLiteral("FUZZ.INI"));
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fixture& f = fixture();
    QFile file(f.path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const char* keys[][2] = {{"VQPC", "VQHOME"}, {"vqpc", "vqhome"}, {"", ""}, {"A", "B"}};
    for (const auto& [section, key] : keys) {
        for (int buffer : {0, 1, 2, 81}) {
            QString returned;
            const int count =
                vq::GetPrivateProfileString(QString::fromLatin1(section), QString::fromLatin1(key),
                                            QStringLiteral("C:\\VQPC"), returned, buffer, f.path);
            if (count < 0 || (buffer > 0 && count > buffer - 1) || (buffer < 1 && count != 0) ||
                returned.size() != count) {
                std::fprintf(stderr, "buffer %d gave %d characters: \"%s\"\n", buffer, count,
                             qPrintable(returned));
                std::abort();
            }
        }
    }
    return 0;
}

// Feeds arbitrary JSON to the property-bag reader. A finding is a crash, an exception other than
// the bag's own error, or a bag that does not read back as itself after being written.
#include "core/Error.h"
#include "platform/PropertyBag.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!document.isObject()) return 0;
    vq::PropertyBag bag;
    try {
        bag = vq::PropertyBag::fromJson(document.object());
    } catch (const vq::Error&) {
        return 0;  // a malformed entry is refused with its name
    }
    if (!(vq::PropertyBag::fromJson(bag.toJson()) == bag)) {
        std::fprintf(stderr, "the bag does not read back as itself\n");
        std::abort();
    }
    return 0;
}

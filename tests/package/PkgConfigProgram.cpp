// Built with only the flags pkg-config gives for the installed package: the static libraries
// must come in an order that links, with their own dependencies.
#include "archive/server/ArchiveApplication.h"
#include "core/Variant.h"
#include "sdk/SdkNamedValues.h"

#include <cstdio>

int main() {
    vq::SdkNamedValues values;
    values.Add(QStringLiteral("Span"), vq::Variant(int32_t(200)));
    vq::ArchiveApplication::install(QStringLiteral("unused-servers.json"));
    const bool ok = values.Item(QStringLiteral("span")).Value().toString() == QStringLiteral("200");
    std::printf("pkg-config program: %s\n", ok ? "ok" : "wrong value");
    return ok ? 0 : 1;
}

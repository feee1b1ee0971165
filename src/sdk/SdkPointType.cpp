#include "SdkPointType.h"

namespace vq::pointtype {

bool isNumeric(SdkPointType type) {
    return type == Int16 || type == Int32 || type == Float16 || type == Float32 || type == Float64;
}

QString name(SdkPointType type, bool vq2Names) {
    switch (type) {
        case Int16:
            return vq2Names ? QStringLiteral("Integer") : QStringLiteral("Int16");
        case Int32:
            return QStringLiteral("Int32");
        case Float16:
            return QStringLiteral("Float16");
        case Float32:
            return QStringLiteral("Float32");
        case Float64:
            return QStringLiteral("Float64");
        case Digital:
            return QStringLiteral("Digital");
        case Blob:
            return QStringLiteral("Blob");
        case String:
            return QStringLiteral("String");
        default:
            return {};
    }
}

}  // namespace vq::pointtype

#include "servers/ServerErrorText.h"

#include "core/Error.h"

namespace vq {

QString serverErrorText(const Error& error) {
    const QString number = QString::number(quint32(error.number()), 16).toUpper().rightJustified(8, u'0');
    return QStringLiteral("%1 (error 0x%2)").arg(error.description(), number);
}

}  // namespace vq

#include "editors/DeviationFormat.h"

#include <QLocale>

#include <cmath>

namespace vq {

namespace {

bool isAnyOf(const QString& name, std::initializer_list<const char16_t*> names) {
    for (const char16_t* candidate : names)
        if (name.compare(QStringView(candidate), Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

QString FormatDeviation(double x) {
    const QLocale locale;
    if ((x > 0 && x < 0.01) || x >= 1000) return locale.toString(x, 'E', 2);
    // A small negative value rounds to zero; it reads as zero, not as "-0.00".
    return locale.toString(std::round(x * 100) == 0 ? 0.0 : x, 'f', 2);
}

QString ConvertedDeviationText(const Variant& span, const Variant& deviation,
                               const QString& currentAttributeName) {
    if (!span.isNumeric() || !deviation.isNumeric()) return QStringLiteral("?");
    if (isAnyOf(currentAttributeName, {u"CompDevPercent", u"ExcDevPercent"}))
        return FormatDeviation(span.toDouble() * deviation.toDouble() / 100);
    if (isAnyOf(currentAttributeName, {u"CompDev", u"ExcDev"})) {
        if (span.toDouble() == 0) return QStringLiteral("Infinity");
        return FormatDeviation(100 * deviation.toDouble() / span.toDouble());
    }
    return QString();
}

}  // namespace vq

#pragma once

#include "core/Variant.h"
#include "enumPointMode.h"

#include <QStringList>

#include <optional>

namespace vq {

class SdkServer;

// What one attribute depends on and what depends on it.
struct AttributeDependencies {
    QString secondaryName;  // the twin name in per cent of span
    QStringList readOnlyDependents;
    QStringList valueAffectsValidationFor;
    QStringList coupledAttributes;
};

// The rules that single out attributes by name: twins, dependencies, display names, visibility,
// system attributes, read-only state and the placeholder values blanked on loading. Every other
// attribute gets the defaults.
class AttributeCatalog {
public:
    // "CompDevPercent" and "ExcDevPercent" are reached only through their twins.
    static bool isTwinName(const QString& name);
    // Null for an attribute nothing depends on.
    static const AttributeDependencies* dependencies(const QString& name);
    static QString defaultDisplayName(const QString& name);
    static bool isVisible(const QString& name);
    static bool isSystemAttribute(const QString& name);
    // `pointType` is the value of the PointType entry (Empty when there is none yet).
    static bool isReadOnly(const QString& name, enumPointMode mode, const Variant& pointType);
    // The value a loaded placeholder stands for, or nothing when `loaded` is no placeholder.
    static std::optional<Variant> placeholderReplacement(const QString& name, const Variant& loaded,
                                                         const SdkServer* server);
    // Point type 101, compared as text.
    static bool isDigital(const Variant& pointType);
};

}  // namespace vq

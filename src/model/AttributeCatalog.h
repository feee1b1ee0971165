#pragma once

#include "core/Variant.h"
#include "enumPointMode.h"

#include <QStringList>

#include <functional>
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

struct AttributeFacts;

// The rules that single out attributes by name: twins, dependencies, display names, visibility,
// system attributes, read-only state and the placeholder values blanked on loading. Every other
// attribute gets the defaults. An entry looks its attribute up once and asks about the facts found.
class AttributeCatalog {
public:
    // Null for an attribute no rule names.
    static const AttributeFacts* facts(const QString& name);
    // "CompDevPercent" and "ExcDevPercent" are reached only through their twins.
    static bool isTwinName(const AttributeFacts* facts);
    // Null for an attribute nothing depends on.
    static const AttributeDependencies* dependencies(const AttributeFacts* facts);
    static QString defaultDisplayName(const QString& name, const AttributeFacts* facts);
    // The attribute's row in the style table (-1 for none) and its rule category (null for none).
    static int styleRow(const AttributeFacts* facts);
    static const QString* ruleCategory(const AttributeFacts* facts);
    static bool isVisible(const AttributeFacts* facts);
    static bool isSystemAttribute(const AttributeFacts* facts);
    // False for an attribute that is never read-only for its own sake.
    static bool hasReadOnlyRule(const AttributeFacts* facts);
    // `pointType` gives the value of the PointType entry (Empty when there is none yet); it is
    // read only for attributes whose state depends on it.
    static bool isReadOnly(const AttributeFacts* facts, enumPointMode mode,
                           const std::function<Variant()>& pointType);
    // False for an attribute whose loaded values are never placeholders.
    static bool hasPlaceholder(const AttributeFacts* facts);
    // The value a loaded placeholder stands for, or nothing when `loaded` is no placeholder.
    static std::optional<Variant> placeholderReplacement(const AttributeFacts* facts, const Variant& loaded,
                                                         const SdkServer* server);
    // Point type 101, compared as text.
    static bool isDigital(const Variant& pointType);
};

}  // namespace vq

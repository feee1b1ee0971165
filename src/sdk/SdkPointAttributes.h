#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>

#include <functional>
#include <vector>

namespace vq {

class Variant;

/// An ordered collection of attributes: an attribute set of a point class (its defaults) or the
/// attributes of one point.
class VQ_SDK_EXPORT SdkPointAttributes {
public:
    virtual ~SdkPointAttributes() = default;

    /// The set's name ("base", "classic", ...); for a point's attributes, its class name.
    virtual QString Name() const = 0;
    /// The number of attributes.
    virtual int Count() = 0;
    /// An absent name raises.
    virtual SdkPointAttributePtr Item(const QString& name) = 0;
    /// Positions count from 1.
    virtual SdkPointAttributePtr Item(int position) = 0;
    /// True when the collection has an attribute of that name, without regard to case.
    virtual bool Contains(const QString& name) = 0;
    /// Every attribute, in order.
    virtual std::vector<SdkPointAttributePtr> All() = 0;
    /// Hands the name and value of every attribute, in order, to `visit`, without making an
    /// attribute object for each: for readers that go through every attribute of many points.
    virtual void ForEach(const std::function<void(const QString& name, const Variant& value)>& visit);

    /// Loads the values of every attribute (a point's values are otherwise loaded on first use).
    virtual void LoadAll() = 0;
    /// The loaded values as a name/value set in attribute order.
    virtual SdkNamedValuesPtr NamedValues() = 0;

    /// When set (the default) a write stops at the first refused attribute; when cleared every
    /// attribute is checked so that all refusals are reported at once.
    virtual void SetStopOnFirstError(bool stop) = 0;
    /// Writes an edit set as one transaction: either every attribute is stored or none. A refusal
    /// raises and fills `failed` with (attribute name, reason) pairs.
    virtual void SetAttributes(const SdkNamedValues& edits, SdkNamedValues& failed) = 0;
};

}  // namespace vq

#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>

#include <vector>

namespace vq {

/// The digital state sets of one server, in the server's order.
class VQ_SDK_EXPORT SdkDigitalStateSets {
public:
    /// How Search() combines its masks.
    enum Condition {
        And = 0,  ///< a set matches when every mask matches one of its states
        Or = 1    ///< a set matches when any mask matches one of its states
    };

    virtual ~SdkDigitalStateSets() = default;

    /// The number of sets.
    virtual int Count() const = 0;
    /// By name without regard to case; an unknown set raises.
    virtual SdkDigitalStateSetPtr Item(const QString& name) const = 0;
    /// True when the server has a set of that name, without regard to case.
    virtual bool Contains(const QString& name) const = 0;
    /// Every set, in the server's order.
    virtual std::vector<SdkDigitalStateSetPtr> All() const = 0;
    /// The sets whose state names match the masks (names of `masks`; "*" stands for any run of
    /// characters; letter case is ignored): every mask (And) or any mask (Or). The answer holds
    /// (set name, 0) pairs in the server's order.
    virtual SdkNamedValuesPtr Search(const SdkNamedValues& masks, int condition) const = 0;
};

}  // namespace vq

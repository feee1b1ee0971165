#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <functional>

namespace vq {

/// The process-wide entry point of the server library.
class VQ_SDK_EXPORT SdkApplication {
public:
    virtual ~SdkApplication() = default;

    /// The servers the library knows.
    virtual SdkServersPtr Servers() = 0;
    /// Takes a point after it was loaded or saved; the last one is kept.
    virtual void TakePoint(const SdkPointPtr& point) = 0;
    /// The point last handed to TakePoint(); null before the first.
    virtual SdkPointPtr LastPoint() const = 0;

    /// The application of this process, made on first use by the installed factory.
    static SdkApplicationPtr instance();
    /// Installs the server library's factory and returns the one it replaces; replaces the current
    /// application on the next use.
    static std::function<SdkApplicationPtr()> setFactory(std::function<SdkApplicationPtr()> factory);
    /// Drops the current application (the next instance() makes a new one).
    static void reset();
};

}  // namespace vq

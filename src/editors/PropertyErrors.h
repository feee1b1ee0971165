#pragma once

#include <QString>

#include <cstdint>

namespace vq {

// Errors a child control raises for a bad property value or argument; they reach the caller.
constexpr int32_t kInvalidPropertyValue = 380;
constexpr int32_t kInvalidProcedureCall = 5;

[[noreturn]] void raiseInvalidPropertyValue(const QString& source);
[[noreturn]] void raiseInvalidProcedureCall(const QString& source);

}  // namespace vq

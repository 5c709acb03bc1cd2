#pragma once

// The one exception of the checked services: a failure that ends a drawing or tracing routine where a
// handler catches it, instead of infinity or NaN flowing on.

#include <stdexcept>

namespace canvas {

/// Kind of a run-time failure, as the handlers distinguish them (they mostly only care that one happened).
enum class RuntimeErrorKind { Overflow, DivisionByZero, InvalidCall };

/// A run-time failure inside drawing or tracing; a handler catches it where the failure ends its routine.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(RuntimeErrorKind kind, const char* what) : std::runtime_error(what), kind_(kind) {}
    RuntimeErrorKind kind() const { return kind_; }

private:
    RuntimeErrorKind kind_;
};

} // namespace canvas

#pragma once

// What is left when an exception that is not one of the programs' run-time errors reaches the edge of a
// handler: the handler ends there (a window must not go down with it), but the fault is not swallowed. It
// is written to standard error with the program and the place, and counted, so that the exerciser fails
// on it.

#include <exception>

namespace canvas {

/// Writes "<program>: unexpected failure in <where>: <what>" to standard error and counts it.
void reportUnexpectedFailure(const char* where, const std::exception& failure);
/// The same for an exception that is no std::exception at all.
void reportUnexpectedFailure(const char* where);
/// How many were reported since the program started.
long unexpectedFailureCount();

} // namespace canvas

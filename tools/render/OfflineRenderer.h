#pragma once

#include "RenderOptions.h"

#include <ostream>

namespace torvanel::render
{
enum ExitCode
{
    success = 0,
    writeFailure = 1,
    usageError = 2,
    inputError = 3
};

// Runs the instrument offline for one command line: same processor, same block loop as in
// a host, faster than real time. Messages go to the two streams; returns the exit code.
int run (const RenderOptions& options, std::ostream& out, std::ostream& err);
} // namespace torvanel::render

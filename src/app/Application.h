#pragma once

#include "app/CommandLine.h"

namespace zento {

/// The whole program behind main(): the commands that need no window (--list, --add,
/// --delete) and the resident program with its windows.
int runListCommand();
int runAddCommand(const AddOptions& options);
int runDeleteCommand(std::int32_t id);
int runApplication(int& argc, char** argv);

} // namespace zento

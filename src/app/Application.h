#pragma once

#include "app/CommandLine.h"

namespace zento {

/// The whole program behind main(): the commands that need no window (--list, --add,
/// --delete) and the resident program with its windows. `request` is Run, or Show or NewAlert
/// for the desktop's actions (then in the running copy when there is one).
int runListCommand();
int runAddCommand(const AddOptions& options);
int runDeleteCommand(std::int32_t id);
int runExportCommand(const std::string& file);
int runImportCommand(const std::string& file, bool withActions);
int runApplication(int& argc, char** argv, CommandLine::Command request = CommandLine::Command::Run);

} // namespace zento

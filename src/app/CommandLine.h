#pragma once

#include "store/AlertTable.h"

#include <string>
#include <vector>

namespace zento {

/// What the command line asks for.
struct CommandLine {
    enum class Command { Run, Help, Version, List, Invalid };
    Command command = Command::Run;
    std::string error; ///< for Invalid: what was wrong
};

/// Parses the arguments after the program name (the toolkit's own options already removed).
CommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The text of `zento --help`.
std::string UsageText();

/// "Zento 2.0.0".
std::string VersionText();

/// The table as `zento --list` prints it: a header line, then one tab-separated line per alert
/// in table order; tab, CR, LF and backslash inside a value are written \t, \r, \n and \\.
std::string FormatAlertList(const AlertTable& table);

/// A value escaped for one tab-separated column.
std::string EscapeListValue(const std::string& value);

} // namespace zento

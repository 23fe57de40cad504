#pragma once

#include "store/AlertTable.h"
#include "store/Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

/// What `zento --add` was given; unset options take the defaults of a new alert.
struct AddOptions {
    std::optional<std::string> date;       ///< --date DD/MM/YYYY (today when unset)
    std::optional<std::string> time;       ///< --time HH:MM (all-day when unset)
    std::optional<std::string> recurrence; ///< --recurrence 0..8 or the French name
    std::optional<std::string> sound;      ///< --sound FILE (Defaut.wav when unset)
    bool noSound = false;                  ///< --no-sound
    bool loop = false;                     ///< --loop
    std::optional<std::string> action;     ///< --action TEXT
    std::optional<std::string> emoticon;   ///< --emoticon 0..15
    std::optional<std::string> colors;     ///< --colors BG,FG
    std::string message;                   ///< the remaining words, joined by blanks
};

/// What the command line asks for.
struct CommandLine {
    /// Show and NewAlert are the desktop entry's actions: the window, or the window on a new
    /// alert, in the running copy or in one started for it.
    enum class Command { Run, Help, Version, List, Add, Delete, Export, Import, Show, NewAlert, Invalid };
    Command command = Command::Run;
    AddOptions add;
    std::int32_t deleteId = 0;
    std::string file;         ///< for Export ("-": standard output) and Import
    bool withActions = false; ///< for Import: the file's actions come in too
    std::string error;        ///< for Invalid: what was wrong
};

/// Parses the arguments after the program name (the toolkit's own options already removed).
/// Options take their value as the next argument or after "=" (--date=12/01/2027); "--" ends
/// the options of --add, so that a message may start with "-".
CommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The recurrence code of a text: "0".."8", or a name of the recurrence list in any case
/// ("mensuel", "1 SEMAINE SUR 2"); nullopt otherwise.
std::optional<int> ParseRecurrenceOption(const std::string& text);

/// The new alert `--add` describes: `fresh` (a new alert with the defaults of new alerts) with
/// the options given, as typed; the alert service checks it when it stores it. An error only for
/// what is not an alert's value at all (colours that are not a pair).
Result<Alerte> BuildAddAlert(const AddOptions& options, Alerte fresh);

/// The French words of an error on the command line (the one place that makes them).
std::string ErrorText(const Error& error);

/// One option as `zento --help` and the manual page describe it. Both are made from
/// CommandLineOptions(), so documenting an option is one row there.
struct OptionDoc {
    /// French (the program's language, --help) and English (the English manual page).
    struct Text {
        std::string_view fr;
        std::string_view en;
    };
    std::string_view name; ///< "--delete"
    Text value;            ///< what follows the name ("ID"); empty when nothing does
    Text description;      ///< a phrase without a final full stop, wrapped when printed
    std::string_view of;   ///< the command this option belongs to ("--add"); empty for a command
};

/// Every documented option in the order of --help; an option of a command follows the command.
std::span<const OptionDoc> CommandLineOptions();

/// The text of `zento --help`, made from CommandLineOptions().
std::string UsageText();

/// "Zento 2.0.0".
std::string VersionText();

/// The table as `zento --list` prints it: a header line, then one tab-separated line per alert
/// in table order; tab, CR, LF and backslash inside a value are written \t, \r, \n and \\.
std::string FormatAlertList(const AlertTable& table);

/// A value escaped for one tab-separated column.
std::string EscapeListValue(const std::string& value);

} // namespace zento

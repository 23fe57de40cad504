#include "app/CommandLine.h"

namespace zento {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    if (args.empty())
        return cl;
    const std::string& a = args.front();
    if (a == "--help" || a == "-h")
        cl.command = CommandLine::Command::Help;
    else if (a == "--version")
        cl.command = CommandLine::Command::Version;
    else if (a == "--list")
        cl.command = CommandLine::Command::List;
    else {
        cl.command = CommandLine::Command::Invalid;
        cl.error = "option inconnue : " + a;
        return cl;
    }
    if (args.size() > 1) {
        cl.command = CommandLine::Command::Invalid;
        cl.error = "argument en trop : " + args[1];
    }
    return cl;
}

std::string UsageText() {
    return "Usage : zento [option]\n"
           "Zento, votre pense bête pour gérer vos rappels.\n"
           "Sans option, Zento démarre et attend dans la zone de notification.\n"
           "\n"
           "Options :\n"
           "  --list       affiche les alertes enregistrées (une ligne par alerte, séparée par des "
           "tabulations)\n"
           "  --version    affiche la version\n"
           "  --help       affiche cette aide\n";
}

std::string VersionText() {
    return std::string("Zento ") + ZENTO_VERSION;
}

std::string EscapeListValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string FormatAlertList(const AlertTable& table) {
    std::string out = "Position\tId\tMessage\tAlertDate\tRecurrence\tEmoticon\tSound\tBackColor\tForeColor\t"
                      "AlertTime\tLoopSound\tAction\n";
    for (std::int32_t pos = 1; pos <= table.AlertCount(); ++pos) {
        const Alerte& a = table.at(pos);
        out += std::to_string(pos);
        out += '\t';
        out += std::to_string(a.Id);
        for (int k = 1; k <= Alerte::kFieldCount; ++k) {
            out += '\t';
            out += EscapeListValue(a.field(k));
        }
        out += '\n';
    }
    return out;
}

} // namespace zento

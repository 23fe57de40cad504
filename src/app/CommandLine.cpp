#include "app/CommandLine.h"

#include "store/DateText.h"

#include <algorithm>
#include <cctype>

namespace zento {
namespace {

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

CommandLine invalid(std::string why) {
    CommandLine cl;
    cl.command = CommandLine::Command::Invalid;
    cl.error = std::move(why);
    return cl;
}

/// Splits "--name=value" into its name and value.
std::pair<std::string, std::optional<std::string>> splitOption(const std::string& arg) {
    const auto eq = arg.find('=');
    if (arg.rfind("--", 0) != 0 || eq == std::string::npos)
        return {arg, std::nullopt};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

CommandLine parseAdd(const std::vector<std::string>& args) {
    CommandLine cl;
    cl.command = CommandLine::Command::Add;
    AddOptions& o = cl.add;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.rfind("--", 0) != 0) {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        auto [name, inlineValue] = splitOption(arg);
        if (name == "--loop" || name == "--no-sound") {
            if (inlineValue)
                return invalid("l'option " + name + " ne prend pas de valeur");
            (name == "--loop" ? o.loop : o.noSound) = true;
            continue;
        }
        std::optional<std::string>* slot = nullptr;
        if (name == "--date")
            slot = &o.date;
        else if (name == "--time")
            slot = &o.time;
        else if (name == "--recurrence")
            slot = &o.recurrence;
        else if (name == "--sound")
            slot = &o.sound;
        else if (name == "--action")
            slot = &o.action;
        else if (name == "--emoticon")
            slot = &o.emoticon;
        else if (name == "--colors")
            slot = &o.colors;
        else
            return invalid("option inconnue : " + name);
        if (inlineValue) {
            *slot = *inlineValue;
        } else if (i + 1 < args.size()) {
            *slot = args[++i];
        } else {
            return invalid("l'option " + name + " attend une valeur");
        }
    }
    if (o.noSound && o.sound)
        return invalid("--sound et --no-sound s'excluent");
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i)
            o.message += ' ';
        o.message += words[i];
    }
    return cl;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    if (args.empty())
        return cl;
    const std::string& a = args.front();
    if (a == "--add")
        return parseAdd(args);
    if (a == "--delete") {
        if (args.size() != 2)
            return invalid("--delete attend le numéro (Id) d'une alerte");
        const auto id = ParseInt32(args[1]);
        if (!id || *id < 1)
            return invalid("numéro d'alerte non valide : " + args[1]);
        cl.command = CommandLine::Command::Delete;
        cl.deleteId = *id;
        return cl;
    }
    if (a == "--export" || a == "--import") {
        const bool import = a == "--import";
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (import && std::erase(rest, "--with-actions") > 0)
            cl.withActions = true;
        if (rest.size() != 1 || rest.front().empty())
            return invalid(a + " attend un fichier" + (import ? "" : " (- pour la sortie standard)"));
        cl.command = import ? CommandLine::Command::Import : CommandLine::Command::Export;
        cl.file = rest.front();
        return cl;
    }
    if (a == "--help" || a == "-h")
        cl.command = CommandLine::Command::Help;
    else if (a == "--show")
        cl.command = CommandLine::Command::Show;
    else if (a == "--new-alert")
        cl.command = CommandLine::Command::NewAlert;
    else if (a == "--version")
        cl.command = CommandLine::Command::Version;
    else if (a == "--list")
        cl.command = CommandLine::Command::List;
    else
        return invalid("option inconnue : " + a);
    if (args.size() > 1)
        return invalid("argument en trop : " + args[1]);
    return cl;
}

std::optional<int> ParseRecurrenceOption(const std::string& text) {
    if (const auto n = ParseInt32(text))
        return *n >= 0 && *n <= 8 ? std::optional<int>(*n) : std::nullopt;
    const std::string wanted = lowerAscii(std::string(TrimBlanks(text)));
    for (std::size_t i = 0; i < kRecurrenceNames.size(); ++i)
        if (lowerAscii(std::string(kRecurrenceNames[i])) == wanted)
            return static_cast<int>(i);
    return std::nullopt;
}

Result<Alerte> BuildAddAlert(const AddOptions& o, Alerte a) {
    a.Message = o.message;
    if (o.date)
        a.AlertDate = *o.date;
    if (o.time)
        a.AlertTime = *o.time;
    if (o.recurrence) {
        const auto code = ParseRecurrenceOption(*o.recurrence);
        a.Recurrence = code ? std::to_string(*code) : *o.recurrence;
    }
    if (o.emoticon)
        a.Emoticon = *o.emoticon;
    if (o.noSound)
        a.Sound.clear();
    else if (o.sound)
        a.Sound = *o.sound;
    if (o.colors) {
        const auto comma = o.colors->find(',');
        if (comma == std::string::npos)
            return Error{ErrorCode::InvalidColors, *o.colors};
        a.BackColor = o.colors->substr(0, comma);
        a.ForeColor = o.colors->substr(comma + 1);
    }
    a.LoopSound.assign(1, o.loop ? '1' : '0');
    if (o.action)
        a.Action = *o.action;
    return a;
}

std::string ErrorText(const Error& e) {
    const std::string& d = e.detail;
    switch (e.code) {
    case ErrorCode::EmptyMessage:
        return "Indiquez un message";
    case ErrorCode::InvalidDate:
        return "Date non valide";
    case ErrorCode::InvalidTime:
        return "Heure non valide : " + d + " (attendu HH:MM)";
    case ErrorCode::InvalidRecurrence:
        return "Périodicité non valide : " + d +
               " (0 à 8, ou Unique, Journalier, Hebdomadaire, "
               "\"1 semaine sur 2\", Mensuel, \"1 mois sur 2\", Trimestriel, Semestriel, Annuel)";
    case ErrorCode::InvalidEmoticon:
        return "Emoticon non valide : " + d + " (0 à 15)";
    case ErrorCode::InvalidColors:
        return "Couleurs non valides : " + d + " (attendu FOND,POLICE en décimal ou &H…)";
    case ErrorCode::SoundNotFound:
        return "Son introuvable : " + d;
    case ErrorCode::NotFound:
        return "Aucune alerte n'a le numéro " + d;
    case ErrorCode::StoreUnreadable:
        return "le fichier Alertes.ini existe mais ne peut pas être lu (" + d + ")";
    case ErrorCode::StoreReadOnly:
        return "le fichier est en lecture seule";
    case ErrorCode::BadCalendar:
        return "le fichier n'est pas un calendrier lisible (" + d + ")";
    case ErrorCode::WriteFailed:
        break;
    }
    return d;
}

std::span<const OptionDoc> CommandLineOptions() {
    // clang-format off
    // A row: the name, the value's placeholder and the description, each {French, English}
    // where it is text, then the command it belongs to ("" for a command).
    static constexpr OptionDoc kOptions[] = {
        {"--list", {},
         {"affiche les alertes enregistrées (une ligne par alerte, colonnes séparées par des tabulations)",
          "print the stored alerts (one line per alert, columns separated by tabs)"},
         ""},
        {"--add", {"[options] MESSAGE...", "[options] MESSAGE..."},
         {"ajoute une alerte et affiche son numéro (Id)", "add an alert and print its number (Id)"},
         ""},
        {"--date", {"JJ/MM/AAAA", "DD/MM/YYYY"},
         {"le jour (aujourd'hui par défaut)", "the day (today by default)"},
         "--add"},
        {"--time", {"HH:MM", "HH:MM"},
         {"l'heure (sans heure : toute la journée)", "the time (without one: all day)"},
         "--add"},
        {"--recurrence", {"R", "R"},
         {"0 à 8 ou Unique, Journalier, Hebdomadaire, \"1 semaine sur 2\", Mensuel, \"1 mois sur 2\", "
          "Trimestriel, Semestriel, Annuel",
          "0 to 8 or its French name: Unique, Journalier, Hebdomadaire, \"1 semaine sur 2\", Mensuel, "
          "\"1 mois sur 2\", Trimestriel, Semestriel, Annuel"},
         "--add"},
        {"--sound", {"FICHIER", "FILE"},
         {"un son du dossier Wave (Defaut.wav par défaut)",
          "a sound of the Wave folder (Defaut.wav by default)"},
         "--add"},
        {"--no-sound", {}, {"popup sans son", "a popup without a sound"}, "--add"},
        {"--loop", {}, {"répéter le son en boucle", "play the sound in a loop"}, "--add"},
        {"--action", {"TEXTE", "TEXT"},
         {"fichier, adresse web ou lien mailto à ouvrir", "a file, web address or mailto link to open"},
         "--add"},
        {"--emoticon", {"N", "N"}, {"emoticon 0 à 15", "emoticon 0 to 15"}, "--add"},
        {"--colors", {"FOND,POLICE", "BACK,TEXT"},
         {"couleurs (décimal ou &H…)", "colours (decimal or &H…)"},
         "--add"},
        {"--delete", {"ID", "ID"},
         {"supprime l'alerte de ce numéro", "delete the alert of that number"},
         ""},
        {"--export", {"FICHIER", "FILE"},
         {"écrit les alertes dans un fichier iCalendar (.ics ; - pour la sortie standard)",
          "write the alerts to an iCalendar file (.ics; - for the standard output)"},
         ""},
        {"--import", {"FICHIER", "FILE"},
         {"ajoute les événements et tâches d'un fichier iCalendar, sauf ceux déjà importés ou passés",
          "add the events and tasks of an iCalendar file, but those imported before or past"},
         ""},
        {"--with-actions", {},
         {"importe aussi les actions (fichiers, adresses à ouvrir) du fichier",
          "import the file's actions (files, addresses to open) too"},
         "--import"},
        {"--show", {},
         {"affiche la fenêtre de Zento (le démarre au besoin)",
          "show Zento's window (starting Zento if need be)"},
         ""},
        {"--new-alert", {},
         {"ouvre la fenêtre sur une nouvelle alerte (démarre Zento au besoin)",
          "open the window on a new alert (starting Zento if need be)"},
         ""},
        {"--version", {}, {"affiche la version", "print the version"}, ""},
        {"--help", {}, {"affiche l'aide", "print the usage"}, ""},
    };
    // clang-format on
    return kOptions;
}

namespace {

constexpr std::size_t kHelpWidth = 80;

/// The columns a UTF-8 text takes in a terminal: one per character (none of ours is wide).
std::size_t columns(std::string_view s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; }));
}

/// The first blank of `text` outside double quotes ("1 semaine sur 2" is one word).
std::size_t wordEnd(std::string_view text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ' ' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

/// Appends `text` from column `at`, wrapped at kHelpWidth, its next lines starting at `indent`.
void appendWrapped(std::string& out, std::string_view text, std::size_t at, std::size_t indent) {
    std::size_t column = at;
    bool lineStarted = false;
    while (!text.empty()) {
        const std::size_t space = wordEnd(text);
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (lineStarted && column + 1 + columns(word) > kHelpWidth) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
            lineStarted = false;
        }
        if (lineStarted) {
            out += ' ';
            ++column;
        }
        out += word;
        column += columns(word);
        lineStarted = true;
    }
    out += '\n';
}

/// "  --date JJ/MM/AAAA     le jour…": commands at column 2, their options at 6; the
/// descriptions 22 columns further, or on the next line when the name does not leave room.
void appendOption(std::string& out, const OptionDoc& o) {
    const std::size_t indent = o.of.empty() ? 2 : 6;
    const std::size_t descriptionAt = indent + 22;
    std::string head(indent, ' ');
    head += o.name;
    if (!o.value.fr.empty()) {
        head += ' ';
        head += o.value.fr;
    }
    out += head;
    std::size_t at = columns(head);
    if (at + 2 > descriptionAt) {
        out += '\n';
        at = 0;
    }
    out.append(descriptionAt - at, ' ');
    appendWrapped(out, o.description.fr, descriptionAt, descriptionAt);
}

} // namespace

std::string UsageText() {
    std::string out =
        "Usage : zento [option]\n"
        "Zento, votre pense bête pour gérer vos rappels.\n"
        "Sans option, Zento démarre et attend dans la zone de notification ; s'il tourne déjà,\n"
        "sa fenêtre est ramenée au premier plan.\n"
        "\n"
        "Options :\n";
    const auto options = CommandLineOptions();
    for (const OptionDoc& command : options) {
        if (!command.of.empty())
            continue;
        appendOption(out, command);
        for (const OptionDoc& option : options)
            if (option.of == command.name)
                appendOption(out, option);
    }
    out += "\nUne copie de Zento en cours d'exécution prend en compte --add, --delete et --import aussitôt.\n";
    return out;
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

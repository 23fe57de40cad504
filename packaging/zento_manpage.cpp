// Writes the manual page zento(1), in French or in English, from the option table that also
// prints `zento --help`, so that the two never disagree. Run by the build:
//     zento_manpage fr|en DATE OUTPUT
#include "app/CommandLine.h"

#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

using zento::OptionDoc;

namespace {

/// The fixed parts of the page in one language.
struct Page {
    const char* section;  // the manual's title for section 1
    const char* name;     // NAME: what the program is
    const char* headings; // NAME|SYNOPSIS|DESCRIPTION|OPTIONS|FILES|ENVIRONMENT|EXIT STATUS|EXAMPLES|SEE ALSO
    const char* description;
    const char* files;
    const char* environment;
    const char* exitStatus;
    const char* examples;
    const char* seeAlso;
};

// The texts below are roff already (\- is a minus sign, \fI…\fR italics); the option table's
// texts are plain and escaped by prose().
constexpr Page kFrench{
    "Commandes de l'utilisateur",
    "votre pense-bête pour gérer vos rappels",
    "NOM|SYNOPSIS|DESCRIPTION|OPTIONS|FICHIERS|ENVIRONNEMENT|CODE DE RETOUR|EXEMPLES|VOIR AUSSI",
    "Zento garde vos rappels (« alertes ») : une date, une heure facultative, un message, une "
    "périodicité (d'une seule fois à tous les ans), un son joué une fois ou en boucle, deux couleurs, "
    "une émoticône et une action facultative (un fichier, une adresse web ou un lien mailto ouvert à "
    "l'échéance). Il attend dans la zone de notification ; à l'échéance d'une alerte, une fenêtre "
    "surgit, où l'on acquitte l'alerte ou la reporte de 5 à 60 minutes. Son interface est en français.\n"
    ".PP\n"
    "Sans option, Zento démarre et attend dans la zone de notification ; s'il tourne déjà, il le dit "
    "(sa fenêtre, si elle est affichée, passe au premier plan) et s'arrête.\n"
    ".PP\n"
    "Les commandes \\fB\\-\\-list\\fR, \\fB\\-\\-add\\fR et \\fB\\-\\-delete\\fR n'ont pas besoin d'écran. "
    "Une copie de Zento en cours d'exécution prend en compte \\fB\\-\\-add\\fR et \\fB\\-\\-delete\\fR "
    "aussitôt. \\fB\\-\\-add\\fR applique les règles de la fenêtre (couleurs et émoticône par défaut des "
    "nouvelles alertes, message obligatoire, date valide) et n'écrit rien quand il refuse.\n",
    ".TP\n"
    ".I ~/.local/share/Zento/Alertes.ini\n"
    "Les alertes et les valeurs par défaut des nouvelles alertes (dans \\fI$XDG_DATA_HOME/Zento\\fR "
    "quand XDG_DATA_HOME est défini). Chaque modification est enregistrée aussitôt et remplace le "
    "fichier d'un seul coup.\n"
    ".TP\n"
    ".I ~/.local/share/Zento/Alertes.ini~\n"
    "La version précédente de \\fIAlertes.ini\\fR, gardée à chaque enregistrement.\n"
    ".TP\n"
    ".I ~/.config/Olvani/Zento.conf\n"
    "Les réglages : \\fBDataPath\\fR, dans le groupe \\fB[Settings]\\fR, désigne le dossier des données ; "
    "le changer déplace les données au démarrage suivant.\n"
    ".TP\n"
    ".I /usr/share/zento/Wave\n"
    "Les sons proposés aux alertes (pour un programme installé dans \\fI/usr/bin\\fR ; en général "
    "\\fIshare/zento/Wave\\fR à côté du dossier du programme).\n",
    ".TP\n"
    ".B ZENTO_WAVE_DIR\n"
    "Un autre dossier de sons.\n"
    ".TP\n"
    ".B XDG_DATA_HOME\n"
    "Le dossier où le premier démarrage crée le dossier des données (\\fI~/.local/share\\fR par "
    "défaut).\n",
    ".TP\n"
    ".B 0\n"
    "Succès.\n"
    ".TP\n"
    ".B 1\n"
    "Échec : alerte refusée (message vide, date non valide…), numéro d'alerte inconnu, fichier illisible "
    "ou impossible à enregistrer, copie en cours d'exécution qui ne répond pas. Rien n'est écrit.\n"
    ".TP\n"
    ".B 2\n"
    "Option inconnue ou mal formée ; l'aide est affichée sur la sortie d'erreur.\n",
    "Un rendez-vous le 12 janvier 2027 à 9 h 30, sans son :\n"
    ".PP\n"
    ".RS\n"
    "zento \\-\\-add \\-\\-date 12/01/2027 \\-\\-time 9:30 \\-\\-no\\-sound Dentiste\n"
    ".RE\n"
    ".PP\n"
    "Un rappel tous les mois, puis la liste des alertes et la suppression de l'alerte 3 :\n"
    ".PP\n"
    ".RS\n"
    "zento \\-\\-add \\-\\-recurrence Mensuel \"Payer le loyer\"\n"
    ".br\n"
    "zento \\-\\-list\n"
    ".br\n"
    "zento \\-\\-delete 3\n"
    ".RE\n",
    "La page du programme : https://www.olvani.example/zento\n",
};

constexpr Page kEnglish{
    "User Commands",
    "your reminder manager",
    "NAME|SYNOPSIS|DESCRIPTION|OPTIONS|FILES|ENVIRONMENT|EXIT STATUS|EXAMPLES|SEE ALSO",
    "Zento keeps your reminders (\"alertes\"): a date, an optional time, a message, a recurrence (from "
    "once to yearly), a sound played once or in a loop, a colour pair, an emoticon and an optional "
    "action (a file, a web address or a mailto link opened when the alert falls due). It waits in the "
    "notification area; when an alert falls due a popup comes to the front, where you acknowledge it or "
    "snooze it for 5 to 60 minutes. Its interface is French.\n"
    ".PP\n"
    "Without an option, Zento starts and waits in the notification area; when it runs already, it says "
    "so (bringing its window forward if it is shown) and ends.\n"
    ".PP\n"
    "The commands \\fB\\-\\-list\\fR, \\fB\\-\\-add\\fR and \\fB\\-\\-delete\\fR need no display. A running "
    "copy of Zento takes \\fB\\-\\-add\\fR and \\fB\\-\\-delete\\fR into account at once. \\fB\\-\\-add\\fR "
    "applies the rules of the window (the default colours and emoticon of new alerts, a message, a "
    "valid date) and writes nothing when it refuses.\n",
    ".TP\n"
    ".I ~/.local/share/Zento/Alertes.ini\n"
    "The alerts and the defaults of new alerts (in \\fI$XDG_DATA_HOME/Zento\\fR when XDG_DATA_HOME is "
    "set). Every change is written at once and replaces the file in one step.\n"
    ".TP\n"
    ".I ~/.local/share/Zento/Alertes.ini~\n"
    "The previous version of \\fIAlertes.ini\\fR, kept at every save.\n"
    ".TP\n"
    ".I ~/.config/Olvani/Zento.conf\n"
    "The settings: \\fBDataPath\\fR, in the group \\fB[Settings]\\fR, names the data folder; changing it "
    "moves the data at the next start.\n"
    ".TP\n"
    ".I /usr/share/zento/Wave\n"
    "The sounds offered to alerts (for a program installed in \\fI/usr/bin\\fR; in general "
    "\\fIshare/zento/Wave\\fR beside the program's folder).\n",
    ".TP\n"
    ".B ZENTO_WAVE_DIR\n"
    "Another folder of sounds.\n"
    ".TP\n"
    ".B XDG_DATA_HOME\n"
    "Where the first start creates the data folder (\\fI~/.local/share\\fR by default).\n",
    ".TP\n"
    ".B 0\n"
    "Success.\n"
    ".TP\n"
    ".B 1\n"
    "Failure: an alert refused (no message, an invalid date...), an unknown alert number, a file that "
    "cannot be read or written, a running copy that does not answer. Nothing is written.\n"
    ".TP\n"
    ".B 2\n"
    "An unknown or malformed option; the usage is printed on the error output.\n",
    "An appointment on 12 January 2027 at 9:30, without a sound:\n"
    ".PP\n"
    ".RS\n"
    "zento \\-\\-add \\-\\-date 12/01/2027 \\-\\-time 9:30 \\-\\-no\\-sound Dentist\n"
    ".RE\n"
    ".PP\n"
    "A monthly reminder, then the list of alerts and the deletion of alert 3:\n"
    ".PP\n"
    ".RS\n"
    "zento \\-\\-add \\-\\-recurrence Mensuel \"Pay the rent\"\n"
    ".br\n"
    "zento \\-\\-list\n"
    ".br\n"
    "zento \\-\\-delete 3\n"
    ".RE\n",
    "The program's page: https://www.olvani.example/zento\n",
};

/// Plain text made safe for roff: backslashes kept, a dash that starts a word (an option) made a
/// minus sign, a leading dot or quote kept from being read as a request.
std::string prose(std::string_view text) {
    std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            out += "\\e";
        else if (c == '-' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '-'))
            out += "\\-";
        else
            out += c;
    }
    return out;
}

/// An option's name in bold and its value in italics, every dash a minus sign.
std::string optionHead(const OptionDoc& o, bool french) {
    std::string dashed;
    for (const char c : o.name)
        dashed += c == '-' ? std::string("\\-") : std::string(1, c);
    std::string head = "\\fB" + dashed + "\\fR";
    const std::string_view value = french ? o.value.fr : o.value.en;
    if (!value.empty())
        head += " \\fI" + prose(value) + "\\fR";
    return head;
}

std::string heading(const Page& page, int index) {
    std::string_view all = page.headings;
    for (int i = 0; i < index; ++i)
        all.remove_prefix(all.find('|') + 1);
    return std::string(all.substr(0, all.find('|')));
}

std::string manPage(bool french, const std::string& date) {
    const Page& page = french ? kFrench : kEnglish;
    const auto options = zento::CommandLineOptions();
    std::string out = "'\\\" -*- coding: UTF-8 -*-\n";
    out += ".\\\" Generated by zento_manpage from the option table of zento --help.\n";
    out += ".TH ZENTO 1 " + date + " \"" + zento::VersionText() + "\" \"" + page.section + "\"\n";
    out += ".nh\n"; // English hyphenation patterns would cut French words badly
    out += ".SH " + heading(page, 0) + "\nzento \\- " + page.name + "\n";

    out += ".SH " + heading(page, 1) + "\n.B zento\n";
    for (const OptionDoc& o : options)
        if (o.of.empty())
            out += ".br\n\\fBzento\\fR " + optionHead(o, french) + "\n";

    out += ".SH " + heading(page, 2) + "\n" + page.description;

    out += ".SH " + heading(page, 3) + "\n";
    for (const OptionDoc& command : options) {
        if (!command.of.empty())
            continue;
        out += ".TP\n" + optionHead(command, french) + "\n" +
               prose(french ? command.description.fr : command.description.en) + ".\n";
        bool nested = false;
        for (const OptionDoc& o : options) {
            if (o.of != command.name)
                continue;
            if (!nested)
                out += ".RS\n";
            nested = true;
            out += ".TP\n" + optionHead(o, french) + "\n" +
                   prose(french ? o.description.fr : o.description.en) + ".\n";
        }
        if (nested)
            out += ".RE\n";
    }

    out += ".SH " + heading(page, 4) + "\n" + page.files;
    out += ".SH " + heading(page, 5) + "\n" + page.environment;
    out += ".SH " + heading(page, 6) + "\n" + page.exitStatus;
    out += ".SH " + heading(page, 7) + "\n" + page.examples;
    out += ".SH " + heading(page, 8) + "\n" + page.seeAlso;
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const std::string language = argc == 4 ? argv[1] : "";
    if (language != "fr" && language != "en") {
        std::cerr << "usage: zento_manpage fr|en DATE OUTPUT\n";
        return 2;
    }
    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    file << manPage(language == "fr", argv[2]);
    file.close();
    if (!file) {
        std::cerr << "zento_manpage: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}

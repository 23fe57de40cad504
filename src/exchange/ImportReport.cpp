#include "exchange/CalendarImport.h"

namespace zento {

namespace {

std::string count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n > 1 ? many : one);
}

std::string reasonText(const ImportIssue& issue) {
    const std::string& d = issue.detail;
    switch (issue.reason) {
    case ImportReason::Unreadable:
        return "illisible (" + d + ")";
    case ImportReason::NoDate:
        return "sans date";
    case ImportReason::NoText:
        return "sans texte";
    case ImportReason::Cancelled:
        return "annulé";
    case ImportReason::Completed:
        return "tâche terminée";
    case ImportReason::TooFrequent:
        return "se répète plus d'une fois par jour (" + d + ")";
    case ImportReason::RuleUnusable:
        return "règle de répétition inutilisable (" + d + ")";
    case ImportReason::ModifiedOccurrence:
        return "occurrence du " + d + " modifiée : l'alerte périodique garde sa date d'origine";
    case ImportReason::RuleApproximated:
        return "répétition approchée (" + d + ")";
    case ImportReason::EndIgnored:
        return "la répétition devait s'arrêter " + d + " : elle continue";
    case ImportReason::ExceptionsIgnored:
        return "les dates exclues de la répétition reviennent";
    case ImportReason::ExtraDatesIgnored:
        return "les dates ajoutées à la répétition ne sont pas reprises";
    case ImportReason::UnknownTimeZone:
        return "fuseau horaire inconnu ou inutilisable (" + d + ") : heure prise telle quelle";
    case ImportReason::LocalTimeVaries:
        return "heure locale fixe, alors que l'original suit le fuseau " + d +
               " (une heure d'écart une partie de l'année)";
    case ImportReason::FixedAlarmRepeated:
        return "alarme à date fixe : rappel au début de chaque occurrence";
    case ImportReason::TextShortened:
        return "texte coupé à " + std::to_string(kMaxImportedMessage) + " caractères";
    case ImportReason::ActionWithheld:
        return "action non importée : " + d;
    case ImportReason::ValueIgnored:
        return "valeur ignorée : " + d;
    }
    return d;
}

} // namespace

std::vector<std::string> ImportReportLines(const ImportPlan& plan) {
    std::vector<std::string> lines;
    if (plan.pastCount > 0)
        lines.push_back(count(plan.pastCount, "élément passé non importé", "éléments passés non importés"));
    if (plan.duplicateCount > 0)
        lines.push_back(count(plan.duplicateCount, "élément déjà importé", "éléments déjà importés"));
    if (plan.undatedTaskCount > 0)
        lines.push_back(count(plan.undatedTaskCount, "tâche sans échéance ni alarme non importée",
                              "tâches sans échéance ni alarme non importées"));
    for (const ImportNote& note : plan.notes) {
        std::string line = note.summary.empty() ? std::string("(sans titre)") : "« " + note.summary + " »";
        line += note.skipped ? " : non importé : " : " : ";
        for (std::size_t i = 0; i < note.issues.size(); ++i)
            line += (i > 0 ? " ; " : "") + reasonText(note.issues[i]);
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace zento

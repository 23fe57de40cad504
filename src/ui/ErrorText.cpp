#include "ui/ErrorText.h"

#include "ui/UserDialogs.h"

#include <QCoreApplication>

namespace zento {

QString errorText(const Error& error, bool modifying) {
    const auto tr = [](const char* text) { return QCoreApplication::translate("zento::Errors", text); };
    const QString detail = fromView(error.detail);
    switch (error.code) {
    case ErrorCode::EmptyMessage:
        return modifying ? tr("Indiquez le message") : tr("Indiquez un message");
    case ErrorCode::InvalidDate:
        return tr("Date non valide");
    case ErrorCode::StoreUnreadable:
        return tr("le fichier Alertes.ini existe mais ne peut pas être lu (%1)").arg(detail);
    case ErrorCode::StoreReadOnly:
        return tr("le fichier est en lecture seule");
    case ErrorCode::NotFound:
        return tr("l'alerte n'existe plus");
    case ErrorCode::InvalidTime:
        return tr("Heure non valide : %1").arg(detail);
    case ErrorCode::InvalidRecurrence:
        return tr("Périodicité non valide : %1").arg(detail);
    case ErrorCode::InvalidEmoticon:
        return tr("Emoticon non valide : %1").arg(detail);
    case ErrorCode::InvalidColors:
        return tr("Couleurs non valides : %1").arg(detail);
    case ErrorCode::SoundNotFound:
        return tr("Son introuvable : %1").arg(detail);
    case ErrorCode::BadCalendar:
        return tr("le fichier n'est pas un calendrier lisible (%1)").arg(detail);
    case ErrorCode::WriteFailed:
        break;
    }
    return detail;
}

void reportFailure(UserDialogs& dialogs, QWidget* parent, const QString& headline, const Error& error) {
    dialogs.message(parent, headline + QStringLiteral(" : ") + errorText(error), UserDialogs::Icon::Warning);
}

} // namespace zento

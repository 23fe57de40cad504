#pragma once

#include "store/Result.h"
#include "ui/QtText.h"

#include <QString>

class QWidget;

namespace zento {

class UserDialogs;

/// The French words of an error in the windows: the refusals of validation as the editor shows
/// them ("Indiquez un message", "Date non valide", …), the reason of a failed save otherwise.
/// `modifying`: the editor holds a stored alert ("Indiquez le message").
QString errorText(const Error& error, bool modifying = false);

/// Tells the user that something could not be done: "<headline> : <reason>" with the warning
/// icon, e.g. "Impossible d'enregistrer l'alerte : le disque est plein".
void reportFailure(UserDialogs& dialogs, QWidget* parent, const QString& headline, const Error& error);

} // namespace zento

#pragma once

class QCoreApplication;

namespace zento {

/// Makes Qt's own texts French (the colour and file dialogs; the message boxes set their button
/// texts themselves) whatever the machine's locale: the interface is French throughout.
/// Returns false when Qt's French translation is not installed (the texts then stay English).
bool installFrenchTranslations(QCoreApplication& app);

} // namespace zento

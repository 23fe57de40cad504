#pragma once

#include "media/ActionLauncher.h"

#include <QString>
#include <QUrl>

namespace zento {

/// Opens an alert's action with the desktop's associated program (QDesktopServices), never
/// through a shell: the text is a URL or a file name, nothing else.
class QtActionLauncher final : public ActionLauncher {
public:
    void OpenAction(const std::string& target) override;
};

/// What an action text names, as the URL handed to the desktop:
/// - a text starting with a URL scheme ("https:", "mailto:", "file:", ...: a letter, then
///   letters, digits, "+", "-" or ".", then ":") is that URL; a single letter before the colon is
///   a Windows drive ("C:\..."), not a scheme;
/// - a text starting with "www." is a web address (http);
/// - anything else is a local file path, blanks included: absolute as it is, "~" or "~/..." in
///   the home folder, relative from the home folder.
/// Blanks around the text are ignored; an empty URL for a text with nothing in it.
QUrl actionUrl(const QString& target, const QString& homeFolder);

} // namespace zento

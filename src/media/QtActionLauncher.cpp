#include "media/QtActionLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QtDebug>

namespace zento {
namespace {

/// The length of the URL scheme at the start of `text`, 0 when there is none.
qsizetype schemeLength(const QString& text) {
    if (text.isEmpty() || !text.front().isLetter() || text.front().unicode() > 0x7F)
        return 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(':'))
            return i >= 2 ? i : 0; // "C:" is a drive letter
        const bool ok = c.unicode() <= 0x7F && (c.isLetterOrNumber() || c == QLatin1Char('+') ||
                                                c == QLatin1Char('-') || c == QLatin1Char('.'));
        if (!ok)
            return 0;
    }
    return 0;
}

} // namespace

QUrl actionUrl(const QString& target, const QString& homeFolder) {
    const QString text = target.trimmed();
    if (text.isEmpty())
        return {};
    if (schemeLength(text) > 0)
        return QUrl(text, QUrl::TolerantMode);
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
    const QDir home(homeFolder);
    QString path = text;
    if (path == QLatin1String("~"))
        path = home.absolutePath();
    else if (path.startsWith(QLatin1String("~/")))
        path = home.absoluteFilePath(path.mid(2));
    else if (QDir::isRelativePath(path))
        path = home.absoluteFilePath(path);
    return QUrl::fromLocalFile(QDir::cleanPath(path));
}

void QtActionLauncher::OpenAction(const std::string& target) {
    const QString text = QString::fromStdString(target);
    const QUrl url = actionUrl(text, QDir::homePath());
    if (url.isEmpty())
        return;
    // Nothing is shown to the user: the alert itself matters more than its action.
    if (!url.isValid()) {
        qWarning("Zento : action « %s » : adresse invalide", qUtf8Printable(text));
        return;
    }
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        qWarning("Zento : action « %s » : fichier introuvable", qUtf8Printable(text));
        return;
    }
    if (!QDesktopServices::openUrl(url))
        qWarning("Zento : action « %s » : impossible de l'ouvrir", qUtf8Printable(text));
}

} // namespace zento

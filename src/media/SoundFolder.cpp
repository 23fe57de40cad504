#include "media/SoundFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zento {

QString soundFolder() {
    QString dir = qEnvironmentVariable("ZENTO_WAVE_DIR");
    if (dir.isEmpty()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        dir = appDir + QStringLiteral("/Wave");
        if (!QFileInfo(dir).isDir()) {
            const QString installed = QDir::cleanPath(appDir + QStringLiteral("/../share/zento/Wave"));
            if (QFileInfo(installed).isDir())
                dir = installed;
        }
    }
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QStringList listWaveFiles(const QString& folder) {
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.wav")});
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

} // namespace zento

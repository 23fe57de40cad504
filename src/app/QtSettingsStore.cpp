#include "app/QtSettingsStore.h"

#include "ui/QtText.h"

#include <QSettings>

namespace zento {

QString QtSettingsStore::groupOf(std::string_view keyPath) {
    const auto slash = keyPath.find_last_of('\\');
    return fromView(slash == std::string_view::npos ? keyPath : keyPath.substr(slash + 1));
}

std::string QtSettingsStore::ReadRegistryValue(std::string_view keyPath, std::string_view name) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Olvani"),
                QStringLiteral("Zento"));
    s.beginGroup(groupOf(keyPath));
    const QVariant v = s.value(fromView(name));
    // Only text (or a number, read as its decimal text) counts; anything else is "missing".
    if (!v.isValid() || !v.canConvert<QString>())
        return {};
    return v.toString().toStdString();
}

bool QtSettingsStore::CreateRegistryKey(std::string_view) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Olvani"),
                QStringLiteral("Zento"));
    return s.isWritable();
}

bool QtSettingsStore::WriteRegistryValue(std::string_view keyPath, std::string_view name,
                                         std::string_view value) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Olvani"),
                QStringLiteral("Zento"));
    s.beginGroup(groupOf(keyPath));
    s.setValue(fromView(name), fromView(value));
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace zento

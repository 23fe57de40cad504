#pragma once

#include <QString>
#include <QStringList>

namespace zento {

/// The folder of the sounds offered to alerts ("Wave"): the one named by ZENTO_WAVE_DIR when
/// set (tests, portable set-ups), else "Wave" beside the program (the build tree), else the
/// installed share/zento/Wave beside the program's bin folder. Always ends with a separator, so
/// that folder + Sound is the sound's path.
QString soundFolder();

/// The names (without folder) of the .wav files of a folder, in name order; other files, and
/// sub-folders, are left out. Empty when the folder is missing.
QStringList listWaveFiles(const QString& folder);

} // namespace zento

#include "media/QtSoundOutput.h"

#include "media/SoundFolder.h"
#include "store/Alerte.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace zento {

QtSoundOutput::QtSoundOutput(QString defaultSoundPath)
    : m_defaultPath(defaultSoundPath.isEmpty() ? soundFolder() + fromView(kDefaultSound)
                                               : std::move(defaultSoundPath)) {}

QtSoundOutput::~QtSoundOutput() {
    delete m_effect.data();
}

void QtSoundOutput::PlaySoundFile(const std::string& path, bool loop) {
    const QString file = QString::fromStdString(path);
    // A folder (an alert without a sound names the sound folder itself) or a removed file: silence,
    // and the sound already playing goes on.
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    start(file, loop);
}

void QtSoundOutput::StopSound() {
    release();
}

QString QtSoundOutput::currentPath() const {
    return m_effect ? m_effect->source().toLocalFile() : QString();
}

void QtSoundOutput::start(const QString& path, bool loop) {
    release();
    m_loop = loop;
    // Without an output QSoundEffect would complain at every start; the Qt backend has already
    // said once that there is no sound server, which is enough.
    if (m_requireOutput && QMediaDevices::defaultAudioOutput().isNull())
        return;
    auto* effect = new QSoundEffect();
    m_effect = effect;
    QObject::connect(effect, &QSoundEffect::statusChanged, effect,
                     [this, effect] { onStatusChanged(effect); });
    effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    effect->setSource(QUrl::fromLocalFile(path));
    // play() before the file is loaded is allowed: it starts as soon as it is ready.
    effect->play();
}

void QtSoundOutput::onStatusChanged(QSoundEffect* effect) {
    if (effect != m_effect || effect->status() != QSoundEffect::Error)
        return;
    const QString failed = effect->source().toLocalFile();
    if (failed != m_defaultPath && QFileInfo(m_defaultPath).isFile()) {
        // Replacing the effect from inside its own signal: release() only schedules its deletion.
        start(m_defaultPath, m_loop);
        return;
    }
    release();
    QApplication::beep();
}

void QtSoundOutput::release() {
    if (QSoundEffect* old = m_effect) {
        m_effect = nullptr;
        QObject::disconnect(old, nullptr, nullptr, nullptr);
        old->stop();
        old->deleteLater();
    }
}

} // namespace zento

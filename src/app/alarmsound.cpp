#include "alarmsound.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QtEndian>
#include <QTimer>
#include <QUrl>

int waveMilliseconds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray header = file.read(44);
    if (header.size() < 44 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
        return 0;
    const quint32 bytesPerSecond = qFromLittleEndian<quint32>(header.constData() + 28);
    if (bytesPerSecond == 0)
        return 0;
    return int(qMin<qint64>(qint64(file.size() - 44) * 1000 / bytesPerSecond, 10 * 60 * 1000));
}

void playWaveToEnd(const QString &path)
{
    const int length = waveMilliseconds(path);
    // Without a sound device nothing is heard, yet the sound system reports
    // the sound as playing for seconds.
    if (length <= 0 || QMediaDevices::defaultAudioOutput().isNull())
        return;
    QSoundEffect sound;
    QEventLoop loop;
    QObject::connect(&sound, &QSoundEffect::playingChanged, &loop, [&] {
        if (!sound.isPlaying())
            loop.quit();
    });
    QObject::connect(&sound, &QSoundEffect::statusChanged, &loop, [&] {
        if (sound.status() == QSoundEffect::Error)
            loop.quit();
        else if (sound.status() == QSoundEffect::Ready)
            sound.play();
    });
    // However the sound system behaves, the wait ends soon after the sound's
    // own length.
    QTimer::singleShot(length + 2000, &loop, &QEventLoop::quit);
    sound.setSource(QUrl::fromLocalFile(path));
    if (sound.status() == QSoundEffect::Error)
        return;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

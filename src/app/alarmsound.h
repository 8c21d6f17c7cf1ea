#pragma once

#include <QString>

/// Plays a wave file to its end and only then returns, as the alarm wants its
/// sound heard before the message box appears. A missing or unplayable file,
/// or a machine without a sound device, plays nothing and returns at once.
void playWaveToEnd(const QString &path);

/// The playing time of a RIFF/WAVE file from its header, in milliseconds and
/// at most ten minutes; 0 for a missing file or one that is no wave.
int waveMilliseconds(const QString &path);

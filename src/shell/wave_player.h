#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <optional>

namespace quill {

// The PCM samples of a RIFF/WAVE file and their format.
struct WaveSound {
  QAudioFormat format;
  QByteArray samples;
};

// Reads an uncompressed PCM wave file (8-bit unsigned, 16- or 32-bit signed
// integers, any channel count and rate); nothing for any other content.
std::optional<WaveSound> ParseWave(const QByteArray& file);

// Plays Sound on the default audio output without waiting; a sound still
// playing is stopped first. Does nothing where the machine has no output.
// The samples are played from memory by one sink, so no loader thread is
// left running when the program ends.
void PlayWave(const WaveSound& sound);

}  // namespace quill

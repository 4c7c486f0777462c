// Reading and measuring sound files in tests (libsndfile): what a recording
// holds, how long it is, which tone and how loud.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace test {

struct SoundFile {
  bool ok = false;       // the file opened as a sound file
  int rate = 0;
  int channels = 0;
  std::int64_t frames = 0;
  std::vector<float> samples;  // interleaved, -1..1

  double seconds() const { return rate > 0 ? double(frames) / rate : 0.0; }
  // One channel as its own vector.
  std::vector<float> channel(int c) const;
};

SoundFile readSoundFile(const QString& path);
// Writes interleaved 16-bit samples as WAV (format 0) or any libsndfile
// major|minor format. True on success.
bool writeSoundFile(const QString& path, const std::vector<std::int16_t>& samples, int rate, int channels,
                    int format = 0);
// A sine of hz at amplitude (0..1) for frames frames, on every channel.
std::vector<std::int16_t> tone(double hz, double amplitude, int frames, int rate = 44100, int channels = 2);

// Speech with long pauses in a quiet room, made by espeak-ng and sox in dir:
// three sentences, each followed by 5, 20 or 10 s of nothing, over pink
// noise peaking at -60 dBFS (-73 dBFS RMS); 44100 Hz stereo, about 42 s.
// Empty (with why in error) when a tool fails.
std::vector<std::int16_t> speechWithPausesOverNoise(const QString& dir, QString* error);

// Frequency of a single tone, from its zero crossings (Hz).
double dominantFrequency(const std::vector<float>& mono, int rate);
// Root mean square of samples [from, to) (whole vector by default).
double rms(const std::vector<float>& mono, std::size_t from = 0, std::size_t to = SIZE_MAX);
// How much of the energy of [from, to) lies at hz (0..1; a pure tone at hz
// gives nearly 1, speech or another tone little).
double toneShare(const std::vector<float>& mono, int rate, double hz, std::size_t from, std::size_t to);

}  // namespace test

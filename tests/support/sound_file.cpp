#include "sound_file.h"

#include <QProcess>

#include <sndfile.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace test {

std::vector<float> SoundFile::channel(int c) const {
  std::vector<float> v;
  if (channels <= 0) return v;
  v.reserve(std::size_t(frames));
  for (std::size_t i = std::size_t(c); i < samples.size(); i += std::size_t(channels)) v.push_back(samples[i]);
  return v;
}

SoundFile readSoundFile(const QString& path) {
  SoundFile f;
  SF_INFO info{};
  SNDFILE* sf = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (!sf) return f;
  f.rate = info.samplerate;
  f.channels = info.channels;
  std::vector<float> block(4096 * std::size_t(info.channels));
  sf_count_t n;
  while ((n = sf_readf_float(sf, block.data(), 4096)) > 0) {
    f.samples.insert(f.samples.end(), block.begin(), block.begin() + n * info.channels);
    f.frames += n;
  }
  sf_close(sf);
  f.ok = true;
  return f;
}

bool writeSoundFile(const QString& path, const std::vector<std::int16_t>& samples, int rate, int channels,
                    int format) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format ? format : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  SNDFILE* sf = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!sf) return false;
  // In blocks: the Vorbis encoder under libsndfile takes a whole write on
  // the stack, and a minute of sound in one write overflows it.
  const sf_count_t frames = sf_count_t(samples.size()) / channels;
  constexpr sf_count_t kBlock = 8192;
  bool ok = true;
  for (sf_count_t at = 0; ok && at < frames; at += kBlock) {
    const sf_count_t n = std::min(kBlock, frames - at);
    ok = sf_writef_short(sf, samples.data() + at * channels, n) == n;
  }
  sf_close(sf);
  return ok;
}

std::vector<std::int16_t> tone(double hz, double amplitude, int frames, int rate, int channels) {
  std::vector<std::int16_t> v(std::size_t(frames) * std::size_t(channels));
  for (int i = 0; i < frames; ++i) {
    const auto s = static_cast<std::int16_t>(
        std::lround(amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * hz * i / rate)));
    for (int c = 0; c < channels; ++c) v[std::size_t(i) * std::size_t(channels) + std::size_t(c)] = s;
  }
  return v;
}

double dominantFrequency(const std::vector<float>& mono, int rate) {
  std::size_t crossings = 0, first = 0, last = 0;
  for (std::size_t i = 1; i < mono.size(); ++i) {
    if (mono[i - 1] < 0.0f && mono[i] >= 0.0f) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return double(crossings - 1) * rate / double(last - first);
}

double rms(const std::vector<float>& mono, std::size_t from, std::size_t to) {
  to = std::min(to, mono.size());
  if (from >= to) return 0.0;
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += double(mono[i]) * mono[i];
  return std::sqrt(sum / double(to - from));
}

double toneShare(const std::vector<float>& mono, int rate, double hz, std::size_t from, std::size_t to) {
  to = std::min(to, mono.size());
  if (from >= to) return 0.0;
  // Goertzel power at hz against the total power of the window.
  const double w = 2.0 * std::numbers::pi * hz / rate;
  const double coeff = 2.0 * std::cos(w);
  double s1 = 0, s2 = 0, energy = 0;
  for (std::size_t i = from; i < to; ++i) {
    const double s0 = mono[i] + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
    energy += double(mono[i]) * mono[i];
  }
  const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
  const double n = double(to - from);
  if (energy <= 0) return 0.0;
  // A pure sine of amplitude A gives power (A n / 2)^2 and energy A^2 n / 2.
  return std::min(1.0, power / (energy * n / 2.0));
}

std::vector<std::int16_t> speechWithPausesOverNoise(const QString& dir, QString* error) {
  const char* script =
      "set -e; cd \"$0\"\n"
      "espeak-ng -v ru -w a.wav 'Меня зовут Иван. Я живу в большом городе и учусь в школе.'\n"
      "espeak-ng -v en -w b.wav 'I think museums are interesting places for everyone.'\n"
      "espeak-ng -v ru -w c.wav 'Спасибо за внимание.'\n"
      "for p in a:5 b:20 c:10; do sox ${p%:*}.wav -r 44100 -c 2 -b 16 p${p%:*}.wav pad 0 ${p#*:}; done\n"
      "sox pa.wav pb.wav pc.wav speech.wav\n"  // -R: the same noise every run
      "sox -R -m -v 1 speech.wav -v 1 \"|sox -R -n -r 44100 -c 2 -p synth $(soxi -D speech.wav) pinknoise vol -60dB\" "
      "-b 16 mixed.wav\n";
  QProcess p;
  p.start(QStringLiteral("sh"), {QStringLiteral("-c"), QString::fromUtf8(script), dir});
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    if (error) *error = QString::fromLocal8Bit(p.readAllStandardError()) + p.errorString();
    return {};
  }
  SF_INFO info{};
  SNDFILE* f = sf_open(QFile::encodeName(dir + QStringLiteral("/mixed.wav")).constData(), SFM_READ, &info);
  if (!f || info.channels != 2) return {};
  std::vector<std::int16_t> out(std::size_t(info.frames) * 2);
  out.resize(std::size_t(sf_readf_short(f, out.data(), info.frames)) * 2);
  sf_close(f);
  return out;
}

}  // namespace test

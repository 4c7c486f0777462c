#include "toolkit/recordcheck.h"

#include <sndfile.h>

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <vector>

namespace station {

namespace {

struct SoundFile {
  SNDFILE* handle = nullptr;
  SF_INFO info{};
  explicit SoundFile(const QString& file) {
    handle = sf_open(QFile::encodeName(file).constData(), SFM_READ, &info);
    if (handle && (info.channels <= 0 || info.samplerate <= 0)) {
      sf_close(handle);
      handle = nullptr;
    }
  }
  ~SoundFile() {
    if (handle) sf_close(handle);
  }
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;
};

}  // namespace

RecordingVerdict checkRecording(const QString& file, double recordedSeconds) {
  RecordingVerdict v;
  v.peakDb = -std::numeric_limits<double>::infinity();
  if (!QFileInfo(file).isFile()) {
    v.fault = RecordingVerdict::Missing;
    return v;
  }
  SoundFile sound(file);
  if (!sound.handle) {
    v.fault = RecordingVerdict::Unreadable;
    return v;
  }
  // Decoded whole: the header's length alone would not show a file whose
  // middle is damaged. Frames are counted as they come, not taken from the
  // header.
  constexpr sf_count_t kBlock = 4096;
  const int channels = sound.info.channels;
  std::vector<float> block(std::size_t(kBlock) * std::size_t(channels));
  sf_command(sound.handle, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  const float quiet = float(std::pow(10.0, kSilencePeakDb / 20.0));
  sf_count_t frames = 0;
  sf_count_t run = 0, longestRun = 0;  // frames of silence
  float peak = 0;
  for (;;) {
    const sf_count_t got = sf_readf_float(sound.handle, block.data(), kBlock);
    if (got <= 0) break;
    frames += got;
    for (sf_count_t f = 0; f < got; ++f) {
      float loudest = 0;
      for (int c = 0; c < channels; ++c)
        loudest = std::max(loudest, std::fabs(block[std::size_t(f * channels + c)]));
      peak = std::max(peak, loudest);
      if (loudest < quiet) longestRun = std::max(longestRun, ++run);
      else run = 0;
    }
  }
  if (sf_error(sound.handle) != SF_ERR_NO_ERROR && frames == 0) {
    v.fault = RecordingVerdict::Unreadable;
    return v;
  }
  v.seconds = double(frames) / sound.info.samplerate;
  v.longestSilence = double(longestRun) / sound.info.samplerate;
  if (peak > 0) v.peakDb = 20.0 * std::log10(double(peak));
  if (frames == 0) v.fault = RecordingVerdict::Unreadable;
  else if (v.seconds < recordedSeconds - kShortToleranceSeconds) v.fault = RecordingVerdict::TooShort;
  else if (!(v.peakDb >= kSilencePeakDb)) v.fault = RecordingVerdict::Silent;
  else if (v.longestSilence > kSilentGapSeconds) v.fault = RecordingVerdict::SilentGap;
  else v.fault = RecordingVerdict::Ok;
  return v;
}

double soundLength(const QString& file) {
  if (!QFileInfo(file).isFile()) return -1;
  SoundFile sound(file);
  if (!sound.handle || sound.info.frames <= 0) return -1;
  return double(sound.info.frames) / sound.info.samplerate;
}

double decodedLength(const QString& file) {
  if (!QFileInfo(file).isFile()) return -1;
  SoundFile sound(file);
  if (!sound.handle) return -1;
  // Frames are read (not sought over): only what decodes is counted. The
  // samples are not looked at, so short reads into one small block suffice.
  constexpr sf_count_t kBlock = 8192;
  std::vector<short> block(std::size_t(kBlock) * std::size_t(sound.info.channels));
  sf_count_t frames = 0;
  for (;;) {
    const sf_count_t got = sf_readf_short(sound.handle, block.data(), kBlock);
    if (got <= 0) break;
    frames += got;
  }
  return frames > 0 ? double(frames) / sound.info.samplerate : -1;
}

QString verdictName(RecordingVerdict::Fault fault) {
  switch (fault) {
    case RecordingVerdict::Ok: return QStringLiteral("ok");
    case RecordingVerdict::Missing: return QStringLiteral("missing");
    case RecordingVerdict::Unreadable: return QStringLiteral("unreadable");
    case RecordingVerdict::TooShort: return QStringLiteral("too-short");
    case RecordingVerdict::Silent: return QStringLiteral("silent");
    case RecordingVerdict::SilentGap: return QStringLiteral("silent-gap");
  }
  return {};
}

QString verdictWarning(RecordingVerdict::Fault fault) {
  switch (fault) {
    case RecordingVerdict::Ok: return {};
    case RecordingVerdict::Missing:
    case RecordingVerdict::Unreadable:
      return QStringLiteral("Внимание: запись не сохранилась (файла нет или он повреждён). "
                            "Проверьте микрофон и запишите ещё раз.");
    case RecordingVerdict::TooShort:
      return QStringLiteral("Внимание: запись короче, чем шла запись, часть звука потеряна. "
                            "Проверьте микрофон и запишите ещё раз.");
    case RecordingVerdict::Silent:
      return QStringLiteral("Внимание: запись пустая, микрофон не передал звука. "
                            "Проверьте, подключён ли микрофон, и запишите ещё раз.");
    case RecordingVerdict::SilentGap:
      return QStringLiteral("Внимание: в записи есть пауза без звука дольше 10 секунд, возможно, "
                            "микрофон на время отключался. Прослушайте запись и проверьте микрофон.");
  }
  return {};
}

QString formatLength(double seconds) {
  const long long whole = seconds > 0 ? std::llround(std::floor(seconds + 0.5)) : 0;
  return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace station

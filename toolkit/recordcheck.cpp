#include "toolkit/recordcheck.h"

#include <sndfile.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace station {

namespace {

// Bytes in memory read by libsndfile as if they were a file.
struct MemoryFile {
  const QByteArray* bytes;
  sf_count_t at = 0;

  static sf_count_t length(void* self) { return static_cast<MemoryFile*>(self)->bytes->size(); }
  static sf_count_t seek(sf_count_t offset, int whence, void* self) {
    auto* m = static_cast<MemoryFile*>(self);
    const sf_count_t base = whence == SEEK_CUR ? m->at : whence == SEEK_END ? m->bytes->size() : 0;
    const sf_count_t to = base + offset;
    if (to < 0 || to > m->bytes->size()) return -1;
    return m->at = to;
  }
  static sf_count_t read(void* into, sf_count_t count, void* self) {
    auto* m = static_cast<MemoryFile*>(self);
    const sf_count_t n = std::clamp<sf_count_t>(m->bytes->size() - m->at, 0, std::max<sf_count_t>(count, 0));
    std::memcpy(into, m->bytes->constData() + m->at, std::size_t(n));
    m->at += n;
    return n;
  }
  static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
  static sf_count_t tell(void* self) { return static_cast<MemoryFile*>(self)->at; }
};

struct SoundFile {
  SNDFILE* handle = nullptr;
  SF_INFO info{};
  explicit SoundFile(const QString& file) {
    handle = sf_open(QFile::encodeName(file).constData(), SFM_READ, &info);
    drop();
  }
  explicit SoundFile(MemoryFile* memory) {
    static SF_VIRTUAL_IO io{&MemoryFile::length, &MemoryFile::seek, &MemoryFile::read, &MemoryFile::write,
                            &MemoryFile::tell};
    handle = sf_open_virtual(&io, SFM_READ, &info, memory);
    drop();
  }
  void drop() {
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

// The verdict on an opened sound (null handle: unreadable).
RecordingVerdict judge(SoundFile& sound, double recordedSeconds);

}  // namespace

RecordingVerdict checkRecording(const QString& file, double recordedSeconds) {
  if (!QFileInfo(file).isFile()) {
    RecordingVerdict v;
    v.peakDb = -std::numeric_limits<double>::infinity();
    return v;
  }
  SoundFile sound(file);
  return judge(sound, recordedSeconds);
}

CheckedFile checkRecordingBytes(const QString& file, double recordedSeconds) {
  CheckedFile out;
  out.verdict.peakDb = -std::numeric_limits<double>::infinity();
  QFile f(file);
  if (!QFileInfo(file).isFile()) return out;
  if (!f.open(QIODevice::ReadOnly) || f.size() > kCheckReadLimit) {
    out.verdict.fault = RecordingVerdict::Unreadable;
    return out;
  }
  const QByteArray bytes = f.readAll();
  out.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
  MemoryFile memory{&bytes};
  SoundFile sound(&memory);
  out.verdict = judge(sound, recordedSeconds);
  return out;
}

namespace {

RecordingVerdict judge(SoundFile& sound, double recordedSeconds) {
  RecordingVerdict v;
  v.peakDb = -std::numeric_limits<double>::infinity();
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

}  // namespace

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
      return QStringLiteral("Внимание: файл короче, чем длилась запись, часть звука потеряна. "
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

QString checkedDetails(const QString& file, const RecordingVerdict& v, const QByteArray& sha256) {
  QString details = QStringLiteral("%1; length %2 s; peak %3 dBFS; %4")
                        .arg(file, QString::number(v.seconds, 'f', 2),
                             std::isfinite(v.peakDb) ? QString::number(v.peakDb, 'f', 1) : QStringLiteral("-inf"),
                             verdictName(v.fault));
  if (!sha256.isEmpty()) details += QStringLiteral("; sha256 ") + QString::fromLatin1(sha256);
  return details;
}

bool parseCheckedDetails(const QString& details, CheckedLine* out) {
  static const QRegularExpression line(
      QStringLiteral(R"(^(.*); length (\d+(?:\.\d+)?) s; peak [^;]*; ([^;]*?)(?:; sha256 ([0-9a-f]{64}))?\s*$)"));
  const QRegularExpressionMatch m = line.match(details);
  if (!m.hasMatch()) return false;
  out->file = m.captured(1);
  out->seconds = m.captured(2).toDouble();
  out->verdict = m.captured(3).trimmed();
  out->sha256 = m.captured(4).toLatin1();
  return true;
}

QString stopDetails(const QString& file, double seconds, const QString& how) {
  return QStringLiteral("%1; %2 s recorded; %3").arg(file, QString::number(seconds, 'f', 2), how);
}

bool parseStopDetails(const QString& details, QString* file, double* seconds) {
  static const QRegularExpression line(QStringLiteral(R"(^(.*); (\d+(?:\.\d+)?) s recorded; [^;]*$)"));
  const QRegularExpressionMatch m = line.match(details);
  if (!m.hasMatch()) return false;
  *file = m.captured(1);
  *seconds = m.captured(2).toDouble();
  return true;
}

QString formatLength(double seconds) {
  const long long whole = seconds > 0 ? std::llround(std::floor(seconds + 0.5)) : 0;
  return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace station

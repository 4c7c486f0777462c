#include "recorder/recorder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "recorder/filing.h"
#include "toolkit/guard.h"
#include "toolkit/journal.h"
#include "toolkit/levelmeter.h"
#include "toolkit/russian.h"

audio::Handle RecordChannel = 0;
audio::Handle RecordedStream = 0;

namespace station {

namespace {

QString clockTime(std::int64_t wallMs) {
  return QDateTime::fromMSecsSinceEpoch(wallMs).toString(QStringLiteral("HH:mm:ss"));
}

QString megabytes(qint64 bytes) { return station::russian::decimal(double(bytes) / 1'000'000.0, 1); }

}  // namespace

Recorder::Recorder(QObject* parent) : QObject(parent) {}

Recorder::~Recorder() = default;

const char* Recorder::stateName(State s) {
  switch (s) {
    case State::Idle: return "idle";
    case State::Recording: return "recording";
    case State::Closing: return "closing";
    case State::Finished: return "finished";
  }
  return "?";
}

double Recorder::seconds() const { return clock_.isValid() ? clock_.elapsed() / 1000.0 : 0.0; }

bool Recorder::recordProc(audio::Handle handle, const void* buffer, std::uint32_t length, void* user) {
  auto* self = static_cast<Recorder*>(user);
  if (self->measuring_.load(std::memory_order_relaxed)) {
    const auto* samples = static_cast<const std::int16_t*>(buffer);
    int peak = 0;
    for (std::uint32_t i = 0; i < length / 2; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    int seen = self->blockPeak_.load(std::memory_order_relaxed);
    while (peak > seen && !self->blockPeak_.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
    }
  }
  // The recording ends by itself once the encoder no longer takes input.
  return audio::encodeIsActive(handle) != audio::Stopped;
}

// The one timer of the recorder: from the first recording on it looks at
// the recording and the output device; while a recording runs with the bar
// shown, it also takes the level, at the bar's pace. One timer, so the UI
// thread wakes once per look, not once for each job.
void Recorder::setTimer() {
  if (state_ == State::Finished) {
    if (timer_) timer_->stop();
    return;
  }
  if (!timer_) {
    timer_ = new QTimer(this);
    onEvent(timer_, &QTimer::timeout, this, [this] { tick(); });
  }
  // The bar at its pace only while someone can see it; otherwise the look
  // every kWatchMs notices when the window is back.
  const bool metering = state_ == State::Recording && meterShown_ && meter_ && meter_->canBeSeen();
  const int interval = metering ? kMeterMs : kWatchMs;
  if (!timer_->isActive() || timer_->interval() != interval) timer_->start(interval);
}

void Recorder::meterOn(bool on) {
  on = on && meterShown_;
  measuring_.store(on, std::memory_order_relaxed);
  blockPeak_.store(0, std::memory_order_relaxed);
  emit meterActive(on);
}

void Recorder::setMeterShown(bool shown) {
  meterShown_ = shown;
  if (!shown) meterOn(false);
  if (timer_) setTimer();
}

void Recorder::report(std::vector<Report> reports) {
  for (const Report& r : reports) emit failed(r.message, r.code);
}

// Ends the running recording: stopping lets the encoder finish the file and
// waits for it (bounded). Then the bar is hidden, the journal told and the
// file's check started. Returns what must be reported, if anything.
std::vector<Recorder::Report> Recorder::finish(const char* how) {
  std::vector<Report> reports;
  state_ = State::Closing;
  const double recorded = seconds();
  const bool endedEarly = audio::encodeIsActive(RecordChannel) == audio::Stopped;
  const audio::Handle handle = RecordChannel;
  const bool stopped = audio::channelStop(RecordChannel);
  const int code = stopped ? int(audio::ErrEncoderEnded) : audio::errorGetCode();
  RecordChannel = 0;
  // What the device did until the end; a gap still open is closed by it.
  reports = deviceEvents(handle);
  lookAtSilence(handle, true);
  const audio::RecordStatus status = audio::recordStatus(handle);
  if (!status.gaps.empty() && !status.gaps.back().cameBack) {
    const audio::RecordGap& gap = status.gaps.back();
    journalGap(gap);
    reports.push_back({QStringLiteral("Микрофон отключился в %1 и не вернулся до конца ответа: с этого времени "
                                      "в файле ответа тишина.\nФайл ответа: %2\n"
                                      "Проверьте микрофон или пригласите технического специалиста.")
                           .arg(clockTime(gap.fromWallMs), file_),
                       kPlain});
  }
  meterOn(false);
  if (!stopped && code == audio::ErrEncoderTimeout) {
    reports.push_back({QStringLiteral("Программа кодирования не успела дописать файл ответа:\n%1").arg(file_), code});
  } else if (!stopped && code == audio::ErrDeviceLost) {
    reports.push_back({QStringLiteral("Запись ответа прервалась: устройство записи звука стало недоступно "
                                      "(микрофон отключён или звуковая служба остановлена).\n"
                                      "Записанное до этого сохранено в файле: %1")
                           .arg(file_),
                       code});
  } else if (endedEarly || !stopped) {
    // An encoder that could not write on ends early too: then the disk is
    // named, not the encoder.
    const qint64 free = freeBytesFor(file_);
    if (free >= 0 && free < kFullBelowBytes) {
      reports.push_back({QStringLiteral("Запись ответа прервалась: на диске нет места (свободно %1 МБ).\n"
                                        "Записанное до этого сохранено в файле: %2\n"
                                        "Освободите место на диске или пригласите технического специалиста.")
                             .arg(megabytes(free), file_),
                         kPlain});
    } else {
      reports.push_back({QStringLiteral("Запись ответа прервалась: программа кодирования "
                                        "завершилась раньше времени.\nФайл ответа: %1")
                             .arg(file_),
                         code});
    }
  }
  const QString file = file_;
  const int id = id_;
  const int stage = journal::stage();
  // On disk for good before the stop is journaled and the stage goes on.
  flushMicros_ = flushToDisk(file);
  journalStop(file, recorded, how);
  fileLater(file, recorded, stage, manifestDir_, manifestKey_, [self = QPointer<Recorder>(this), id, file](const RecordingVerdict& v) {
    // Read on this thread, the recorder's own.
    if (self) emit self->checked(id, file, v);
  });
  state_ = State::Idle;
  return reports;
}

void Recorder::lookAtSilence(audio::Handle handle, bool ending) {
  using audio::SilenceWatch;
  const SilenceWatch::Seen seen = audio::recordSilence(handle);
  const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
  // The time of day at a frame judged, counted back from the last one judged.
  const auto wallAt = [&](std::uint64_t frame) {
    return now - std::int64_t((seen.judged - std::min(frame, seen.judged)) * 1000 / SilenceWatch::kFramesPerSecond);
  };
  const auto iso = [](std::int64_t wall) { return QDateTime::fromMSecsSinceEpoch(wall).toString(Qt::ISODateWithMs); };
  if (silentFrom_ == SilenceWatch::kNone) {
    if (ending || !seen.silent()) return;
    silentFrom_ = seen.quietFrom;
    silentFromWallMs_ = wallAt(seen.quietFrom);
    journal::write(QStringLiteral("no-sound-start"),
                   QStringLiteral("%1; silent since %2").arg(file_, iso(silentFromWallMs_)));
    emit silenceChanged(true);
    return;
  }
  QString how;
  std::uint64_t to = seen.judged;
  if (seen.quietFrom != silentFrom_) {
    // The run told has ended: where the sound came back, or the device went.
    if (seen.endedFrom == silentFrom_) to = seen.endedTo;
    how = audio::recordStatus(handle).deviceLost ? QStringLiteral("the device went away")
                                                  : QStringLiteral("sound came back");
  } else if (ending) {
    how = QStringLiteral("until the end of the recording");
  } else {
    return;
  }
  const double seconds = double(to - std::min(to, silentFrom_)) / SilenceWatch::kFramesPerSecond;
  journal::write(QStringLiteral("no-sound-end"),
                 QStringLiteral("%1; silent from %2 to %3 (%4 s); %5")
                     .arg(file_, iso(silentFromWallMs_), iso(wallAt(to)), QString::number(seconds, 'f', 1), how));
  silentFrom_ = SilenceWatch::kNone;
  emit silenceChanged(false);
}

void Recorder::journalGap(const audio::RecordGap& gap) {
  journal::write(QStringLiteral("recording-gap"),
                 QStringLiteral("%1; from %2 to %3 (%4 s); %5")
                     .arg(file_, QDateTime::fromMSecsSinceEpoch(gap.fromWallMs).toString(Qt::ISODateWithMs),
                          QDateTime::fromMSecsSinceEpoch(gap.toWallMs).toString(Qt::ISODateWithMs),
                          QString::number((gap.toWallMs - gap.fromWallMs) / 1000.0, 'f', 1),
                          gap.cameBack ? QStringLiteral("the device came back")
                                       : QStringLiteral("until the end of the recording")));
}

// What the recording device did since the last look: a lost microphone is
// told at once (the recording goes on, silence in the file), its return
// with the gap it left, a change of input only in the journal.
std::vector<Recorder::Report> Recorder::deviceEvents(audio::Handle handle) {
  std::vector<Report> reports;
  for (const audio::RecordEvent& e : audio::recordEvents(handle)) {
    switch (e.kind) {
      case audio::DeviceLost:
        journal::write(QStringLiteral("device-lost"), QStringLiteral("%1; %2").arg(file_, e.previous));
        reports.push_back({QStringLiteral("Микрофон отключился (%1): устройство записи звука стало недоступно.\n"
                                          "Запись ответа продолжается: пока микрофона нет, в файл пишется тишина, "
                                          "а как только микрофон снова подключат, запись пойдёт в тот же файл.\n"
                                          "Подключите микрофон или пригласите технического специалиста.")
                               .arg(clockTime(e.wallMs)),
                           kPlain});
        break;
      case audio::DeviceBack: {
        journal::write(QStringLiteral("device-back"), QStringLiteral("%1; %2").arg(file_, e.device));
        const audio::RecordStatus status = audio::recordStatus(handle);
        for (const audio::RecordGap& gap : status.gaps)
          if (gap.cameBack && gap.toWallMs == e.wallMs) journalGap(gap);
        const std::int64_t from = status.gaps.empty() ? e.wallMs : status.gaps.back().fromWallMs;
        reports.push_back({QStringLiteral("Микрофон снова подключён: он был отключён с %1 по %2.\n"
                                          "Запись ответа продолжается в тот же файл, пропуск заполнен тишиной.")
                               .arg(clockTime(from), clockTime(e.wallMs)),
                           kPlain});
        break;
      }
      case audio::DeviceChanged:
        journal::write(QStringLiteral("device-changed"),
                       QStringLiteral("%1; from %2 to %3").arg(file_, e.previous, e.device));
        break;
      default:
        break;
    }
  }
  return reports;
}

void Recorder::start(const QString& file) {
  std::vector<Report> reports;
  switch (state_) {
    case State::Finished:
    case State::Closing:
      return;
    case State::Recording:
      reports = finish("ended by the next recording");
      break;
    case State::Idle:
      break;
  }

  if (RecordedStream != 0) {
    audio::streamFree(RecordedStream);
    RecordedStream = 0;
  }
  file_ = file;
  // An answer that cannot be written is not started: a full disk is told
  // now, not by an encoder that gives up a few seconds into the answer.
  if (const qint64 free = freeBytesFor(file); roomNeeded_ > 0 && free >= 0 && free < roomNeeded_) {
    journal::write(QStringLiteral("recording-refused"),
                   QStringLiteral("%1; %2 bytes free, %3 needed").arg(file).arg(free).arg(roomNeeded_));
    reports.push_back({QStringLiteral("На диске нет места для записи ответа: свободно %1 МБ, "
                                      "а для ответа нужно не меньше %2 МБ.\n"
                                      "Ответ не записывается. Освободите место на диске или пригласите "
                                      "технического специалиста.\nФайл ответа: %3")
                           .arg(megabytes(free), megabytes(roomNeeded_), file),
                       kPlain});
    setTimer();
    report(std::move(reports));
    return;
  }
  // Devices that could not be opened at start-up (or have gone away since)
  // are tried again at every recording; open ones answer ErrAlready at once.
  int deviceError = audio::ErrOk;
  if (!audio::recordInit(-1) && audio::errorGetCode() != audio::ErrAlready) deviceError = audio::errorGetCode();
  else audio::init(-1, 44100, 0, 0);

  RecordChannel = deviceError != audio::ErrOk
                      ? 0
                      : audio::recordStart(44100, 2, audio::kRecordPause, &Recorder::recordProc, this);
  if (RecordChannel == 0) {
    reports.push_back({QStringLiteral("Couldn't start recording"),
                       deviceError != audio::ErrOk ? deviceError : audio::errorGetCode()});
  } else if (audio::encodeStart(RecordChannel,
                                {QStringLiteral("oggenc"), QStringLiteral("-o"), file, QStringLiteral("-")},
                                audio::kEncodeAutoFree) == 0) {
    reports.push_back({QStringLiteral("Couldn't start encoding...\nMake sure OGGENC.EXE (if encoding to OGG) "
                                      "is in the same\ndirecory as this RECTEST, or LAME.EXE (if encoding "
                                      "to MP3)."),
                       audio::errorGetCode()});
    audio::channelStop(RecordChannel);
    RecordChannel = 0;
  } else {
    // Created paused and started only now that the encoder is attached: the
    // file gets the signal from its first sample.
    audio::channelPlay(RecordChannel, false);
    clock_.start();
    ++id_;
    state_ = State::Recording;
    journal::write(QStringLiteral("recording-start"), file);
    meterOn(true);
  }
  setTimer();
  // The boxes come last: their event loops let the stage's timers run, and
  // those may start or stop recordings themselves.
  report(std::move(reports));
}

void Recorder::stop(const QString& file) {
  std::vector<Report> reports;
  bool wasRecording = false;
  switch (state_) {
    case State::Finished:
    case State::Closing:
      return;
    case State::Recording:
      wasRecording = true;
      reports = finish("stopped");
      break;
    case State::Idle:
      break;
  }
  setTimer();
  if (RecordedStream != 0) audio::streamFree(RecordedStream);
  RecordedStream = audio::streamCreateFile(file);
  if (RecordedStream == 0 && wasRecording && reports.empty()) {
    reports.push_back({QStringLiteral("Файл ответа не удалось открыть после записи:\n%1").arg(file),
                       audio::errorGetCode()});
  }
  report(std::move(reports));
}

void Recorder::endSound() {
  switch (state_) {
    case State::Recording:
      stop(file_);
      break;
    case State::Idle:
    case State::Closing:
    case State::Finished:
      break;
  }
  audio::channelStop(RecordedStream);
}

// A recording that has ended by itself is ended here at once: the encoder
// reaped, what it wrote kept, the stage told, the fault reported. An output
// device that went away during a playback is reported too.
void Recorder::tick() {
  std::vector<Report> reports;
  if (audio::outputLost())
    reports.push_back({QStringLiteral("Воспроизведение прервалось: устройство воспроизведения звука стало "
                                      "недоступно (колонки или наушники отключены, или звуковая служба "
                                      "остановлена)."),
                       audio::ErrDeviceLost});
  bool ended = false;
  switch (state_) {
    case State::Recording:
      if (audio::channelIsActive(RecordChannel) == audio::Stopped) {
        for (Report& r : finish("ended by itself")) reports.push_back(std::move(r));
        setTimer();
        ended = true;
      } else {
        for (Report& r : deviceEvents(RecordChannel)) reports.push_back(std::move(r));
        lookAtSilence(RecordChannel, false);
        if (meter_ && meterShown_) {
          // The capture measures only for a bar that someone can see.
          const bool seen = meter_->canBeSeen();
          if (seen && measuring_.load(std::memory_order_relaxed))
            meter_->take(blockPeak_.exchange(0, std::memory_order_relaxed));
          if (seen != measuring_.load(std::memory_order_relaxed)) {
            measuring_.store(seen, std::memory_order_relaxed);
            blockPeak_.store(0, std::memory_order_relaxed);
          }
          setTimer();  // the bar's pace while it can be seen, the watch's otherwise
        }
      }
      break;
    case State::Idle:
    case State::Closing:
    case State::Finished:
      break;
  }
  if (ended) emit endedByItself();
  report(std::move(reports));
}

void Recorder::endOnSignal() {
  switch (state_) {
    case State::Recording: {
      // Finished, not cut off: the encoder gets the end of its input and
      // writes a complete file. Nobody is left to read a box about it; its
      // check and manifest line are written before the station ends (the
      // end waits for them).
      const double recorded = seconds();
      lookAtSilence(RecordChannel, true);
      audio::channelStop(RecordChannel);
      flushMicros_ = flushToDisk(file_);
      journalStop(file_, recorded, "ended with the station");
      fileLater(file_, recorded, journal::stage(), manifestDir_, manifestKey_, [](const RecordingVerdict&) {});
      break;
    }
    case State::Idle:
    case State::Closing:
    case State::Finished:
      break;
  }
  RecordChannel = 0;
  measuring_.store(false, std::memory_order_relaxed);
  audio::channelStop(RecordedStream);
  state_ = State::Finished;
  setTimer();
}

void Recorder::release() {
  RecordChannel = 0;
  RecordedStream = 0;
  if (state_ != State::Finished) state_ = State::Idle;
  if (timer_) timer_->stop();
}

}  // namespace station

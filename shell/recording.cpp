// The answer recorder: StartRecording / StopRecording of the main window.
//
// A recording is the default recording device at 44100 Hz, 2 channels,
// 16-bit, piped into "oggenc -o FILE -". Every way a recording can fail to
// reach its file is told to the person at the station in the audio error
// box; the calling stage goes on with its timing either way. A recording
// that ends by itself (the encoder killed or out of disk space, the
// microphone unplugged, the sound server gone) is noticed within a second
// and told then, not at the next button press.
//
// While a recording runs, the input level bar shows the loudest sample the
// recorder saw in each twentieth of a second. When it ends, its file is
// checked (decoded whole, on a worker thread) and the journal told.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/audio.h"
#include "shell/guard.h"
#include "shell/journal.h"
#include "shell/levelmeter.h"
#include "shell/main.h"
#include "shell/recordcheck.h"

namespace {

// How often the running recording is looked at.
constexpr int kWatchMs = 200;
// How often the level bar takes the loudest sample since the last time.
constexpr int kMeterMs = 50;

// The file the running recording goes into (for the reports).
QString RecordingFile;
// Set once the station ends on a signal: nothing records any more.
bool StationEnding = false;
// Since when the running recording runs.
QElapsedTimer RecordingClock;

// The loudest sample the capture thread saw since the level bar last took
// it; the level is measured only while the bar is shown.
std::atomic<int> BlockPeak{0};
std::atomic<bool> MeterOn{true};

using Report = TfrmMain::RecordingReport;

// How long the running recording has run, in seconds.
double recordedSeconds() { return RecordingClock.isValid() ? RecordingClock.elapsed() / 1000.0 : 0.0; }

// The journal's line for a recording that has ended.
void journalStop(const QString& file, double seconds, const char* how) {
  station::journal::write(QStringLiteral("recording-stop"), QStringLiteral("%1; %2 s recorded; %3")
                                                                 .arg(file, QString::number(seconds, 'f', 2),
                                                                      QLatin1String(how)));
}

bool RecordProc(audio::Handle handle, const void* buffer, std::uint32_t length, void*) {
  if (MeterOn.load(std::memory_order_relaxed)) {
    const auto* samples = static_cast<const std::int16_t*>(buffer);
    int peak = 0;
    for (std::uint32_t i = 0; i < length / 2; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    int seen = BlockPeak.load(std::memory_order_relaxed);
    while (peak > seen && !BlockPeak.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
    }
  }
  // The recording ends by itself once the encoder no longer takes input.
  return audio::encodeIsActive(handle) != audio::Stopped;
}

// Ends the running recording. Stopping lets the encoder finish the file and
// waits for it (bounded). Returns what must be reported, if anything.
std::vector<Report> EndRecording() {
  std::vector<Report> reports;
  if (RecordChannel == 0) return reports;
  const bool endedEarly = audio::encodeIsActive(RecordChannel) == audio::Stopped;
  const bool stopped = audio::channelStop(RecordChannel);
  const int code = stopped ? int(audio::ErrEncoderEnded) : audio::errorGetCode();
  RecordChannel = 0;
  if (!stopped && code == audio::ErrEncoderTimeout) {
    reports.push_back({QStringLiteral("Программа кодирования не успела дописать файл ответа:\n%1")
                           .arg(RecordingFile),
                       code});
  } else if (!stopped && code == audio::ErrDeviceLost) {
    reports.push_back({QStringLiteral("Запись ответа прервалась: устройство записи звука стало недоступно "
                                      "(микрофон отключён или звуковая служба остановлена).\n"
                                      "Записанное до этого сохранено в файле: %1")
                           .arg(RecordingFile),
                       code});
  } else if (endedEarly || !stopped) {
    reports.push_back({QStringLiteral("Запись ответа прервалась: программа кодирования "
                                      "завершилась раньше времени.\nФайл ответа: %1")
                           .arg(RecordingFile),
                       code});
  }
  return reports;
}

}  // namespace

bool TfrmMain::isRecording() const { return RecordChannel != 0; }

// Ends the running recording (EndRecording) and then what goes with it: the
// level bar hidden, the journal told, the file's check started.
std::vector<Report> TfrmMain::endRunningRecording(const char* how) {
  if (RecordChannel == 0) return {};
  const double seconds = recordedSeconds();
  std::vector<Report> reports = EndRecording();
  showLevelMeter(false);
  const QString file = RecordingFile;
  const int id = recordingId_;
  const int stage = station::journal::stage();
  journalStop(file, seconds, how);
  station::checkRecordingLater(this, file, seconds, [this, id, file, stage](const station::RecordingVerdict& v) {
    station::journal::write(QStringLiteral("recording-checked"),
                            QStringLiteral("%1; length %2 s; peak %3 dBFS; %4")
                                .arg(file, QString::number(v.seconds, 'f', 2),
                                     std::isfinite(v.peakDb) ? QString::number(v.peakDb, 'f', 1)
                                                             : QStringLiteral("-inf"),
                                     station::verdictName(v.fault)),
                            stage);
    emit recordingChecked(id, file, v);
  });
  return reports;
}

void TfrmMain::showLevelMeter(bool on) {
  if (!levelMeter_) {
    levelMeter_ = new station::LevelMeter(this);
    meterTimer_ = new QTimer(this);
    meterTimer_->setInterval(kMeterMs);
    connect(meterTimer_, &QTimer::timeout, this,
            [this] { levelMeter_->take(BlockPeak.exchange(0, std::memory_order_relaxed)); });
  }
  on = on && meterShown_;
  MeterOn.store(on, std::memory_order_relaxed);
  BlockPeak.store(0, std::memory_order_relaxed);
  levelMeter_->reset();
  // The top right corner: free of every recording screen's controls.
  levelMeter_->setGeometry(width() - kMeterWidth - 8, 6, kMeterWidth, kMeterHeight);
  levelMeter_->setVisible(on);
  if (on) {
    levelMeter_->raise();
    meterTimer_->start();
  } else {
    meterTimer_->stop();
  }
}

void TfrmMain::setLevelMeterShown(bool shown) {
  meterShown_ = shown;
  if (!shown) showLevelMeter(false);
}

void TfrmMain::StartRecording(const QString& file) {
  if (StationEnding) return;
  // A recording still running is ended first, so it can never be orphaned.
  std::vector<Report> reports = endRunningRecording("ended by the next recording");

  if (RecordedStream != 0) {
    audio::streamFree(RecordedStream);
    RecordedStream = 0;
  }
  RecordingFile = file;
  // Devices that could not be opened at start-up (or have gone away since)
  // are tried again at every recording; open ones answer ErrAlready at once.
  int deviceError = audio::ErrOk;
  if (!audio::recordInit(-1) && audio::errorGetCode() != audio::ErrAlready) deviceError = audio::errorGetCode();
  else audio::init(-1, 44100, 0, MainWindowHandle);

  RecordChannel = deviceError != audio::ErrOk
                      ? 0
                      : audio::recordStart(44100, 2, audio::kRecordPause, &RecordProc, nullptr);
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
    RecordingClock.start();
    ++recordingId_;
    station::journal::write(QStringLiteral("recording-start"), file);
    showLevelMeter(true);
  }
  startWatch();

  // The boxes come last: their event loops let the stage's timers run, and
  // those may start or stop recordings themselves.
  for (const Report& r : reports) ShowError(r.message, r.code);
}

void TfrmMain::StopRecording(const QString& file) {
  startWatch();
  const bool wasRecording = RecordChannel != 0;
  std::vector<Report> reports = endRunningRecording("stopped");

  if (RecordedStream != 0) audio::streamFree(RecordedStream);
  RecordedStream = audio::streamCreateFile(file);
  if (RecordedStream == 0 && wasRecording && reports.empty()) {
    reports.push_back({QStringLiteral("Файл ответа не удалось открыть после записи:\n%1").arg(file),
                       audio::errorGetCode()});
  }
  for (const Report& r : reports) ShowError(r.message, r.code);
}

void TfrmMain::endStageSound() {
  if (RecordChannel != 0) StopRecording(RecordingFile);
  audio::channelStop(RecordedStream);
}

// From the first recording on, the recording and the playback device are
// looked at all the time.
void TfrmMain::startWatch() {
  if (recordingWatch_ || StationEnding) return;
  recordingWatch_ = new QTimer(this);
  recordingWatch_->setInterval(kWatchMs);
  station::onEvent(recordingWatch_, &QTimer::timeout, this, [this] { watchRecording(); });
  recordingWatch_->start();
}

// A recording that has ended by itself is ended here at once: the encoder
// reaped, what it wrote kept, the stage told, the fault reported. An output
// device that went away during a playback is reported too.
void TfrmMain::watchRecording() {
  std::vector<Report> reports;
  if (audio::outputLost())
    reports.push_back({QStringLiteral("Воспроизведение прервалось: устройство воспроизведения звука стало "
                                      "недоступно (колонки или наушники отключены, или звуковая служба "
                                      "остановлена)."),
                       audio::ErrDeviceLost});
  if (RecordChannel != 0 && audio::channelIsActive(RecordChannel) == audio::Stopped) {
    for (Report& r : endRunningRecording("ended by itself")) reports.push_back(std::move(r));
    emit recordingEndedByItself();
  }
  for (const Report& r : reports) ShowError(r.message, r.code);
}

void TfrmMain::endOnSignal() {
  StationEnding = true;
  if (recordingWatch_) recordingWatch_->stop();
  // Finished, not cut off: the encoder gets the end of its input and writes
  // a complete file. Nobody is left to read a box about it, nor to wait for
  // its check.
  if (RecordChannel != 0) {
    const double seconds = recordedSeconds();
    audio::channelStop(RecordChannel);
    journalStop(RecordingFile, seconds, "ended with the station");
  }
  RecordChannel = 0;
  audio::channelStop(RecordedStream);
  CanExit = true;
}

// The answer recorder: StartRecording / StopRecording of the main window.
//
// A recording is the default recording device at 44100 Hz, 2 channels,
// 16-bit, piped into "oggenc -o FILE -". Every way a recording can fail to
// reach its file is told to the person at the station in the audio error
// box; the calling stage goes on with its timing either way. A recording
// that ends by itself (the encoder killed or out of disk space, the
// microphone unplugged, the sound server gone) is noticed within a second
// and told then, not at the next button press.
#include <QTimer>
#include <vector>

#include "audio/audio.h"
#include "shell/guard.h"
#include "shell/main.h"

namespace {

// How often the running recording is looked at.
constexpr int kWatchMs = 200;

// The file the running recording goes into (for the reports).
QString RecordingFile;
// Set once the station ends on a signal: nothing records any more.
bool StationEnding = false;

struct Report {
  QString message;
  int code;
};

bool RecordProc(audio::Handle handle, const void*, std::uint32_t, void*) {
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

void TfrmMain::StartRecording(const QString& file) {
  if (StationEnding) return;
  // A recording still running is ended first, so it can never be orphaned.
  std::vector<Report> reports = EndRecording();

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
  }
  startWatch();

  // The boxes come last: their event loops let the stage's timers run, and
  // those may start or stop recordings themselves.
  for (const Report& r : reports) ShowError(r.message, r.code);
}

void TfrmMain::StopRecording(const QString& file) {
  startWatch();
  const bool wasRecording = RecordChannel != 0;
  std::vector<Report> reports = EndRecording();

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
    for (Report& r : EndRecording()) reports.push_back(std::move(r));
    emit recordingEndedByItself();
  }
  for (const Report& r : reports) ShowError(r.message, r.code);
}

void TfrmMain::endOnSignal() {
  StationEnding = true;
  if (recordingWatch_) recordingWatch_->stop();
  // Finished, not cut off: the encoder gets the end of its input and writes
  // a complete file. Nobody is left to read a box about it.
  if (RecordChannel != 0) audio::channelStop(RecordChannel);
  RecordChannel = 0;
  audio::channelStop(RecordedStream);
  CanExit = true;
}

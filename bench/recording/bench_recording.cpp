// What recording an answer costs: records from the default recording device
// through the station's recorder (SDL2, the encoder pipe, oggenc) for a
// minute (or argv[1] seconds) and prints, one figure a line as
// "name value unit":
//   station_cpu_ms_per_min  CPU time of this process per minute recorded
//   oggenc_cpu_ms_per_min   CPU time of oggenc per minute recorded
//   stop_to_playable_ms     from StopRecording to an open playback stream
// While it records, speech (espeak-ng, played by paplay in a process of its
// own) goes into the default output when those programs are there, so the
// encoder has a realistic signal; the player's CPU time is not counted.
#include <sndfile.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "audio/audio.h"
#include "shell/main.h"

namespace {

double cpuMs(int who) {
  rusage u{};
  getrusage(who, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// A WAV of `seconds` made of the speech in `speech`, repeated.
bool makeLongSpeech(const QString& speech, const QString& out, double seconds) {
  SF_INFO in{};
  SNDFILE* s = sf_open(QFile::encodeName(speech).constData(), SFM_READ, &in);
  if (!s) return false;
  std::vector<short> one(std::size_t(in.frames) * std::size_t(in.channels));
  sf_readf_short(s, one.data(), in.frames);
  sf_close(s);
  SF_INFO info = in;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* o = sf_open(QFile::encodeName(out).constData(), SFM_WRITE, &info);
  if (!o) return false;
  for (double done = 0; done < seconds; done += double(in.frames) / in.samplerate)
    sf_writef_short(o, one.data(), in.frames);
  sf_close(o);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 60.0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: bench-recording [seconds]\n");
    return 2;
  }
  QTemporaryDir dir;
  QStringList boxes;
  QTimer boxTimer;
  QObject::connect(&boxTimer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxes << box->text();
      box->accept();
    }
  });
  boxTimer.start(250);

  // The signal: speech in the default output, when we can make it.
  QString speech;
  if (!QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty() &&
      !QStandardPaths::findExecutable(QStringLiteral("paplay")).isEmpty()) {
    const QString one = dir.filePath(QStringLiteral("one.wav"));
    QProcess::execute(QStringLiteral("espeak-ng"),
                      {QStringLiteral("-w"), one, QStringLiteral("The answer to the first task is about the "
                                                                 "station, the room and the exam. ")});
    speech = dir.filePath(QStringLiteral("speech.wav"));
    if (!makeLongSpeech(one, speech, seconds + 1)) speech.clear();
  }
  std::fprintf(stderr, "# signal: %s\n", speech.isEmpty() ? "whatever the default recording device hears"
                                                          : "speech played into the default output");

  auto* main = new TfrmMain();
  if (!boxes.isEmpty()) {
    std::fprintf(stderr, "the sound devices cannot be used: %s\n", qPrintable(boxes.join(QLatin1Char(' '))));
    return 1;
  }
  qint64 player = 0;
  if (!speech.isEmpty()) QProcess::startDetached(QStringLiteral("paplay"), {speech}, QString(), &player);

  const QString file = dir.filePath(QStringLiteral("answer.ogg"));
  const double self0 = cpuMs(RUSAGE_SELF), children0 = cpuMs(RUSAGE_CHILDREN);
  main->StartRecording(file);
  QEventLoop loop;
  QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  QElapsedTimer stop;
  stop.start();
  main->StopRecording(file);
  const double stopMs = stop.nsecsElapsed() / 1e6;
  const bool playable = RecordedStream != 0;
  const double self1 = cpuMs(RUSAGE_SELF), children1 = cpuMs(RUSAGE_CHILDREN);
  // Where this process's time went, thread by thread (whole run, in ms).
  for (const QString& t : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(t));
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const QByteArray name = line.mid(line.indexOf('(') + 1, line.lastIndexOf(')') - line.indexOf('(') - 1);
    if (f.size() > 12)
      std::fprintf(stderr, "# thread %s: %.0f ms\n", name.constData(),
                   (f[11].toDouble() + f[12].toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK)));
  }
  if (player > 0) QProcess::execute(QStringLiteral("kill"), {QString::number(player)});

  SF_INFO info{};
  SNDFILE* f = sf_open(QFile::encodeName(file).constData(), SFM_READ, &info);
  const double recorded = f ? double(info.frames) / info.samplerate : 0.0;
  if (f) sf_close(f);
  delete main;

  const double perMin = 60.0 / seconds;
  std::printf("station_cpu_ms_per_min %.1f ms\n", (self1 - self0) * perMin);
  std::printf("oggenc_cpu_ms_per_min %.1f ms\n", (children1 - children0) * perMin);
  std::printf("stop_to_playable_ms %.1f ms\n", stopMs);
  std::printf("recorded_seconds %.3f s\n", recorded);
  if (!playable || !boxes.isEmpty()) {
    std::fprintf(stderr, "the recording failed: %s\n", qPrintable(boxes.join(QLatin1Char(' '))));
    return 1;
  }
  return 0;
}

// A day at one station, compressed: the equipment check, then participant
// after participant through every stage by the station's own controls, on
// the synthetic sound device and the real encoder, with the station's clock
// a hundred times faster. Prints the resident memory after participants 1,
// 10 and the last, the descriptors, threads and child processes before and
// after, and how many answer files decode with the length of their period.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <unistd.h>

#include "modal.h"
#include "toolkit/deliverable.h"
#include "window/main.h"
#include "sound_file.h"
#include "stages/FinishExam.h"
#include "stages/Instruction.h"
#include "stages/PlayAnswers.h"
#include "stages/Prepare.h"
#include "stages/RecStudID.h"
#include "stages/Task.h"
#include "stages/Task2.h"
#include "station_driver.h"
#include "station_fixture.h"

namespace {

constexpr double kScale = 0.01;  // one station second lasts 10 ms
constexpr double kSpeed = 10;    // the device delivers 10 s of sound a second
constexpr int kRate = 44100;

long statusField(const char* name) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long value = -1;
  const size_t n = std::strlen(name);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, name, n) == 0) value = std::atol(line + n + 1);
  std::fclose(f);
  return value;
}
long rssKb() { return statusField("VmRSS"); }
long threads() { return statusField("Threads"); }
long descriptors() { return long(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size()); }
long children() {
  long count = 0;
  const QString me = QString::number(getpid());
  for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
    QFile stat("/proc/" + pid + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
    if (fields.value(1) == me.toLatin1()) ++count;
  }
  return count;
}

template <class F>
bool at() { return qobject_cast<F*>(CurrentFrame.data()) != nullptr; }
void press(const char* name) { QTest::mouseClick(CurrentFrame->findChild<QPushButton*>(name), Qt::LeftButton); }

// The n-th participant code with its check digit.
QString participantCode(int n) {
  QString code = QStringLiteral("275%1").arg(n, 9, 10, QLatin1Char('0'));
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += (code[i].unicode() - '0') * (i % 2 ? 3 : 1);
  return code + QString::number((10 - sum % 10) % 10);
}

// One participant from the code entry to the completion stage, every period
// run out. False when a stage does not come.
bool participant(test::SyntheticDevice* dev, const QString& code) {
  auto* entry = test::stage<TfrmInstruction>(30000);
  if (!entry) return false;
  test::type(entry->Edit3, code.mid(3));
  press("Button1");
  if (!test::waitFor(at<TfrmRecStudID>, 30000)) return false;
  press("btnRecID");
  dev->waitCaptured(kRate, 10000);
  press("btnRecID");
  press("Button4");
  if (!test::waitFor([] { return CurrentFrame->findChild<QPushButton*>("Button1")->isEnabled(); }, 5000))
    return false;
  press("Button1");
  // The timed stages run by themselves up to the review.
  if (!test::waitFor(at<TfrmPlayAnswers>, 60000)) return false;
  press("btnPlay1");
  press("Button1");
  return test::stage<TfrmFinishExam>(30000) != nullptr;
}

// Answer files that decode and last about their period (the code recording:
// about a second of sound).
int goodFiles(const QString& folder, const QString& code) {
  const struct {
    const char* suffix;
    int ticks;
  } answers[] = {{"_00.ogg", 0},   {"_01.ogg", 181},  {"_02_1.ogg", 61}, {"_02_2.ogg", 61},
                 {"_02_3.ogg", 61}, {"_02_4.ogg", 61}, {"_02_5.ogg", 61}, {"_03.ogg", station::deliverable().flat() ? 181 : 241}};
  int good = 0;
  for (const auto& a : answers) {
    const test::SoundFile f = test::readSoundFile(folder + "/" + code + a.suffix);
    const double period = a.ticks * kScale * kSpeed;
    if (f.ok && f.seconds() > 0.5 && (!a.ticks || (f.seconds() >= period * 0.5 && f.seconds() <= period * 2.5 + 0.5)))
      ++good;
  }
  return good;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  test::StationFixture fx(kScale);
  auto* dev = test::installSyntheticDevice();
  dev->setSpeed(kSpeed);
  dev->setTone(600, 0.5);
  fx.startStation();
  test::passEquipmentCheck(dev);
  // The start values: the idle station waiting for its first participant.
  test::stage<TfrmInstruction>(30000);
  test::pump(300);
  const long fd0 = descriptors(), th0 = threads(), ch0 = children();
  std::printf("participants %d, at the first code entry: fds %ld threads %ld children %ld\n", count, fd0, th0,
              ch0);
  long rss1 = 0;
  long fdN = 0, thN = 0, chN = 0;
  int done = 0;
  QElapsedTimer clock;
  clock.start();
  for (int n = 1; n <= count; ++n) {
    if (!participant(dev, participantCode(n))) {
      std::printf("participant %d: a stage did not come\n", n);
      break;
    }
    ++done;
    if (n == 1) rss1 = rssKb();
    if (n == 1 || n == 10 || n == count)
      std::printf("after participant %d: rss_kb %ld (%+ld since participant 1), %.1f s\n", n, rssKb(),
                  rssKb() - rss1, clock.elapsed() / 1000.0);
    // The next participant, or after the last one the end of the day.
    if (n < count) {
      press("Button1");
      continue;
    }
    press("Button1");
    test::stage<TfrmInstruction>(30000);
    test::pump(300);
    fdN = descriptors(), thN = threads(), chN = children();
    test::ModalAnswerer yes("&Yes");
    press("Button2");
  }
  test::pump(200);
  const QString answers = QDir(fx.dir()).entryList({"Answer_*"}, QDir::Dirs).value(0);
  int good = 0;
  for (int n = 1; n <= done; ++n)
    good += goodFiles(fx.dir() + "/" + answers + "/" + participantCode(n), participantCode(n));
  std::printf("at the code entry after the last: fds %ld threads %ld children %ld (first: %ld %ld %ld)\n", fdN,
              thN, chN, fd0, th0, ch0);
  std::printf("answer files right: %d of %d\n", good, done * 8);
  return 0;
}

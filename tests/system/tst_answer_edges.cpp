// The first and the last second of a task answer on a real sound server: a
// tone burst played the moment the countdown window closes and another one
// right before the answer time runs out must both be in the answer file,
// the first at its very start, nothing lost between them, and the file must
// end with the answer period.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include "modal.h"
#include "test_deliverable.h"
#include "window/main.h"
#include "stages/FiveSec.h"
#include "station_fixture.h"
#include "support/sound_file.h"

namespace {

constexpr int kRate = 44100;

// Where the tone first makes up most of a 10 ms window; -1 if nowhere.
double findTone(const std::vector<float>& mono, double hz, double fromSec, double toSec) {
  const std::size_t win = kRate / 100;
  const std::size_t end = std::min(mono.size(), std::size_t(toSec * kRate));
  for (auto at = std::size_t(fromSec * kRate); at + win <= end; at += win / 4)
    if (test::rms(mono, at, at + win) > 0.05 && test::toneShare(mono, kRate, hz, at, at + win) > 0.6)
      return double(at) / kRate;
  return -1.0;
}

QByteArray pcm(const std::vector<std::int16_t>& samples) {
  return QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
}

}  // namespace

class TestAnswerEdges : public QObject {
  Q_OBJECT

 private slots:
  void taskAnswerKeepsItsFirstAndLastSecond() {
    test::StationFixture station;  // real time, the real SDL2 devices
    test::ModalAnswerer boxes;
    station.startStation();
    frmMain->AnswerKey = QStringLiteral("K");
    frmMain->ParticipantCode = QStringLiteral("2751234567897");
    if (!test::flat()) frmMain->KimVariant = QStringLiteral("1");
    constexpr int kAnswer = 4;
    frmMain->AnswerTime1 = kAnswer;

    // A player that is already running with a small buffer: what is written
    // to it sounds at once.
    QProcess player;
    player.start(QStringLiteral("pacat"), {QStringLiteral("--playback"), QStringLiteral("--latency-msec=10"),
                                           QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                                           QStringLiteral("--channels=2")});
    QVERIFY2(player.waitForStarted(3000), "pacat cannot be started");
    const QByteArray burst1 = pcm(test::tone(2000.0, 0.5, kRate / 10));
    const QByteArray burst2 = pcm(test::tone(3000.0, 0.5, kRate / 10));

    QElapsedTimer sinceClose;
    bool second = false;
    double secondAt = 0;  // seconds after the first burst
    QTimer lateBurst;
    lateBurst.setSingleShot(true);
    lateBurst.setTimerType(Qt::PreciseTimer);  // a coarse one may fire 5 % late, past the stop
    connect(&lateBurst, &QTimer::timeout, [&] {
      player.write(burst2);
      secondAt = sinceClose.nsecsElapsed() * 1e-9;
      second = true;
    });
    // The countdown window closes: the first burst sounds right away, the
    // second one 0.25 s before the stop at tick T+1.
    struct CloseWatch : QObject {
      std::function<void()> onHide;
      bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide && onHide) onHide();
        return false;
      }
    } watch;
    watch.onHide = [&] {
      if (sinceClose.isValid()) return;
      sinceClose.start();
      player.write(burst1);
      lateBurst.start((kAnswer + 1) * 1000 - 350);
    };
    _FiveSec->installEventFilter(&watch);
    frmMain->StartFrame(11);
    QVERIFY(test::waitFor([] { return CurrentFrame && CurrentFrame->objectName() != "frmTask1"; },
                          (kAnswer + 8) * 1000));
    QVERIFY(second);
    _FiveSec->removeEventFilter(&watch);
    player.closeWriteChannel();
    player.waitForFinished(3000);

    QCOMPARE(boxes.texts(), QStringList());
    const test::SoundFile f = test::readSoundFile(frmMain->answerFile(QStringLiteral("_01.ogg")));
    QVERIFY(f.ok);
    const auto left = f.channel(0);
    const double first = findTone(left, 2000.0, 0.0, 1.0);
    const double last = findTone(left, 3000.0, f.seconds() - 1.0, f.seconds());
    // The whole first burst is there: nothing of the answer's start is cut.
    const double firstEnds = first < 0 ? -1.0 : findTone(left, 2000.0, first + 0.07, first + 0.2);
    qInfo("answer file %.3f s for a period of %d s; first burst at %.3f s, last burst at %.3f s "
          "(%.3f s before the end)",
          f.seconds(), kAnswer + 1, first, last, f.seconds() - last);
    // The burst reaches the server's monitor some milliseconds after it was
    // written (its latency varies by tens of milliseconds); a file that
    // began late would show it cut at 0.
    QVERIFY2(first >= 0 && first <= 0.15, "the burst played as the countdown closed is not at the start");
    QVERIFY2(firstEnds >= 0, "the burst played as the countdown closed is cut");
    QVERIFY2(last >= 0, "the burst played right before the stop is not in the file");
    // Nothing is lost between them, and the second burst (0.1 s) is whole. How much of the period the file holds also
    // depends on how soon the sound server opens the capture, which a busy
    // machine delays; the file is never longer than the period.
    QVERIFY2(std::abs((last - first) - secondAt) <= 0.1, qPrintable(QString("bursts %1 s apart, played %2 s apart").arg(last - first).arg(secondAt)));
    QVERIFY(f.seconds() - last >= 0.09 && f.seconds() <= kAnswer + 1 + 0.1);
  }
};

QTEST_MAIN(TestAnswerEdges)
#include "tst_answer_edges.moc"

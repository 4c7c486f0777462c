// The warning that the microphone gives no sound, on the answer stages with
// the synthetic device (in real time where the delay is measured) and the
// real oggenc: within 3 s of a muted microphone, never for speech with long
// pauses over room noise, gone within 1 s of sound coming back, with its
// journal lines, never over the task text or the time left.
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "modal.h"
#include "sound_file.h"
#include "station_fixture.h"
#include "synthetic_device.h"
#include "test_deliverable.h"
#include "textview/richview.h"
#include "toolkit/guard.h"
#include "toolkit/journal.h"

class TestNoSound : public QObject {
  Q_OBJECT
  std::unique_ptr<test::StationFixture> fx;
  test::SyntheticDevice* dev = nullptr;
  QTemporaryDir dir;
  std::vector<std::int16_t> speech;

 private slots:
  void initTestCase() {
    QString why;
    QVERIFY2(!(speech = test::speechWithPausesOverNoise(dir.path(), &why)).empty(), qPrintable(why));
    fx = std::make_unique<test::StationFixture>(0.1);  // a station second lasts 0.1 s
    dev = test::installSyntheticDevice();
    fx->startStation();
    frmMain->StationDir = dir.path() + "/", frmMain->AnswerKey = "33_22_0005_0012_1", frmMain->ParticipantCode = "2753000000003";
    if (!test::flat()) frmMain->KimVariant = "3";
    station::journal::open(dir.path() + "/journal.log");
  }
  void cleanupTestCase() { station::journal::open({}), fx.reset(); }

  void warning_data() {
    QTest::addColumn<int>("code");       // task 1, 2 (each question `seconds` long) or 3
    QTest::addColumn<QString>("signal");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("told");   // "file: how the silence ended"; empty: never told
    QTest::newRow("muted") << 11 << "zeros" << 1.0 << 50 << "_01.ogg: until the end of the recording";
    QTest::newRow("below a muted input") << 31 << "one step" << 1.0 << 50 << "_03.ogg: until the end of the recording";
    QTest::newRow("speech, long pauses, noise") << 11 << "speech" << 4.0 << 110 << "";
    QTest::newRow("sound coming back") << 31 << "back" << 1.0 << 70 << "_03.ogg: sound came back";
    QTest::newRow("silent question, then good") << 21 << "zeros" << 1.0 << 30 << "_02_1.ogg: until the end of the recording";
  }
  void warning() {
    QFETCH(int, code);
    QFETCH(QString, signal);
    QFETCH(double, speed);
    QFETCH(int, seconds);
    QFETCH(QString, told);
    QFile log(station::journal::path());
    QVERIFY(log.open(QIODevice::ReadOnly) && log.seek(log.size()));
    (code == 21 ? frmMain->AnswerTime2 : code == 11 ? frmMain->AnswerTime1 : frmMain->AnswerTime3) = seconds;
    dev->setSpeed(speed);
    if (signal == "speech") dev->setSignal(speech);
    else if (signal == "one step") dev->setSignal({0, 0, 1, -1, -1, 1, 1, 0});  // a muted converter's least
    else dev->setSilence();
    bool ended = false;
    station::registerStage(code + 9, {[](QWidget* owner) -> QWidget* { return new QFrame(owner); }, [&](QWidget*) { ended = true; }});
    auto restore = qScopeGuard([] { station::registerStages(); });
    QList<std::pair<bool, std::uint64_t>> told_;  // on or off, at the device's frame
    std::uint64_t startedAt = 0, soundAt = 0;
    QString covered;
    const auto c = connect(frmMain->recorder(), &station::Recorder::silenceChanged, this, [&](bool silent) {
      told_ << std::pair(silent, dev->capturedFrames());
      if (!silent && code == 21) dev->setTone(800, 0.3);  // questions 2 to 5 answered
      QList<QWidget*> kept{frmMain->lblProcessTime, frmMain->ProcessBar};
      for (auto* view : CurrentFrame->findChildren<textview::RichView*>()) kept << view;
      for (QWidget* w : kept)
        if (silent && frmMain->soundWarning()->geometry().intersects(QRect(w->mapTo(frmMain, QPoint()), w->size())))
          covered += w->objectName() + " ";
      QCOMPARE(frmMain->soundWarning()->isVisible(), silent);
    });
    auto disconnect = qScopeGuard([c] { QObject::disconnect(c); });
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] {
      if (!startedAt && RecordChannel) startedAt = dev->capturedFrames();
      if (signal == "back" && startedAt && !soundAt && dev->capturedFrames() - startedAt >= 4 * 44100)
        dev->setTone(800, 0.3), soundAt = dev->capturedFrames();
    });
    look.start(5);
    test::ModalAnswerer boxes;
    frmMain->Panel1->show();  // as the preparation leaves it
    station::guarded([code] { frmMain->StartFrame(code); });
    QVERIFY(test::waitFor([&] { return ended; }, 60000));
    QVERIFY2(covered.isEmpty() && boxes.count() == 0, qPrintable(covered + boxes.texts().join(' ')));

    QStringList lines;  // "stage event details" of the silence, from the journal
    for (const QString& l : QString::fromUtf8(log.readAll()).split('\n'))
      if (l.contains("\tno-sound-")) lines << l.section('\t', 2, 4).replace('\t', ' ');
    QCOMPARE(lines.size(), told.isEmpty() ? 0 : 2);
    QCOMPARE(told_.size(), told.isEmpty() ? 0 : 2);  // one silent answer, told once and ended once
    if (told.isEmpty()) return;
    const double after = double(told_[0].second - startedAt) / 44100, gone = double(told_[1].second - soundAt) / 44100;
    QVERIFY2(after <= 3.0 && (!soundAt || gone <= 1.0), qPrintable(QString("told after %1 s, gone after %2 s").arg(after).arg(gone)));
    const QString file = frmMain->answerFile(told.section(": ", 0, 0)), stage = QString::number(code);
    QVERIFY2(lines[0].startsWith(stage + " no-sound-start " + file + "; silent since "), qPrintable(lines[0]));
    const auto m = QRegularExpression(R"(^(\d+) no-sound-end (.*); silent from \S+ to \S+ \((\d+\.\d) s\); (.*)$)").match(lines[1]);
    QCOMPARE(m.capturedTexts().mid(1), (QStringList{stage, file, m.captured(3), told.section(": ", 1)}));
    const double silent = soundAt ? 4.0 : double(told_[1].second - startedAt) / 44100;
    QVERIFY2(std::abs(m.captured(3).toDouble() - silent) <= 0.4, qPrintable(lines[1]));
  }
};

QTEST_MAIN(TestNoSound)
#include "test_nosound.moc"

// The main window: start-up with the audio checks, the state it starts with,
// the stage switch, closing, the handler guard, the idle updates and the
// countdown rule.
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "audio/audio.h"
#include "audio/backend.h"
#include "modal.h"
#include "framework/countdown.h"
#include "test_deliverable.h"
#include "toolkit/errors.h"
#include "toolkit/guard.h"
#include "toolkit/idle.h"
#include "window/main.h"
#include "window/stagecodes.h"
#include "window/stages.h"
#include "toolkit/timing.h"
#include "stages/Prepare.h"
#include "stages/RecStudID.h"
#include "stages/Task.h"
#include "stages/Task2.h"
#include "station_fixture.h"

namespace {

// Stands in for the sound devices: reports a chosen version, can refuse to
// open, and counts what the main window opens and closes.
struct CountingBackend : audio::Backend {
  std::uint32_t reported = audio::kVersion;
  int refuseCapture = audio::ErrOk;
  int refuseOutput = audio::ErrOk;
  int* captureOpen;
  int* outputOpen;
  CountingBackend(int* c, int* o) : captureOpen(c), outputOpen(o) {}
  std::uint32_t version() const override { return reported; }
  int openCapture() override {
    if (refuseCapture != audio::ErrOk) return refuseCapture;
    ++*captureOpen;
    return audio::ErrOk;
  }
  void closeCapture() override { --*captureOpen; }
  int startCapture(CaptureSink) override { return audio::ErrOk; }
  void stopCapture() override {}
  int openOutput(OutputSource) override {
    if (refuseOutput != audio::ErrOk) return refuseOutput;
    ++*outputOpen;
    return audio::ErrOk;
  }
  void closeOutput() override { --*outputOpen; }
  int startOutput() override { return audio::ErrOk; }
  void stopOutput() override {}
};

// A stage frame for the switch tests.
int g_started = 0;
class TProbeFrame : public QFrame {
 public:
  explicit TProbeFrame(QWidget* owner) : QFrame(owner) { Timer1 = station::makeTimer(this, 1000); }
  void Start() {
    ++g_started;
    Timer1->start();
  }
  QTimer* Timer1;
};

constexpr int kProbe = 1;   // the first stage: started by FormCreate
constexpr int kProbe2 = 5;

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

  int captureOpen = 0;
  int outputOpen = 0;
  CountingBackend* installBackend() {
    auto b = std::make_unique<CountingBackend>(&captureOpen, &outputOpen);
    auto* raw = b.get();
    audio::setBackend(std::move(b));
    return raw;
  }

 private slots:
  void init() {
    captureOpen = outputOpen = 0;
    g_started = 0;
  }
  void initTestCase() {
    test::registerStationStages();
    station::registerStageClass<TProbeFrame>(kProbe);
    station::registerStageClass<TProbeFrame>(kProbe2);
  }

  void wrongVersionEndsBeforeAnyWindow_data() {
    QTest::addColumn<quint32>("version");
    QTest::newRow("2.3") << quint32(0x02030000);
    QTest::newRow("2.5") << quint32(0x02050000);
    QTest::newRow("1.4") << quint32(0x01040000);
  }
  void wrongVersionEndsBeforeAnyWindow() {
    QFETCH(quint32, version);
    installBackend()->reported = version;
    test::StationFixture fx;
    test::ModalAnswerer boxes;
    bool aborted = false;
    try {
      new TfrmMain();
    } catch (const StartupAborted&) {
      aborted = true;
    }
    QVERIFY(aborted);
    QVERIFY(frmMain == nullptr);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].text, QString("An incorrect version of BASS.DLL was loaded"));
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QCOMPARE(g_started, 0);
    QCOMPARE(captureOpen, 0);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
  }

  void version24Starts() {
    installBackend()->reported = 0x02040a00;  // 2.4.10
    test::StationFixture fx;
    test::ModalAnswerer boxes;
    fx.startStation();
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(g_started, 1);
    QVERIFY(CurrentFrame);
    QCOMPARE(captureOpen, 1);
    QCOMPARE(outputOpen, 1);
  }

  void deviceFailureIsShownAndStationGoesOn_data() {
    QTest::addColumn<bool>("capture");
    QTest::addColumn<int>("outputOpens");
    QTest::newRow("recording device") << true << 0;
    QTest::newRow("output device") << false << 0;
  }
  void deviceFailureIsShownAndStationGoesOn() {
    QFETCH(bool, capture);
    QFETCH(int, outputOpens);
    auto* b = installBackend();
    (capture ? b->refuseCapture : b->refuseOutput) = audio::ErrDevice;
    test::StationFixture fx;
    test::ModalAnswerer boxes;
    TfrmMain* main = fx.startStation();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].title, QString("Error"));
    QCOMPARE(boxes.seen()[0].text, QString("Can't initialize device\n(error code: 23)"));
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::NoIcon);
    QCOMPARE(outputOpen, outputOpens);
    // The close request after the box is refused: the station runs stage 1.
    QVERIFY(main->isVisible());
    QCOMPARE(g_started, 1);
  }

  void initialState() {
    installBackend();
    test::StationFixture fx;
    TfrmMain* m = fx.startStation();
    QCOMPARE(m->PrepTime1, 90);
    QCOMPARE(m->PrepTime2, 60);
    QCOMPARE(m->PrepTime3, test::flat() ? 60 : 90);
    QCOMPARE(m->AnswerTime1, 180);
    QCOMPARE(m->AnswerTime2, 60);
    QCOMPARE(m->AnswerTime3, test::flat() ? 180 : 240);
    QCOMPARE(m->ParticipantCode, QString("1234567890123"));
    QVERIFY(m->KimVariant.isEmpty());
    QVERIFY(m->AnswerKey.isEmpty() && m->StationCode.isEmpty() && m->SubjLine2.isEmpty());
    QVERIFY(!m->CanExit);
    QCOMPARE(m->size(), QSize(1016, 713));
    QVERIFY(m->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(m->windowTitle(), QString("Станция записи устных ответов ТАВРЭ - 2017"));
    QCOMPARE(m->lblProcessName->text(), QString("Подготовка:"));
    QCOMPARE(m->ProcessBar->maximum(), 90);
    QCOMPARE(m->Panel1->height(), 50);
    // The countdown window lies over the main window.
    QCOMPARE(_FiveSec->geometry(), m->geometry());
  }

  // The message is shown as it is, whatever it holds, with the code below it.
  void errorBoxText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "Couldn't start recording" << 23 << "Couldn't start recording\n(error code: 23)";
    QTest::newRow("%1 in a file name") << "Файл C:/a%1b.ogg" << 5 << "Файл C:/a%1b.ogg\n(error code: 5)";
    QTest::newRow("%2 and %L1") << "x%2y%L1" << 8 << "x%2y%L1\n(error code: 8)";
    QTest::newRow("ends in %") << "100%" << 0 << "100%\n(error code: 0)";
    QTest::newRow("negative code") << "Ошибка" << -1 << "Ошибка\n(error code: -1)";
  }
  void errorBoxText() {
    QFETCH(QString, message);
    QFETCH(int, code);
    QFETCH(QString, shown);
    installBackend();
    test::StationFixture fx;
    fx.startStation();
    test::ModalAnswerer boxes;
    frmMain->ShowError(message, code);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].title, QString("Error"));
    QCOMPARE(boxes.seen()[0].text, shown);
  }

  void closeOnlyThroughStopExam() {
    installBackend();
    test::StationFixture fx;
    TfrmMain* m = fx.startStation();
    QVERIFY(!m->close());
    QVERIFY(m->isVisible());
    m->StopExam();
    QVERIFY(!m->isVisible());
    QVERIFY(CurrentFrame->isHidden());
    // The devices are released when the window goes.
    fx.stopStation();
    QCOMPARE(captureOpen, 0);
    QCOMPARE(outputOpen, 0);
  }

  void startFrameMakesFreshFrames() {
    installBackend();
    test::StationFixture fx;
    fx.startStation();
    QPointer<QWidget> first = CurrentFrame.data();
    frmMain->StartFrame(kProbe);
    QPointer<QWidget> second = CurrentFrame.data();
    QVERIFY(second && second != first);
    QVERIFY(first->isHidden());
    QVERIFY(!first->findChild<QTimer*>()->isActive());
    QCOMPARE(g_started, 2);
    QVERIFY(test::waitFor([&] { return first.isNull(); }));
    // An unknown code only removes the current stage.
    frmMain->StartFrame(77);
    QVERIFY(!CurrentFrame);
    QCOMPARE(g_started, 2);
    QVERIFY(test::waitFor([&] { return second.isNull(); }));
  }

  void guardShowsUncaughtFailures() {
    test::ModalAnswerer boxes;
    QTimer timer;
    timer.setSingleShot(true);
    int runs = 0;
    station::onEvent(&timer, &QTimer::timeout, &timer, [&] {
      if (++runs == 1) throw station::ConvertError("12x");
    });
    timer.start(0);
    QVERIFY(test::waitFor([&] { return boxes.count() == 1; }));
    QCOMPARE(boxes.seen()[0].title, QString("ТАВРЭ - 2017 (устный экзамен)"));
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.seen()[0].text, QString("'12x' is not a valid integer value"));
    // The program goes on: the same handler runs again at the next event.
    timer.start(0);
    QVERIFY(test::waitFor([&] { return runs == 2; }));
    QCOMPARE(boxes.count(), 1);
  }

  void idleHandlersRunWhenTheQueueRunsEmpty() {
    QWidget owner;
    owner.show();
    int runs = 0;
    station::onIdle(&owner, [&] { ++runs; });
    QVERIFY(test::waitFor([&] { return runs > 0; }));
    owner.hide();
    const int hiddenRuns = runs;
    test::pump(50);
    QCOMPARE(runs, hiddenRuns);
  }

  void countdownRule_data() {
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("early");  // tick after which the early end is asked, 0 for none
    QTest::addColumn<QStringList>("shown");  // time left after start and after every tick
    QTest::addColumn<int>("endTick");
    QTest::newRow("3 s") << 3 << 0 << QStringList{"3 сек.", "2 сек.", "1 сек.", "0 сек."} << 4;
    QTest::newRow("1 s") << 1 << 0 << QStringList{"1 сек.", "0 сек."} << 2;
    QTest::newRow("early at 1") << 5 << 1 << QStringList{"5 сек.", "4 сек."} << 2;
    QTest::newRow("early before first tick") << 5 << -1 << QStringList{"5 сек."} << 1;
  }
  void countdownRule() {
    QFETCH(int, duration);
    QFETCH(int, early);
    QFETCH(QStringList, shown);
    QFETCH(int, endTick);
    installBackend();
    test::StationFixture fx;
    TfrmMain* m = fx.startStation();
    station::countdownBegin("Подготовка к заданию № 1:", duration);
    QCOMPARE(m->lblProcessName->text(), QString("Подготовка к заданию № 1:"));
    QCOMPARE(m->ProcessBar->maximum(), duration);
    QStringList seen{m->lblProcessTime->text()};
    int elapsed = 0;
    if (early < 0) elapsed = station::kEarlyEnd;
    int tick = 0;
    while (true) {
      ++tick;
      if (station::countdownTick(elapsed, duration)) break;
      seen << m->lblProcessTime->text();
      QCOMPARE(m->ProcessBar->value(), tick);
      if (tick == early) elapsed = station::kEarlyEnd;
      QVERIFY(tick < 100);
    }
    QCOMPARE(seen, shown);
    QCOMPARE(tick, endTick);
  }

  // The timers of the station's own stages (the frames registered under
  // these codes) and of the countdown window, at the station's scale and at
  // a test's.
  void timerScaleShortensEveryStationTimer_data() {
    QTest::addColumn<int>("code");     // stage code; 0: the countdown window
    QTest::addColumn<int>("nominal");  // the timer's interval in the station, ms
    QTest::newRow("code recording") << 6 << 100;
    QTest::newRow("preparation 1") << 10 << 1000;
    QTest::newRow("task 1") << 11 << 1000;
    QTest::newRow("task 2") << 21 << 1000;
    QTest::newRow("preparation 3") << 30 << 1000;
    QTest::newRow("task 3") << 31 << 1000;
    QTest::newRow("countdown window") << 0 << 1000;
  }
  void timerScaleShortensEveryStationTimer() {
    QFETCH(int, code);
    QFETCH(int, nominal);
    for (const double scale : {1.0, 0.1}) {
      installBackend();
      test::StationFixture fx(scale);
      fx.startStation();
      std::unique_ptr<QWidget> frame;
      QTimer* timer = nullptr;
      if (code == 0) {
        timer = _FiveSec->Timer2;
      } else {
        const station::StageEntry* entry = station::findStage(code);
        QVERIFY(entry);
        frame.reset(entry->create(frmMain));
        if (auto* f = qobject_cast<TfrmPrepare*>(frame.get())) timer = f->Timer1;
        else if (auto* f = qobject_cast<TfrmMonologueTask*>(frame.get())) timer = f->Timer1;
        else if (auto* f = qobject_cast<TfrmTask2*>(frame.get())) timer = f->Timer1;
        else if (auto* f = qobject_cast<TfrmRecStudID*>(frame.get())) timer = f->Timer1;
      }
      QVERIFY(timer);
      QCOMPARE(timer->interval(), scale == 1.0 ? nominal : nominal / 10);
    }
  }

  // Each stage code keeps its number (stored journal lines print it) and
  // names the frame class registered under it.
  void stageCodesNameTheirFrames_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("frameClass");
    QTest::newRow("equipment check") << int(stage::EquipmentCheck) << 1 << "TfrmTestHard";
    QTest::newRow("code entry") << int(stage::CodeEntry) << 5 << "TfrmInstruction";
    QTest::newRow("code recording") << int(stage::CodeRecording) << 6 << "TfrmRecStudID";
    QTest::newRow("preparation 1") << int(stage::Prepare1) << 10 << "TfrmPrepare1";
    QTest::newRow("task 1") << int(stage::Task1) << 11 << "TfrmTask1";
    QTest::newRow("preparation 2") << int(stage::Prepare2) << 20 << "TfrmPrepare2";
    QTest::newRow("task 2") << int(stage::Task2) << 21 << "TfrmTask2";
    QTest::newRow("preparation 3") << int(stage::Prepare3) << 30 << "TfrmPrepare3";
    QTest::newRow("task 3") << int(stage::Task3) << 31 << "TfrmTask3";
    QTest::newRow("review") << int(stage::Review) << 40 << "TfrmPlayAnswers";
    QTest::newRow("completion") << int(stage::Completion) << 50 << "TfrmFinishExam";
  }
  void stageCodesNameTheirFrames() {
    QFETCH(int, code);
    QFETCH(int, number);
    QFETCH(QString, frameClass);
    QCOMPARE(code, number);
    // The station's own table, this test's probes put back afterwards.
    station::registerStages();
    struct Probes {
      ~Probes() {
        station::registerStageClass<TProbeFrame>(kProbe);
        station::registerStageClass<TProbeFrame>(kProbe2);
      }
    } probes;
    installBackend();
    test::StationFixture fx;
    fx.startStation();
    const station::StageEntry* entry = station::findStage(code);
    QVERIFY(entry);
    std::unique_ptr<QWidget> frame(entry->create(frmMain));
    QCOMPARE(QString(frame->metaObject()->className()), frameClass);
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

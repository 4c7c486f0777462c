// A whole station run with the real durations at a hundred times the speed,
// driven only through the station's own controls: start-up, the equipment
// check, two participants through every stage from the code entry to the
// completion (the first ends task 1 and question 2 early, the second lets
// every period run out; the first one's code is refused when the second
// comes), then the end of the station through the completion stage. Each
// participant leaves exactly the eight answer files, each holding the tone
// for its period.
#include <QLabel>
#include <QProgressBar>
#include <QtTest>
#include <optional>

#include "shell/deliverable.h"
#include "shell/widgets.h"
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

constexpr double kScale = 0.01, kSpeed = 10, kTone = 600;
constexpr int kRate = 44100;
const QString kFirst = "2753000000003", kSecond = "2755000000007";

struct Recorded {
  QString suffix;
  int minTicks, maxTicks;  // the period, in station seconds
  std::uint64_t frames;    // captured by the device meanwhile
  double slack = 0;        // seconds: the end was seen by polling while the next recording ran
};

QString text(const char* label) {
  auto* l = CurrentFrame ? CurrentFrame->findChild<QLabel*>(label) : nullptr;
  return l ? l->text() : QString();
}

}  // namespace

class TestExam : public QObject {
  Q_OBJECT
  test::SyntheticDevice* dev = nullptr;
  QMap<QString, QList<Recorded>> recorded;  // by participant

  // Waits for stage F; the frames captured since `mark` go to the answer suffix.
  template <class F>
  bool until(const QString& code, std::uint64_t& mark, const QString& suffix = {}, int minT = 0, int maxT = 0) {
    if (!test::stage<F>(30000)) return false;
    const std::uint64_t now = dev->capturedFrames();
    if (!suffix.isEmpty()) recorded[code] << Recorded{suffix, minT, maxT, now - mark};
    mark = now;
    return true;
  }
  // Ends the current answer early when the status bar shows `left`.
  void endEarly(const QString& left) {
    QVERIFY(test::waitFor([&] { return frmMain->lblProcessTime->text() == left; }, 10000));
    test::ModalAnswerer yes("&Yes");
    QTest::mouseClick(CurrentFrame->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QCOMPARE(yes.count(), 1);
  }

  void participant(const QString& code, bool early, const QString& refused) {
    auto* entry = test::stage<TfrmInstruction>();
    QVERIFY(entry);
    if (!refused.isEmpty()) {
      test::type(entry->Edit3, refused.mid(3));
      test::ModalAnswerer ok;
      QTest::mouseClick(entry->Button1, Qt::LeftButton);
      QCOMPARE(ok.lastText(),
               QString("Некорректный код участника!\n\rУчастник с таким кодом уже отвечал на данной станции"));
      for (int i = 0; i < 10; ++i) QTest::keyClick(entry->Edit3, Qt::Key_Backspace);
    }
    test::type(entry->Edit3, code.mid(3));
    QTest::mouseClick(entry->Button1, Qt::LeftButton);
    auto* rec = test::stage<TfrmRecStudID>();
    QVERIFY(rec);
    std::uint64_t mark = dev->capturedFrames();
    QTest::mouseClick(rec->btnRecID, Qt::LeftButton);
    QVERIFY(dev->waitCaptured(kRate, 10000));
    QTest::mouseClick(rec->btnRecID, Qt::LeftButton);
    recorded[code] << Recorded{"_00.ogg", 0, 0, dev->capturedFrames() - mark};
    QTest::mouseClick(rec->Button4, Qt::LeftButton);
    QVERIFY(test::waitFor([&] { return rec->Button1->isEnabled(); }));
    QTest::mouseClick(rec->Button1, Qt::LeftButton);

    const int prep3 = station::kFlat ? 60 : 90, task3 = station::kFlat ? 180 : 240;
    QVERIFY(until<TfrmPrepare1>(code, mark) && until<TfrmTask1>(code, mark));
    std::optional<test::ModalAnswerer> open;  // the second participant's question outlives task 1
    if (early) {
      endEarly("170 сек.");
    } else {
      open.emplace().leaveOpen("Confirm");
      QVERIFY(test::waitFor([&] { return frmMain->lblProcessTime->text() == "5 сек."; }, 10000));
      QTimer::singleShot(0, CurrentFrame->findChild<QPushButton*>("Button1"), &QPushButton::click);
    }
    QVERIFY(until<TfrmPrepare2>(code, mark, "_01.ogg", early ? 11 : 181, early ? 13 : 181));
    QVERIFY(!open || open->count() == 1);
    QVERIFY(until<TfrmTask2>(code, mark));
    for (int n = 1; n <= 5; ++n) {
      const bool cut = early && n == 2;
      if (cut) endEarly("50 сек.");
      const QString suffix = QString("_02_%1.ogg").arg(n);
      if (n == 5) {
        QVERIFY(until<TfrmPrepare3>(code, mark, suffix, 61, 61));
        break;
      }
      QVERIFY(test::waitFor([&] { return text("Label1").endsWith(QString::number(n + 1)); }, 10000));
      const std::uint64_t now = dev->capturedFrames();
      recorded[code] << Recorded{suffix, cut ? 11 : 61, cut ? 13 : 61, now - mark, 0.5};
      mark = now;
    }
    QVERIFY(test::waitFor([&] { return frmMain->ProcessBar->maximum() == prep3; }));
    QVERIFY(until<TfrmTask3>(code, mark) && until<TfrmPlayAnswers>(code, mark, "_03.ogg", task3 + 1, task3 + 1));
    const QString shown =
        QStringList{code.mid(0, 3), code.mid(3, 3), code.mid(6, 3), code.mid(9, 2), code.mid(11)}.join('-');
    QCOMPARE(text("Label1"), "Воспроизвести ответы участника с кодом " + shown);
    QTest::mouseClick(CurrentFrame->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QVERIFY(test::stage<TfrmFinishExam>());
    QCOMPARE(text("Label1"), "Экзамен для участника с кодом " + shown + " завершен!");
  }

 private slots:
  void wholeRun() {
    test::StationFixture fx(kScale);
    dev = test::installSyntheticDevice();
    dev->setSpeed(kSpeed);
    dev->setTone(kTone, 0.5);
    fx.startStation();
    test::passEquipmentCheck(dev);
    QVERIFY(!QTest::currentTestFailed());
    participant(kFirst, true, {});
    QVERIFY(!QTest::currentTestFailed());
    QTest::mouseClick(CurrentFrame->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    participant(kSecond, false, kFirst);
    QVERIFY(!QTest::currentTestFailed());
    QTest::mouseClick(CurrentFrame->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    QVERIFY(frmMain->CanExit && !frmMain->isVisible());
    const auto windows = QApplication::topLevelWidgets();  // none left open: the message loop ends
    QVERIFY(std::none_of(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }));

    QDir dir(fx.dir());
    const QStringList answers = dir.entryList({"Answer_*"}, QDir::Dirs);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{answers.value(0), "KIM", "test.ogg"}));
    QVERIFY(dir.cd(answers.value(0)));
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{kFirst, kSecond}));
    for (const QString& code : {kFirst, kSecond}) {
      QStringList files;
      for (const Recorded& r : recorded[code]) files << code + r.suffix;
      files.sort();
      QCOMPARE(QDir(dir.filePath(code)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
      for (const Recorded& r : recorded[code]) {
        const test::SoundFile s = test::readSoundFile(dir.filePath(code + "/" + code + r.suffix));
        const double captured = double(r.frames) / kRate, period = r.minTicks * kScale * kSpeed;
        const QString what = QString("%1%2: %3 s, captured %4 s").arg(code, r.suffix).arg(s.seconds()).arg(captured);
        QVERIFY2(s.ok && std::abs(test::dominantFrequency(s.channel(0), kRate) - kTone) < 10, qPrintable(what));
        // All the device captured meanwhile but the start of the next recording.
        QVERIFY2(s.seconds() >= captured * 0.98 - 0.4 - r.slack && s.seconds() <= captured * 1.02 + 0.1 + r.slack,
                 qPrintable(what));
        // About its period: a station second lasts longer while the machine is busy.
        QVERIFY2(!r.minTicks || (s.seconds() >= period * 0.5 && s.seconds() <= r.maxTicks * kScale * kSpeed * 2 + 0.5),
                 qPrintable(what));
      }
    }
  }
};

QTEST_MAIN(TestExam)
#include "test_exam.moc"

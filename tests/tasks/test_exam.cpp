// A whole station run with the real durations at a hundred times the speed,
// driven only through the station's own controls: start-up, the equipment
// check, two participants through every stage from the code entry to the
// completion (the first ends task 1 and question 2 early; the second lets
// every period run out, its task 1 question left open past the end; the
// first one's code is refused when the second comes), then the end of the
// station through the completion stage. Each participant leaves exactly the
// eight answer files, each holding the tone for its period.
#include <QLabel>
#include <QProgressBar>
#include "toolkit/handover.h"
#include <QProcess>
#include <QtTest>
#include <optional>

#include "test_deliverable.h"
#include "toolkit/manifest.h"
#include "toolkit/widgets.h"
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
  int ticks;    // the period in station seconds (0: the code, as long as it was spoken)
  int capture;  // the device's capture that recorded it
};

QString text(const char* name) { return CurrentFrame->findChild<QLabel*>(name)->text(); }
void press(const char* name) { QTest::mouseClick(CurrentFrame->findChild<QPushButton*>(name), Qt::LeftButton); }

}  // namespace

class TestExam : public QObject {
  Q_OBJECT
  test::SyntheticDevice* dev = nullptr;
  QMap<QString, QList<Recorded>> recorded;  // by participant
  int captures = 0;                          // the device's captures so far

  // Until pred holds; the answer suffix was recorded by the next capture.
  template <class Pred>
  bool until(Pred pred, const QString& code = {}, const QString& suffix = {}, int ticks = 0) {
    if (!test::waitFor(pred, 30000)) {
      // What the station showed instead, so that a failure on a busy machine can be told.
      QStringList modal;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isModal()) modal << w->metaObject()->className() + QStringLiteral(": ") + w->windowTitle();
      qWarning("still at %s, %s left, modal: %s", CurrentFrame ? CurrentFrame->metaObject()->className() : "none",
               qPrintable(frmMain ? frmMain->lblProcessTime->text() : QString()), qPrintable(modal.join("; ")));
      return false;
    }
    if (!suffix.isEmpty()) recorded[code] << Recorded{suffix, ticks, captures++};
    return true;
  }
  template <class F>
  static bool at() { return qobject_cast<F*>(CurrentFrame.data()); }
  static bool left(const QString& time) { return frmMain->lblProcessTime->text() == time; }
  // Ends the current answer early through the confirmation, answered Yes.
  void endEarly(const QString& time) {
    QVERIFY(test::waitFor([&] { return left(time); }, 10000));
    // Ten station seconds are a tenth of a second here: on a busy machine the
    // capture may not have delivered yet, and an answer ended before any
    // sound came is rightly an empty file.
    QVERIFY(dev->waitCaptured(1, 10000));
    test::ModalAnswerer yes("&Yes");
    press("Button1");
    QCOMPARE(yes.count(), 1);
  }

  void participant(const QString& code, bool early, const QString& refused) {
    captures = int(dev->captureLengths().size());  // nothing records at the code entry
    auto* entry = test::stage<TfrmInstruction>();
    QVERIFY(entry);
    if (!refused.isEmpty()) {
      test::type(entry->Edit3, refused.mid(3));
      test::ModalAnswerer ok;
      press("Button1");
      QCOMPARE(ok.lastText(), QString("Некорректный код участника!\n\rУчастник с таким кодом уже отвечал на данной станции"));
      for (int i = 0; i < 10; ++i) QTest::keyClick(entry->Edit3, Qt::Key_Backspace);
    }
    test::type(entry->Edit3, code.mid(3));
    press("Button1");
    QVERIFY(until(at<TfrmRecStudID>));
    test::pressRecord(CurrentFrame->findChild<QPushButton*>("btnRecID"));
    QVERIFY(dev->waitCaptured(kRate, 10000));
    test::pressRecord(CurrentFrame->findChild<QPushButton*>("btnRecID"));
    QVERIFY(until([] { return true; }, code, "_00.ogg"));
    press("Button4");
    QVERIFY(test::waitFor([] { return CurrentFrame->findChild<QPushButton*>("Button1")->isEnabled(); }));
    press("Button1");

    QVERIFY(until(at<TfrmPrepare1>) && until(at<TfrmTask1>));
    std::optional<test::ModalAnswerer> open;
    if (early) {
      endEarly("170 сек.");
    } else {  // the question stays open until task 1 has gone
      open.emplace().leaveOpen("Confirm");
      QVERIFY(test::waitFor([] { return left("5 сек."); }, 10000));
      QTimer::singleShot(0, CurrentFrame->findChild<QPushButton*>("Button1"), &QPushButton::click);
    }
    QVERIFY(until(at<TfrmPrepare2>, code, "_01.ogg", early ? 11 : 181));
    QVERIFY(!open || open->count() == 1);
    QVERIFY(until(at<TfrmTask2>));
    for (int n = 1; n <= 5; ++n) {
      if (early && n == 2) endEarly("50 сек.");
      auto next = [n] { return n == 5 ? at<TfrmPrepare3>() : text("Label1").endsWith(QString::number(n + 1)); };
      QVERIFY(until(next, code, QString("_02_%1.ogg").arg(n), early && n == 2 ? 11 : 61));
    }
    QVERIFY(test::waitFor([] { return frmMain->ProcessBar->maximum() == (test::flat() ? 60 : 90); }));
    QVERIFY(until(at<TfrmTask3>) && until(at<TfrmPlayAnswers>, code, "_03.ogg", test::flat() ? 181 : 241));
    const QString shown = QStringList{code.left(3), code.mid(3, 3), code.mid(6, 3), code.mid(9, 2), code.mid(11)}.join('-');
    QCOMPARE(text("Label1"), "Воспроизвести ответы участника с кодом " + shown);
    press("Button1");
    QVERIFY(test::stage<TfrmFinishExam>());
    QCOMPARE(text("Label1"), "Экзамен для участника с кодом " + shown + " завершен!");
  }

  // The journal beside the answer folder: five fields a line, the events of
  // the day in their order (each a pattern over participant, stage, event
  // and details), and every recording's check good.
  static void checkJournal(const QString& path) {
    // The last answers' checks may still run: their lines come when they end.
    station::handover::waitForAll(10000);
    test::pump(50);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QStringList lines;
    for (const QByteArray& l : f.readAll().split('\n')) {
      if (l.isEmpty()) continue;
      const QStringList fields = QString::fromUtf8(l).split('\t');
      QCOMPARE(fields.size(), 5);
      QVERIFY(QDateTime::fromString(fields[0], Qt::ISODateWithMs).isValid());
      lines << fields.mid(1).join('\t');
    }
    QStringList want = {"-\t-\tstation-start", "-\t1\tstage", "-\t1\trecording-start\ttest.ogg",
                        "-\t1\trecording-stop\ttest.ogg", "-\t1\tcheck-finished\tvenue 5; room 12; station 1",
                        "-\t1\tfree-space", "-\t5\tstage"};
    for (const QString& code : {kFirst, kSecond}) {
      if (code == kSecond) want << "-\t5\tmessage-box\tНекорректный код участника!";
      want << code + "\t5\tparticipant-accepted\t" + code << code + "\t5\tfree-space" << code + "\t6\tstage"
           << code + "\t6\trecording-start\t.*" + code + "_00.ogg" << code + "\t6\trecording-stop\t.*_00.ogg; .*; stopped";
      for (const auto& [stage, suffix] : QList<QPair<int, QString>>{{11, "_01"}, {21, "_02_1"}, {21, "_02_5"}, {31, "_03"}})
        want << QString("%1\t%2\trecording-start\t.*%3.ogg").arg(code).arg(stage).arg(suffix);
      want << code + "\t40\tstage" << code + "\t50\tstage";
    }
    qsizetype at = 0;
    for (const QString& w : want) {
      const QRegularExpression re("^" + w);
      while (at < lines.size() && !re.match(lines[at]).hasMatch()) ++at;
      QVERIFY2(at < lines.size(), qPrintable("not in the journal in its order: " + w));
    }
    // 1 test recording and 8 answers for each participant, each checked good.
    const QStringList checked = lines.filter(QRegularExpression("\trecording-checked\t"));
    QCOMPARE(checked.size(), 17);
    for (const QString& c : checked) QVERIFY2(c.contains(QRegularExpression("; ok; sha256 [0-9a-f]{64}$")), qPrintable(c));
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
    press("Button1");
    participant(kSecond, false, kFirst);
    QVERIFY(!QTest::currentTestFailed());
    press("Button2");
    const auto windows = QApplication::topLevelWidgets();  // none left: the message loop ends
    QVERIFY(frmMain->CanExit && std::none_of(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }));

    QDir dir(fx.dir());
    const QStringList answers = dir.entryList({"Answer_*"}, QDir::Dirs);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{answers.value(0), answers.value(0) + ".log", answers.value(0) + ".sha256", "KIM", "test.ogg"}));
    checkJournal(dir.filePath(answers.value(0) + ".log"));
    // Every answer of both participants in the manifest, and sha256sum agrees.
    QTRY_COMPARE_WITH_TIMEOUT(station::manifest::read(dir.filePath(answers.value(0) + ".sha256")).size(), 16, 5000);
    QProcess sums;
    sums.setWorkingDirectory(dir.path());
    sums.start(QStringLiteral("sha256sum"), {QStringLiteral("-c"), answers.value(0) + ".sha256"});
    QVERIFY(sums.waitForFinished(10000));
    QCOMPARE(sums.exitCode(), 0);
    QVERIFY(dir.cd(answers.value(0)));
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{kFirst, kSecond}));
    for (const QString& code : {kFirst, kSecond}) {
      QStringList files;
      for (const Recorded& r : recorded[code]) files << code + r.suffix;
      files.sort();
      QCOMPARE(QDir(dir.filePath(code)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
      for (const Recorded& r : recorded[code]) {
        const test::SoundFile s = test::readSoundFile(dir.filePath(code + "/" + code + r.suffix));
        const std::vector<std::uint64_t> lengths = dev->captureLengths();
        QVERIFY(r.capture < int(lengths.size()));
        const double captured = double(lengths[r.capture]) / kRate, period = r.ticks * kScale * kSpeed;
        const QString what = QString("%1%2: %3 s, captured %4 s").arg(code, r.suffix).arg(s.seconds()).arg(captured);
        QVERIFY2(s.ok && std::abs(test::dominantFrequency(s.channel(0), kRate) - kTone) < 10, qPrintable(what));
        // All the device captured for it ...
        QVERIFY2(std::abs(s.seconds() - captured) <= captured * 0.02 + 0.5, qPrintable(what));
        // ... and at least about the period. A station second only ever lasts
        // longer on a busy machine, so no upper bound holds; that the
        // recording ended with its period is shown by the captures after it.
        QVERIFY2(!r.ticks || s.seconds() >= period * 0.5, qPrintable(what));
      }
    }
  }
};

QTEST_MAIN(TestExam)
#include "test_exam.moc"

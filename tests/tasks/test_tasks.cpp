// The timed stages on a station with a fast clock, the synthetic sound device
// and the real oggenc: the countdown window, the three preparations, the
// answers to tasks 1 and 3 and the question series of task 2. Every tick of a
// stage is logged right after the stage's own handler ran, so the tests see
// the status bar at each second as the participant does.
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <functional>

#include "modal.h"
#include "shell/deliverable.h"
#include "shell/guard.h"
#include "shell/names.h"
#include "shell/stages.h"
#include "sound_file.h"
#include "stages/FiveSec.h"
#include "stages/Prepare.h"
#include "stages/Task.h"
#include "stages/Task2.h"
#include "station_fixture.h"
#include "synthetic_device.h"

namespace {

constexpr double kScale = 0.01;  // a station second lasts 10 ms
constexpr double kSpeed = 10.0;  // the synthetic device runs ten times real time
constexpr double kTone = 800.0;
const QString kKey = "33_22_0005_0012_1", kCode = "2753000000003";
namespace names = station::names;

struct Tick {
  int elapsed = 0, question = 0, bar = 0, max = 0;
  QString name, time, label;
  bool dialog = false, switched = false, recording = false, status = false;
  qint64 ms = 0;
  std::uint64_t frames = 0;  // captured by the device so far
};
Tick g_start;          // right after Start returned
QList<Tick> g_ticks;   // one per tick of Timer1
QList<int> g_started;  // the stages that followed
bool g_statusAtNext = false;
std::function<void(const Tick&)> g_onTick;
QElapsedTimer g_clock;
test::SyntheticDevice* g_dev = nullptr;

template <class F>
Tick snap(F* f) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  auto* label = f->template findChild<QLabel*>("Label1");
  Tick t{f->ElapsedSeconds, 0, frmMain->ProcessBar->value(), frmMain->ProcessBar->maximum(),
         frmMain->lblProcessName->text(), frmMain->lblProcessTime->text(), label ? label->text() : QString(),
         box && box->isVisible(), f->hasSwitched(), RecordChannel != 0, frmMain->Panel1->isVisible(),
         g_clock.elapsed(), g_dev->capturedFrames()};
  if constexpr (requires { f->QuestionNumber; }) t.question = f->QuestionNumber;
  return t;
}

// Puts F under code with its ticks logged.
template <class F>
void logStage(int code) {
  station::registerStage(code, {[](QWidget* owner) -> QWidget* {
                                  auto* f = new F(owner);
                                  QObject::connect(f->Timer1, &QTimer::timeout, f, [f] {
                                    g_ticks << snap(f);
                                    if (g_onTick) g_onTick(g_ticks.last());
                                  });
                                  return f;
                                },
                                [](QWidget* w) {
                                  static_cast<F*>(w)->Start();
                                  g_start = snap(static_cast<F*>(w));
                                }});
}

// Stands in for the stage that follows.
void probe(int code) {
  station::registerStage(code, {[](QWidget* owner) -> QWidget* { return new QFrame(owner); }, [code](QWidget*) {
                                  g_started << code;
                                  g_statusAtNext = frmMain->Panel1->isVisible();
                                }});
}

QString secs(int n) { return QString::number(n) + " сек."; }

// Presses "Завершить ответ!" / "Я готов!" of the current stage from the event loop.
void pressButton1() {
  QTimer::singleShot(0, CurrentFrame->findChild<QPushButton*>("Button1"), &QPushButton::click);
}

// The answer file: in the participant folder under the program folder, the
// tone, everything the device captured from the start to the end of the
// period (give or take `slack` seconds where a box blurred the start's log).
// The device runs while the encoder of the next recording starts, which
// counts up to a few hundredths of a second more than was recorded.
void checkAnswer(const QString& suffix, const Tick& from, const Tick& to, double slack = 0) {
  const QString file = frmMain->StationDir + "Answer_" + kKey + "/" + kCode + "/" + kCode + suffix;
  const test::SoundFile s = test::readSoundFile(file);
  QVERIFY2(s.ok, qPrintable(file));
  const double expected = double(to.frames - from.frames) / 44100;
  QVERIFY2(s.seconds() >= expected * 0.98 - 0.4 - slack && s.seconds() <= expected * 1.02 + 0.1 + slack,
           qPrintable(QString("%1: %2 s, expected %3 s").arg(suffix).arg(s.seconds()).arg(expected)));
  QVERIFY(std::abs(test::dominantFrequency(s.channel(0), s.rate) - kTone) < 10);
}

// Removes a task text (when path is not empty) until the guard goes.
auto removeText(const QString& path) {
  if (!path.isEmpty() && !QFile::remove(path)) qFatal("cannot remove %s", qPrintable(path));
  return qScopeGuard([path] { QFile::copy(QUORVEL_SAMPLE_KIM + path.mid(3), path); });
}

struct ShowCount : QObject {
  int n = 0;
  bool eventFilter(QObject*, QEvent* e) override { return n += e->type() == QEvent::Show, false; }
};

}  // namespace

class TestTasks : public QObject {
  Q_OBJECT
  std::unique_ptr<test::StationFixture> fx;
  std::unique_ptr<T_FiveSec> window;  // a countdown window with slower seconds
  std::array<int, 6> durations{};

  int* duration(int i) const {
    return std::array{&frmMain->PrepTime1, &frmMain->PrepTime2, &frmMain->PrepTime3, &frmMain->AnswerTime1,
                      &frmMain->AnswerTime2, &frmMain->AnswerTime3}[i];
  }

 private slots:
  void initTestCase() {
    fx = std::make_unique<test::StationFixture>(kScale);
    g_dev = test::installSyntheticDevice();
    g_dev->setSpeed(kSpeed);
    g_dev->setTone(kTone, 0.5);
    fx->startStation();
    for (int i = 0; i < 6; ++i) durations[i] = *duration(i);
    frmMain->AnswerKey = kKey;
    frmMain->ParticipantCode = kCode;
#ifndef QUORVEL_FLAT
    frmMain->KimVariant = "3";
#endif
  }
  void init() {
    for (int i = 0; i < 6; ++i) *duration(i) = durations[i];
    frmMain->Panel1->hide();  // as the equipment check leaves it
    g_ticks.clear();
    g_started.clear();
    g_clock.start();
  }
  void cleanup() {
    g_onTick = nullptr;
    station::registerStages();
    QDir(frmMain->answerFolder()).removeRecursively();
  }
  void cleanupTestCase() {
    window.reset();
    fx.reset();
  }

  // The digits painted in one showing of the countdown window, and its ticks.
  void countdown_data() {
    QTest::addColumn<QString>("act");
    QTest::addColumn<QString>("at");  // the digit on the panel when it acts
    QTest::addColumn<QStringList>("painted");
    QTest::newRow("untouched") << "" << "" << QStringList{"", "3", "2", "1", "0"};
    QTest::newRow("click at 2") << "click" << "2" << QStringList{"", "3", "2", "0"};
    QTest::newRow("click before the first digit") << "click" << "" << QStringList{"", "0"};
    QTest::newRow("re-activated at 2") << "activate" << "2" << QStringList{"", "3", "2", "3", "2", "1", "0"};
    QTest::newRow("after a cut-short showing") << "" << "" << QStringList{"", "3", "2", "1", "0"};
  }
  void countdown() {
    QFETCH(QString, act);
    QFETCH(QString, at);
    QFETCH(QStringList, painted);
    if (!window) {
      station::setTimerScale(0.1);
      window = std::make_unique<T_FiveSec>();
      station::setTimerScale(kScale);
      QVERIFY(test::waitFor([&] { return !window->Timer2->isActive(); }));  // the ticks of its creation
    }
    T_FiveSec* w = window.get();
    if (QTest::currentDataTag() == QLatin1String("after a cut-short showing")) {
      QTimer::singleShot(30, w, [w] { QTest::mouseClick(w->Panel1, Qt::LeftButton); });
      w->ShowModal();
    }
    QStringList seen;
    bool acted = act.isEmpty();
    struct Spy : QObject {
      std::function<void()> f;
      bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Paint ? f(), false : false; }
    } spy;
    spy.f = [&] {
      const QString text = w->Panel1->text();
      if (seen.isEmpty() || seen.last() != text) seen << text;
      if (acted || text != at) return;
      acted = true;
      QTimer::singleShot(40, w, [act, w] {  // within the digit's second
        if (act == "click") return QTest::mouseClick(w->Panel1, Qt::LeftButton);
        QEvent off(QEvent::WindowDeactivate), on(QEvent::WindowActivate);
        QApplication::sendEvent(w, &off);
        QApplication::sendEvent(w, &on);
      });
    };
    w->Panel1->installEventFilter(&spy);
    int ticks = 0;
    connect(w->Timer2, &QTimer::timeout, &spy, [&] { ++ticks; });
    w->ShowModal();
    QCOMPARE(seen, painted);
    QCOMPARE(ticks, painted.size() - 1);
    QVERIFY(w->isHidden() && !w->Timer2->isActive() && w->Panel1->text().isEmpty());
    QCOMPARE(w->geometry(), frmMain->geometry());
  }

  // Preparations and monologue answers: each stage left to run out, "No" and
  // "Yes" to its early end, its question left open past the end, its text
  // missing. Rows that do not check the deliverable's duration run 8 s.
  void periods_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("action");
    for (int code : {10, 20, 30, 11, 31})
      for (QString a : {"run", "No", "Yes", "open", "missing"})
        if (code != 20 || (a != "No" && a != "open"))
          QTest::addRow("%d %s", code, qPrintable(a)) << code << a;
  }
  void periods() {
    QFETCH(int, code);
    QFETCH(QString, action);
    const bool prep = code % 10 == 0, flat = station::kFlat;
    const int task = code / 10, next = prep ? code + 1 : code == 11 ? 20 : 40;
    auto time = prep ? (task == 1 ? &TfrmMain::PrepTime1 : task == 2 ? &TfrmMain::PrepTime2 : &TfrmMain::PrepTime3)
                     : (task == 1 ? &TfrmMain::AnswerTime1 : &TfrmMain::AnswerTime3);
    const int full[] = {0, prep ? 90 : 180, 60, prep ? (flat ? 60 : 90) : (flat ? 180 : 240)};
    QCOMPARE(frmMain->*time, full[task]);
    const int T = frmMain->*time = action == "run" ? full[task] : 8;
    const QString suffix = prep ? QString() : QString("_0%1.ogg").arg(task);
    const QString confirm = code == 20 ? "" : prep ? "Завершить подготовку к заданию?"
                                               : "Вы уверены, что хотите завершить выполнение задания?";
    auto restore = removeText(action != "missing" ? QString()
                              : prep ? names::preparationFile(frmMain->kimVariant(), task)
                                     : names::taskFile(frmMain->kimVariant(), task));
    logStage<TfrmPrepare1>(10), logStage<TfrmPrepare2>(20), logStage<TfrmPrepare3>(30);
    logStage<TfrmTask1>(11), logStage<TfrmTask3>(31);
    probe(next);
    test::ModalAnswerer boxes(action == "run" || action == "missing" ? "OK" : "&" + action);
    boxes.leaveOpen(action == "open" ? "Confirm" : "");
    bool leftOpen = false;  // a box still open after the stage has gone
    g_onTick = [&](const Tick& t) {
      if (t.elapsed == 2 && action != "run" && action != "missing") pressButton1();
      if (t.switched)
        QTimer::singleShot(300, &boxes, [&] {
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) leftOpen = true, box->reject();
        });
    };
    ShowCount shows;
    _FiveSec->installEventFilter(&shows);
    station::guarded([code] { frmMain->StartFrame(code); });
    QVERIFY(test::waitFor([] { return !g_started.isEmpty(); }, 20000));
    QCOMPARE(g_started, QList<int>{next});

    QCOMPARE(shows.n, int(code != 10));
    QCOMPARE(g_start.status, code == 30);  // the equipment check left it hidden
    if (action != "missing") {
      QCOMPARE(g_start.name, prep ? QString("Подготовка к заданию № %1:").arg(task) : "Отвечайте! Идет запись:");
      QCOMPARE(std::make_tuple(g_start.time, g_start.bar, g_start.max, g_start.elapsed), std::make_tuple(secs(T), 0, T, 0));
    }
    int lastDialog = 2;  // Button1 is pressed after tick 2
    for (int i = 0; i + 1 < g_ticks.size(); ++i) {
      const Tick& t = g_ticks[i];
      QCOMPARE(std::make_tuple(t.elapsed, t.time, t.bar, t.switched), std::make_tuple(i + 1, secs(T - i - 1), i + 1, false));
      QCOMPARE(t.recording, !prep);
      if (t.dialog) lastDialog = i + 1;
    }
    const Tick& end = g_ticks.last();
    QVERIFY(end.switched && !end.recording);
    if (action == "Yes") {
      QCOMPARE(end.elapsed, 1000 + 1);
      QVERIFY2(g_ticks.size() <= lastDialog + 2 && g_ticks.size() < T, qPrintable(QString::number(g_ticks.size())));
    } else {
      QCOMPARE(std::make_tuple(end.elapsed, end.time, end.bar), std::make_tuple(T + 1, secs(0), T));  // gauge full at 0
    }
    const int questions = confirm.isEmpty() || action == "run" || action == "missing" ? 0 : 1;
    QCOMPARE(boxes.count(), questions + int(action == "missing"));
    if (questions) {
      const test::SeenBox& b = boxes.seen()[0];
      QCOMPARE(std::make_tuple(b.title, b.text, b.buttons, b.defaultButton),
               std::make_tuple("Confirm", confirm, QStringList{"&Yes", "&No"}, "&Yes"));
    }
    if (action == "missing") QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QVERIFY(test::waitFor([] { return !QApplication::activeModalWidget(); }, 1000));
    QVERIFY(!leftOpen);  // an open question is dismissed with its stage
    if (!prep) checkAnswer(suffix, g_start, end, action == "missing" ? 0.5 : 0);
    QCOMPARE(QDir(frmMain->StationDir + "Answer_" + kKey).exists(), !prep);
  }

  // The question series: left to run, "Yes" or "No" to an early end of one
  // question, the question left open past its end, a question text missing.
  void series_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("q");  // the question it happens in
    QTest::newRow("run") << "run" << 0;
    QTest::newRow("Yes in 2") << "Yes" << 2;
    QTest::newRow("No in 3") << "No" << 3;
    QTest::newRow("Yes in 5") << "Yes" << 5;
    QTest::newRow("open past the end of 1") << "open" << 1;
    QTest::newRow("text of 3 missing") << "missing" << 3;
  }
  void series() {
    QFETCH(QString, action);
    QFETCH(int, q);
    QCOMPARE(frmMain->AnswerTime2, 60);
    const int T = frmMain->AnswerTime2 = action == "run" ? 60 : 8;
    auto restore = removeText(action == "missing" ? names::questionFile(frmMain->kimVariant(), 3) : QString());
    logStage<TfrmTask2>(21);
    probe(30);
    test::ModalAnswerer boxes(action == "run" || action == "missing" ? "OK" : "&" + action);
    boxes.leaveOpen(action == "open" ? "Confirm" : "");
    qint64 answeredMs = -1;
    g_onTick = [&](const Tick& t) {
      if (t.question == q && t.elapsed == 2 && action != "missing") pressButton1();
      if (action == "open" && t.question == q && t.elapsed == T + 1)  // answered five seconds after the question ended
        QTimer::singleShot(50, &boxes, [&] {
          answeredMs = g_clock.elapsed();
          for (QAbstractButton* b : qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->buttons())
            if (b->text() == "&Yes") b->click();
        });
    };
    station::guarded([] { frmMain->StartFrame(21); });
    QVERIFY(test::waitFor([] { return !g_started.isEmpty(); }, 20000));
    QCOMPARE(g_started, QList<int>{30});
    QVERIFY(g_statusAtNext);
    QCOMPARE(boxes.count(), int(action != "run"));

    // A tick whose handler showed a box is logged once the box closed, after
    // the ticks that ran meanwhile: put the log in the order of the count.
    QList<Tick> all = QList<Tick>{g_start} + g_ticks;
    auto order = [](const Tick& t) { return std::pair(t.question, t.elapsed); };
    std::stable_sort(all.begin(), all.end(), [&](auto& a, auto& b) { return order(a) < order(b); });
    all.erase(std::unique(all.begin(), all.end(), [&](auto& a, auto& b) { return order(a) == order(b); }), all.end());
    QDateTime last;
    for (int n = 1; n <= 5; ++n) {
      int one = -1, end = -1, lastDialog = 0;  // the question's first and last tick
      for (int i = 1; i < all.size() && end < 0; ++i) {
        const Tick& t = all[i];
        if (one < 0 && t.question == n && t.elapsed == 1) lastDialog = (one = i) + 1;
        if (one < 0) continue;
        if (t.dialog) lastDialog = i;
        if (t.question > n || t.elapsed > T) end = i;
      }
      QVERIFY(one > 0 && end > one);
      const Tick& s = all[one];
      QCOMPARE(s.label, "Отвечайте! Идет запись ответа на вопрос № " + QString::number(n));
      QCOMPARE(s.name, "Отвечайте! Идет запись на вопрос № " + QString::number(n) + ":");
      QCOMPARE(std::make_tuple(s.max, s.status), std::make_tuple(T, true));
      const Tick& before = all[one - 1];
      if (before.question == n)  // the state the question starts in
        QCOMPARE(std::make_tuple(before.elapsed, before.time, before.bar, before.recording),
                 std::make_tuple(0, secs(T), 0, true));
      for (int i = one; i < end; ++i)
        QCOMPARE(std::make_tuple(all[i].elapsed, all[i].time, all[i].bar, all[i].recording),
                 std::make_tuple(i - one + 1, secs(T - (i - one + 1)), i - one + 1, true));
      const int ticks = end - one + 1;
      QVERIFY2(action == "Yes" && n == q ? end <= lastDialog + 2 && ticks <= T : ticks == T + 1,
               qPrintable(QString("question %1: %2 ticks").arg(n).arg(ticks)));
      if (action == "open" && n == 1)  // recording stopped at the end, the next question waits for the answer
        QVERIFY(all[end].dialog && !all[end].recording && all[end].question == 1 && all[end + 1].ms > answeredMs);
      const QString suffix = QString("_02_%1.ogg").arg(n);
      if (before.question == n) checkAnswer(suffix, before, all[end]);
      else checkAnswer(suffix, all[one - 1], all[end], 0.5);
      const QDateTime written = QFileInfo(frmMain->answerFile(suffix)).lastModified();
      QVERIFY(written > last);
      last = written;
    }
    const Tick& q3 = *std::find_if(all.begin(), all.end(), [](const Tick& t) { return t.question == 3; });
    QCOMPARE(q3.label, QString("Отвечайте! Идет запись ответа на вопрос № 3"));
    QCOMPARE(q3.name, QString("Отвечайте! Идет запись на вопрос № 3:"));
  }
};

QTEST_MAIN(TestTasks)
#include "test_tasks.moc"

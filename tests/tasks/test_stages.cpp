// The stages of the exam tasks and its completion on a started station with a
// fast clock, the synthetic sound device and the real oggenc. Each tick of a
// timed stage is logged right after the stage's own handler, so the tests see
// the status bar at every second as the participant does; the stage that
// follows is a stand-in that notes its start.
#include <QLabel>
#include <QProgressBar>
#include <QtTest>
#include <sndfile.h>

#include "modal.h"
#include "test_deliverable.h"
#include "toolkit/guard.h"
#include "toolkit/names.h"
#include "window/stages.h"
#include "toolkit/widgets.h"
#include "sound_file.h"
#include "stages/FinishExam.h"
#include "stages/FiveSec.h"
#include "stages/PlayAnswers.h"
#include "stages/Prepare.h"
#include "stages/Task.h"
#include "stages/Task2.h"
#include "station_fixture.h"
#include "synthetic_device.h"

namespace {

constexpr double kScale = 0.01, kSpeed = 10, kTone = 800;  // a station second lasts 10 ms
constexpr int kRate = 44100, kSkip = 3072;  // output blocks may be pulled before a press acts (a busy machine: several)
const QString kKey = "33_22_0005_0012_1", kCode = "2753000000003", kReviewed = "2751234567897";
const QStringList kSuffixes{"_00.ogg", "_01.ogg", "_02_1.ogg", "_02_2.ogg", "_02_3.ogg", "_02_4.ogg", "_02_5.ogg", "_03.ogg"};

struct Tick {
  int elapsed, question, bar, max;
  QString time, name, label;
  bool dialog, switched, recording, status, mic;
  std::uint64_t frames;  // captured by the device so far
};
Tick g_start;  // right after Start
QList<Tick> g_ticks;
QList<int> g_started;  // the stand-ins started
bool g_statusAtNext = false;
std::function<void(const Tick&)> g_onTick;
test::SyntheticDevice* g_dev = nullptr;

using test::openBox;
QString secs(int n) { return QString::number(n) + " сек."; }

template <class F>
Tick snap(F* f) {
  auto* label = f->template findChild<QLabel*>("Label1");
  auto* mic = f->template findChild<QWidget*>("imgMic");
  Tick t{f->ElapsedSeconds, 0, frmMain->ProcessBar->value(), frmMain->ProcessBar->maximum(),
         frmMain->lblProcessTime->text(), frmMain->lblProcessName->text(), label ? label->text() : "",
         openBox() != nullptr, f->hasSwitched(), RecordChannel != 0, frmMain->Panel1->isVisible(),
         mic && mic->isVisible() && !f->template findChild<QWidget*>("imgSpeak")->isVisible(), g_dev->capturedFrames()};
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

void probe(int code) {
  station::registerStage(code, {[](QWidget* owner) -> QWidget* { return new QFrame(owner); }, [code](QWidget*) {
                                  g_started << code;
                                  g_statusAtNext = frmMain->Panel1->isVisible();
                                }});
}

// Runs stage code until the stage after it has started.
bool run(int code) {
  station::guarded([code] { frmMain->StartFrame(code); });
  return test::waitFor([] { return !g_started.isEmpty(); }, 20000);
}

void press(QObject* frame, const char* button) {
  QTimer::singleShot(0, frame->findChild<QPushButton*>(button), &QPushButton::click);
}

// The answer file lies in the participant folder under the program folder
// and holds the tone: exactly what its own capture (the n-th since the
// device was installed) gave it. That capture ran at least from the
// question's first tick to its last one, both taken while it recorded; a
// busy machine or a box only widens the gaps between ticks, never what a
// capture took.
void checkAnswer(const QString& suffix, std::size_t capture, const Tick& first, const Tick& last) {
  const test::SoundFile s = test::readSoundFile(frmMain->StationDir + "Answer_" + kKey + "/" + kCode + "/" + kCode + suffix);
  QVERIFY(test::waitFor([&] { return g_dev->captureLengths().size() > capture; }, 5000));
  const double taken = double(g_dev->captureLengths()[capture]) / kRate, least = double(last.frames - first.frames) / kRate;
  QVERIFY2(s.ok && std::abs(s.seconds() - taken) <= taken * 0.02 + 0.1 && taken >= least - 0.02,
           qPrintable(QString("%1: %2 s, its capture %3 s, between ticks %4 s").arg(suffix).arg(s.seconds()).arg(taken).arg(least)));
  QVERIFY(std::abs(test::dominantFrequency(s.channel(0), s.rate) - kTone) < 10);
}

// Removes a task text (path not empty) until the guard goes.
auto removeText(const QString& path) {
  if (!path.isEmpty() && !QFile::remove(path)) qFatal("cannot remove %s", qPrintable(path));
  return qScopeGuard([path] { QFile::copy(QUORVEL_SAMPLE_KIM + path.mid(3), path); });
}

struct Filter : QObject {
  std::function<void(QEvent*)> f;
  bool eventFilter(QObject*, QEvent* e) override { return f(e), false; }
};

}  // namespace

class TestStages : public QObject {
  Q_OBJECT
  std::unique_ptr<test::StationFixture> fx;
  QTemporaryDir program;  // the program folder, not the current one
  std::unique_ptr<T_FiveSec> window;  // a countdown window with slower seconds
  std::array<int, 6> durations{};

  int& duration(int i) const {
    return *std::array{&frmMain->PrepTime1, &frmMain->PrepTime2, &frmMain->PrepTime3, &frmMain->AnswerTime1,
                       &frmMain->AnswerTime2, &frmMain->AnswerTime3}[i];
  }
  std::vector<float> played(std::size_t frames) {  // mono, from the press on
    test::waitFor([&] { return g_dev->played().size() >= 2 * (kSkip + frames); }, 2000);
    const auto all = g_dev->played();
    std::vector<float> mono;
    for (std::size_t i = 2 * kSkip; i < all.size(); i += 2) mono.push_back(all[i] / 32768.0f);
    return mono;
  }
  template <class F>
  F* enter(int code, int next) {
    station::registerStageClass<F>(code);
    probe(next);
    frmMain->Panel1->show();
    station::guarded([code] { frmMain->StartFrame(code); });
    return qobject_cast<F*>(CurrentFrame.data());
  }

 private slots:
  void initTestCase() {
    fx = std::make_unique<test::StationFixture>(kScale);
    g_dev = test::installSyntheticDevice();
    g_dev->setSpeed(kSpeed);
    g_dev->setTone(kTone, 0.5);
    fx->startStation();
    frmMain->StationDir = program.path() + "/";
    for (int i = 0; i < 6; ++i) durations[i] = duration(i);
    frmMain->AnswerKey = kKey;
    if (!test::flat()) frmMain->KimVariant = "3";
    // The reviewed answers: 0.2 s of a tone of their own, then 2500 Hz.
    const QString reviewed = frmMain->StationDir + "Answer_" + kKey + "/" + kReviewed + "/" + kReviewed;
    QVERIFY(QDir().mkpath(QFileInfo(reviewed).path()));
    for (int i = 0; i < 8; ++i) {
      auto samples = test::tone(400 + 100 * i, 0.5, kRate / 5), rest = test::tone(2500, 0.5, kRate * 9 / 5);
      samples.insert(samples.end(), rest.begin(), rest.end());
      if (i != 4)  // no "_02_3.ogg"
        QVERIFY(test::writeSoundFile(reviewed + kSuffixes[i], samples, kRate, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    }
  }
  void init() {
    for (int i = 0; i < 6; ++i) duration(i) = durations[i];
    frmMain->ParticipantCode = kCode;
    frmMain->Panel1->hide();  // as the equipment check leaves it
    g_ticks.clear();
    g_started.clear();
  }
  void cleanup() {
    g_onTick = nullptr;
    station::registerStages();
    frmMain->ParticipantCode = kCode;
    QDir(frmMain->participantFolder()).removeRecursively();
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
    QTest::newRow("untouched") << "" << "-" << QStringList{"", "3", "2", "1", "0"};
    QTest::newRow("click at 2") << "click" << "2" << QStringList{"", "3", "2", "0"};
    QTest::newRow("click before the first digit") << "click" << "" << QStringList{"", "0"};
    QTest::newRow("re-activated at 2") << "activate" << "2" << QStringList{"", "3", "2", "3", "2", "1", "0"};
    QTest::newRow("after a cut-short showing") << "cut" << "-" << QStringList{"", "3", "2", "1", "0"};
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
    auto later = [w](int ms, QString act) {  // within the digit's second
      QTimer::singleShot(ms, w, [w, act] {
        if (act != "activate") return QTest::mouseClick(w->Panel1, Qt::LeftButton);
        QEvent off(QEvent::WindowDeactivate), on(QEvent::WindowActivate);
        QApplication::sendEvent(w, &off), QApplication::sendEvent(w, &on);
      });
    };
    if (act == "cut") later(30, act), w->ShowModal();
    QStringList seen;
    bool acted = false;
    Filter paint;
    paint.f = [&](QEvent* e) {
      if (e->type() != QEvent::Paint || (!seen.isEmpty() && seen.last() == w->Panel1->text())) return;
      seen << w->Panel1->text();
      if (seen.last() == at && !std::exchange(acted, true)) later(40, act);
    };
    w->Panel1->installEventFilter(&paint);
    int ticks = 0;
    connect(w->Timer2, &QTimer::timeout, &paint, [&] { ++ticks; });
    w->ShowModal();
    QCOMPARE(seen, painted);
    QCOMPARE(ticks, painted.size() - 1);
    QVERIFY(w->isHidden() && !w->Timer2->isActive() && w->Panel1->text().isEmpty());
    QCOMPARE(w->geometry(), frmMain->geometry());
  }

  // Preparations and monologue answers: left to run out (with the
  // deliverable's duration), "No" and "Yes" to the early end, the question
  // left open past the end, the text missing (these with 8 s).
  void periods_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("action");
    for (int code : {10, 20, 30, 11, 31})
      for (QString a : {"run", "No", "Yes", "open", "missing"})
        if (code != 20 || (a != "No" && a != "open")) QTest::addRow("%d %s", code, qPrintable(a)) << code << a;
  }
  void periods() {
    QFETCH(int, code);
    QFETCH(QString, action);
    const bool prep = code % 10 == 0, flat = test::flat();
    const int task = code / 10, next = prep ? code + 1 : code == 11 ? 20 : 40;
    int& time = duration(prep ? task - 1 : task + 2);
    const int full[] = {0, prep ? 90 : 180, 60, prep ? (flat ? 60 : 90) : (flat ? 180 : 240)};
    QCOMPARE(time, full[task]);
    const int T = time = action == "run" ? full[task] : 8;
    const QString variant = frmMain->kimVariant();
    auto restore = removeText(action != "missing" ? "" : prep ? station::names::preparationFile(variant, task)
                                                              : station::names::taskFile(variant, task));
    logStage<TfrmPrepare1>(10), logStage<TfrmPrepare2>(20), logStage<TfrmPrepare3>(30);
    logStage<TfrmTask1>(11), logStage<TfrmTask3>(31), probe(next);
    test::ModalAnswerer boxes(action == "run" || action == "missing" ? "OK" : "&" + action);
    boxes.leaveOpen(action == "open" ? "Confirm" : "");
    bool leftOpen = false;  // a box still open after the stage has gone
    g_onTick = [&](const Tick& t) {
      if (t.elapsed == 2 && action != "run" && action != "missing") press(CurrentFrame, "Button1");
      if (t.switched)
        QTimer::singleShot(300, &boxes, [&] { if (QMessageBox* box = openBox()) leftOpen = true, box->reject(); });
    };
    Filter shown;
    int windows = 0;
    shown.f = [&](QEvent* e) { windows += e->type() == QEvent::Show; };
    _FiveSec->installEventFilter(&shown);
    const std::size_t captures = g_dev->captureLengths().size();
    QVERIFY(run(code));
    QCOMPARE(g_started, QList<int>{next});
    QCOMPARE(windows, int(code != 10));
    QCOMPARE(g_start.status, code == 30);
    if (action != "missing")
      QCOMPARE(std::make_tuple(g_start.name, g_start.time, g_start.bar, g_start.max, g_start.elapsed),
               std::make_tuple(prep ? QString("Подготовка к заданию № %1:").arg(task) : "Отвечайте! Идет запись:",
                               secs(T), 0, T, 0));
    int closed = 2;  // the tick after which the question was last seen open
    for (int i = 0; i + 1 < g_ticks.size(); ++i) {
      const Tick& t = g_ticks[i];
      QCOMPARE(std::make_tuple(t.elapsed, t.time, t.bar, t.switched, t.recording),
               std::make_tuple(i + 1, secs(T - i - 1), i + 1, false, !prep));
      if (t.dialog) closed = i + 1;
    }
    const Tick& end = g_ticks.last();
    QVERIFY(end.switched && !end.recording);
    if (action == "Yes")  // the next tick ends it
      QVERIFY2(end.elapsed == 1001 && g_ticks.size() <= closed + 2 && g_ticks.size() < T, qPrintable(secs(g_ticks.size())));
    else  // at T + 1, the gauge full at 0
      QCOMPARE(std::make_tuple(end.elapsed, end.time, end.bar), std::make_tuple(T + 1, secs(0), T));
    const bool asked = code != 20 && action != "run" && action != "missing";
    QCOMPARE(boxes.count(), int(asked || action == "missing"));
    if (asked) {
      const test::SeenBox& b = boxes.seen()[0];
      QCOMPARE(std::make_tuple(b.title, b.text, b.buttons, b.defaultButton),
               std::make_tuple("Confirm", prep ? "Завершить подготовку к заданию?" : "Вы уверены, что хотите завершить выполнение задания?",
                               QStringList{"&Yes", "&No"}, "&Yes"));
    }
    if (action == "missing") QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QVERIFY(test::waitFor([] { return !openBox(); }, 1000));
    QVERIFY(!leftOpen);  // an open question goes with its stage
    if (!prep)
      checkAnswer(QString("_0%1.ogg").arg(task), captures, g_ticks.first(), g_ticks[g_ticks.size() - 2]);
    QCOMPARE(QDir(frmMain->participantFolder()).exists(), !prep);
    QVERIFY(!QFileInfo::exists("Answer_" + kKey));  // nothing in the current folder
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
    auto restore = removeText(action == "missing" ? station::names::questionFile(frmMain->kimVariant(), 3) : "");
    logStage<TfrmTask2>(21), probe(30);
    test::ModalAnswerer boxes(action == "run" || action == "missing" ? "OK" : "&" + action);
    boxes.leaveOpen(action == "open" ? "Confirm" : "");
    g_onTick = [&](const Tick& t) {
      if (t.question == q && t.elapsed == 2 && action != "missing") press(CurrentFrame, "Button1");
      if (action == "open" && t.question == q && t.elapsed == T + 1)  // answered five seconds after the end
        QTimer::singleShot(50, &boxes, [] { test::pressInOpenBox("&Yes"); });
    };
    const std::size_t captures = g_dev->captureLengths().size();
    QVERIFY(run(21));
    QCOMPARE(g_started, QList<int>{30});
    QVERIFY(g_statusAtNext);
    QCOMPARE(boxes.count(), int(action != "run"));

    // A tick whose handler showed a box is logged once the box has closed,
    // after the ticks that ran meanwhile: the log in the order of the count.
    QList<Tick> all = QList<Tick>{g_start} + g_ticks;
    auto order = [](const Tick& t) { return std::pair(t.question, t.elapsed); };
    std::stable_sort(all.begin(), all.end(), [&](auto& a, auto& b) { return order(a) < order(b); });
    all.erase(std::unique(all.begin(), all.end(), [&](auto& a, auto& b) { return order(a) == order(b); }), all.end());
    QDateTime last;
    for (int n = 1; n <= 5; ++n) {
      int one = -1, end = -1, closed = 0;  // the question's first and last tick
      for (int i = 1; i < all.size() && end < 0; ++i) {
        if (one < 0 && all[i].question == n && all[i].elapsed == 1) closed = (one = i) + 1;
        if (one >= 0 && all[i].dialog) closed = i;
        if (one >= 0 && (all[i].question > n || all[i].elapsed > T)) end = i;
      }
      QVERIFY(one > 0 && end > one);
      const Tick &s = all[one], &before = all[one - 1];
      QCOMPARE(std::make_tuple(s.label, s.name, s.max, s.status, s.mic),
               std::make_tuple("Отвечайте! Идет запись ответа на вопрос № " + QString::number(n),
                               "Отвечайте! Идет запись на вопрос № " + QString::number(n) + ":", T, true, true));
      if (before.question == n)  // the state it starts in: full time
        QCOMPARE(std::make_tuple(before.elapsed, before.time, before.bar, before.recording),
                 std::make_tuple(0, secs(T), 0, true));
      for (int i = one; i < end; ++i)
        QCOMPARE(std::make_tuple(all[i].elapsed, all[i].time, all[i].bar, all[i].recording),
                 std::make_tuple(i - one + 1, secs(T - (i - one + 1)), i - one + 1, true));
      const int ticks = end - one + 1;
      QVERIFY2(action == "Yes" && n == q ? end <= closed + 2 && ticks <= T : ticks == T + 1,
               qPrintable(QString("question %1: %2 ticks").arg(n).arg(ticks)));
      if (action == "open")  // question 1 stopped at its end; question 2 waited for the answer
        QVERIFY(n == 1 ? all[end].dialog && !all[end].recording && all[end].question == 1 : !s.dialog);
      const QString suffix = QString("_02_%1.ogg").arg(n);
      checkAnswer(suffix, captures + n - 1, all[one], all[end - 1]);
      const QDateTime written = QFileInfo(frmMain->answerFile(suffix)).lastModified();
      QVERIFY(written > last);
      last = written;
    }
  }

  // Each play button: caption, place, tab order, and what a press plays
  // after another file (or the same one) has played past its start.
  void review_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("file");     // index in kSuffixes; _02_3 is missing
    QTest::addColumn<int>("tabRank");  // Button1 first
    QTest::newRow("btnPlayID") << "btnPlayID" << 0 << 8;
    QTest::newRow("btnPlay1, again") << "btnPlay1" << 1 << 1;
    for (int n = 1; n <= 5; ++n) QTest::addRow("btnPlay2_%d", n) << QString("btnPlay2_%1").arg(n) << 1 + n << 1 + n;
    QTest::newRow("btnPlay3") << "btnPlay3" << 7 << 7;
  }
  void review() {
    QFETCH(QString, name);
    QFETCH(int, file);
    QFETCH(int, tabRank);
    frmMain->ParticipantCode = kReviewed;
    auto* f = enter<TfrmPlayAnswers>(40, 50);
    QVERIFY(f && frmMain->Panel1->isHidden());
    QCOMPARE(std::make_tuple(f->Label1->text(), f->Label1->x()),
             std::make_tuple("Воспроизвести ответы участника с кодом 275-123-456-78-97", 8));
    auto* button = f->findChild<QPushButton*>(name);
    const QString captions[] = {"Прослушать код участника", "Прослушать ответ на задание № 1",
                                "Прослушать ответ на %1 вопрос задание № 2", "Прослушать ответ на задание № 3"};
    QCOMPARE(button->text(), file < 2 ? captions[file] : file == 7 ? captions[3] : captions[2].arg(file - 1));
    QCOMPARE(button->geometry(), QRect(346, 51 + 32 * file, 329, 25));
    QWidgetList chain{frmMain->focusWidget()};  // Button1 has the focus
    for (QWidget* w = chain[0]->nextInFocusChain(); w != chain[0]; w = w->nextInFocusChain())
      if (qobject_cast<QPushButton*>(w) && w->parent() == f) chain << w;
    QCOMPARE(chain.indexOf(button), tabRank);
    QCOMPARE(chain[0], static_cast<QWidget*>(f->Button1));

    test::ModalAnswerer boxes;
    g_dev->clearPlayed();
    f->btnPlay1->click();
    QVERIFY(played(kRate / 4).size() >= kRate / 4);  // past its start
    {
      // No block of the answer playing before is pulled after the clearing.
      const auto hold = g_dev->holdOutput();
      g_dev->clearPlayed();
      button->click();
    }
    const auto start = played(kRate / 10);
    QVERIFY(file == 4 ? start.empty() : test::toneShare(start, kRate, 400 + 100 * file, 0, kRate / 10) > 0.9);
    QCOMPARE(boxes.count(), 0);  // a missing file: silence and no box
  }

  // Beside each play button: the answer's length as far as it decodes, or
  // "нет записи" for a file that is missing or is no sound file; never a
  // figure taken from a damaged header; the button stays usable.
  void reviewLengths_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("shown");  // a pattern for the whole label
    QTest::newRow("present") << "62 s" << "1:02";
    QTest::newRow("missing") << "" << "нет записи";
    QTest::newRow("damaged") << "garbage" << "нет записи";
    // What decodes of the first half: about half a minute.
    QTest::newRow("cut in the middle") << "cut" << "0:[23][0-9]";
    QTest::newRow("damaged header") << "header" << "нет записи|[01]:[0-5][0-9]";
    QTest::newRow("damaged last page") << "tail" << "нет записи|[01]:[0-5][0-9]";
  }
  void reviewLengths() {
    QFETCH(QString, content);
    QFETCH(QString, shown);
    const QString code = "2750000000015";
    frmMain->ParticipantCode = code;
    const QString file = frmMain->answerFile("_01.ogg");
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    QFile::remove(file);
    if (content != "" && content != "garbage") {
      QVERIFY(test::writeSoundFile(file, test::tone(440, 0.5, kRate * 62), kRate, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    }
    QFile f(file);
    if (content == "garbage") {
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(QByteArray(4096, '\x5a'));
    } else if (content == "cut") {
      QVERIFY(f.resize(f.size() / 2));
    } else if (content == "header" || content == "tail") {
      // The identification header, or the last page with the granule
      // position that a header-based length is read from.
      QVERIFY(f.open(QIODevice::ReadWrite));
      f.seek(content == "header" ? 28 : f.size() - 200);
      f.write(QByteArray(content == "header" ? 30 : 200, '\xff'));
    }
    f.close();
    auto* stage = enter<TfrmPlayAnswers>(40, 50);
    QVERIFY(stage);
    QTRY_VERIFY(stage->lengthsShown());
    QCOMPARE(stage->lengthLabels.size(), 8);
    const QString text = stage->lengthLabels[1]->text();
    QVERIFY2(QRegularExpression("^(" + shown + ")$").match(text).hasMatch(), qPrintable(text));
    QCOMPARE(stage->lengthLabels[0]->text(), QString("нет записи"));  // no code recording either
    QVERIFY(stage->lengthLabels[1]->isVisible() && stage->btnPlay1->isEnabled());
    QVERIFY(stage->lengthLabels[1]->x() > stage->btnPlay1->geometry().right());
  }

  // The ways out of the review and the completion.
  void leaving_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QList<int>>("next");
    QTest::newRow("review: Button1 while playing") << 40 << "btnPlay1 Button1" << QList<int>{50};
    QTest::newRow("review: Button1 twice") << 40 << "Button1 Button1" << QList<int>{50};
    QTest::newRow("completion: Button1 twice") << 50 << "Button1 Button1" << QList<int>{5};
    QTest::newRow("completion: Button2") << 50 << "Button2" << QList<int>{};
  }
  void leaving() {
    QFETCH(int, code);
    QFETCH(QString, presses);
    QFETCH(QList<int>, next);
    if (code == 40) frmMain->ParticipantCode = kReviewed;
    QWidget* f = code == 40 ? static_cast<QWidget*>(enter<TfrmPlayAnswers>(40, 50)) : enter<TfrmFinishExam>(50, 5);
    QVERIFY(f && frmMain->Panel1->isHidden());
    if (code == 50) {
      auto* label = f->findChild<QLabel*>("Label1");
      QCOMPARE(std::make_tuple(label->text(), label->pos(), frmMain->focusWidget()->objectName()),
               std::make_tuple("Экзамен для участника с кодом 275-300-000-00-03 завершен!", QPoint(17, 120), "Button1"));
    }
    test::ModalAnswerer boxes;
    for (const QString& name : presses.split(' ')) {
      QTest::mouseClick(f->findChild<QPushButton*>(name), Qt::LeftButton);
      if (name == "btnPlay1") QVERIFY(played(kRate / 10).size() >= kRate / 10);
    }
    const std::size_t atPress = g_dev->played().size();
    test::pump(300);
    QVERIFY(g_dev->played().size() <= atPress + 2 * kSkip);  // the playback stopped with the press
    QCOMPARE(g_started, next);
    QVERIFY(!g_statusAtNext);
    QCOMPARE(boxes.count(), 0);
    if (next.isEmpty()) QVERIFY(frmMain->CanExit && !frmMain->isVisible() && !CurrentFrame->isVisible());
  }
};

QTEST_MAIN(TestStages)
#include "test_stages.moc"

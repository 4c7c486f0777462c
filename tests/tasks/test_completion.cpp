// The answer review and the completion stage: the review's play buttons and
// what they play (the synthetic device keeps every sample played), and the
// ways out of both stages.
#include <QLabel>
#include <QtTest>
#include <sndfile.h>

#include "modal.h"
#include "shell/guard.h"
#include "shell/stages.h"
#include "shell/widgets.h"
#include "sound_file.h"
#include "stages/FinishExam.h"
#include "stages/PlayAnswers.h"
#include "station_fixture.h"
#include "synthetic_device.h"

namespace {

const QString kKey = "33_22_0005_0012_1", kCode = "2751234567897";
constexpr int kRate = 44100, kSkip = 1024;  // a block the output may have pulled before the click

QList<int> g_started;
bool g_statusAtNext = true;
void probe(int code) {
  station::registerStage(code, {[](QWidget* owner) -> QWidget* { return new QFrame(owner); }, [code](QWidget*) {
                                  g_started << code;
                                  g_statusAtNext = frmMain->Panel1->isVisible();
                                }});
}

// The answer files: 0.2 s of a tone of the file's own (its start), then 1.8 s at 2500 Hz.
const QStringList kSuffixes{"_00.ogg", "_01.ogg", "_02_1.ogg", "_02_2.ogg", "_02_3.ogg", "_02_4.ogg", "_02_5.ogg", "_03.ogg"};
double startHz(const QString& suffix) { return 400 + 100 * kSuffixes.indexOf(suffix); }

}  // namespace

class TestCompletion : public QObject {
  Q_OBJECT
  std::unique_ptr<test::StationFixture> fx;
  test::SyntheticDevice* dev = nullptr;

  template <class F>
  F* enter(int code) {
    station::registerStageClass<F>(code);
    probe(code == 40 ? 50 : 5);
    frmMain->Panel1->show();
    g_started.clear();
    station::guarded([code] { frmMain->StartFrame(code); });
    return qobject_cast<F*>(CurrentFrame.data());
  }
  std::vector<float> playedFor(std::size_t frames, int timeoutMs = 2000) {
    test::waitFor([&] { return dev->played().size() >= 2 * (kSkip + frames); }, timeoutMs);
    std::vector<float> mono;
    const auto played = dev->played();
    for (std::size_t i = 2 * kSkip; i < played.size(); i += 2) mono.push_back(played[i] / 32768.0f);
    return mono;
  }

 private slots:
  void initTestCase() {
    fx = std::make_unique<test::StationFixture>();
    dev = test::installSyntheticDevice();
    dev->setSpeed(4.0);
    fx->startStation();
    frmMain->AnswerKey = kKey;
    frmMain->ParticipantCode = kCode;
    const QString folder = fx->dir() + "/Answer_" + kKey + "/" + kCode + "/";
    QVERIFY(QDir().mkpath(folder));
    for (const QString& suffix : kSuffixes) {
      if (suffix == "_02_3.ogg") continue;  // not recorded
      auto samples = test::tone(startHz(suffix), 0.5, kRate / 5);
      const auto rest = test::tone(2500, 0.5, kRate * 9 / 5);
      samples.insert(samples.end(), rest.begin(), rest.end());
      QVERIFY(test::writeSoundFile(folder + kCode + suffix, samples, kRate, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    }
  }
  void cleanupTestCase() { fx.reset(); }

  // Each play button: caption, place, tab order, and what a press plays
  // after another file (or the same one) has played past its start.
  void playButtons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("tabRank");  // place in the tab order, Button1 first
    const QString q = "Прослушать ответ на %1 вопрос задание № 2";
    QTest::newRow("btnPlayID") << "btnPlayID" << 51 << "Прослушать код участника" << "_00.ogg" << 8;
    QTest::newRow("btnPlay1, again") << "btnPlay1" << 83 << "Прослушать ответ на задание № 1" << "_01.ogg" << 1;
    for (int n = 1; n <= 5; ++n)
      QTest::addRow("btnPlay2_%d", n) << QString("btnPlay2_%1").arg(n) << 83 + 32 * n << q.arg(n)
                                      << QString("_02_%1.ogg").arg(n) << 1 + n;
    QTest::newRow("btnPlay3") << "btnPlay3" << 275 << "Прослушать ответ на задание № 3" << "_03.ogg" << 7;
  }
  void playButtons() {
    QFETCH(QString, name);
    QFETCH(int, top);
    QFETCH(QString, caption);
    QFETCH(QString, suffix);
    QFETCH(int, tabRank);
    auto* f = enter<TfrmPlayAnswers>(40);
    QVERIFY(f && frmMain->Panel1->isHidden());
    QCOMPARE(f->Label1->text(), QString("Воспроизвести ответы участника с кодом 275-123-456-78-97"));
    QCOMPARE(f->Label1->x(), 8);
    auto* button = f->findChild<QPushButton*>(name);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), QRect(346, top, 329, 25));
    QList<QWidget*> chain{static_cast<QWidget*>(f->Button1)};
    for (QWidget* w = f->Button1->nextInFocusChain(); w != chain[0]; w = w->nextInFocusChain())
      if (qobject_cast<QPushButton*>(w) && w->parent() == f) chain << w;
    QCOMPARE(chain.indexOf(static_cast<QWidget*>(button)), tabRank);
    QCOMPARE(frmMain->focusWidget(), chain[0]);

    test::ModalAnswerer boxes;
    dev->clearPlayed();
    f->btnPlay1->click();  // plays past its start
    QVERIFY(playedFor(kRate / 4).size() >= kRate / 4);
    dev->clearPlayed();
    button->click();
    if (suffix == "_02_3.ogg") {  // missing: the playback before it stopped, silence, no box
      test::pump(100);
      QVERIFY(dev->played().size() <= 2 * kSkip);
    } else {
      const auto start = playedFor(kRate / 10);
      QVERIFY(start.size() >= kRate / 10);
      QVERIFY2(test::toneShare(start, kRate, startHz(suffix), 0, kRate / 10) > 0.9, "not the file's start alone");
    }
    QCOMPARE(boxes.count(), 0);
  }

  // The ways out: Button1 during a playback, twice within the switch timer,
  // the completion's Button2.
  void leaving_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QList<int>>("next");
    QTest::newRow("review: Button1 while playing") << 40 << "play Button1" << QList<int>{50};
    QTest::newRow("review: Button1 twice") << 40 << "Button1 Button1" << QList<int>{50};
    QTest::newRow("completion: Button1 twice") << 50 << "Button1 Button1" << QList<int>{5};
    QTest::newRow("completion: Button2") << 50 << "Button2" << QList<int>{};
  }
  void leaving() {
    QFETCH(int, code);
    QFETCH(QString, press);
    QFETCH(QList<int>, next);
    QWidget* f = code == 40 ? static_cast<QWidget*>(enter<TfrmPlayAnswers>(code)) : enter<TfrmFinishExam>(code);
    QVERIFY(f && frmMain->Panel1->isHidden());
    if (code == 50) {
      auto* finish = static_cast<TfrmFinishExam*>(f);
      QCOMPARE(finish->Label1->text(), QString("Экзамен для участника с кодом 275-123-456-78-97 завершен!"));
      QCOMPARE(std::make_tuple(finish->Label1->x(), finish->Label1->y()), std::make_tuple(17, 120));
      QCOMPARE(frmMain->focusWidget(), static_cast<QWidget*>(finish->Button1));
    }
    test::ModalAnswerer boxes;
    dev->clearPlayed();
    for (const QString& name : press.split(' ')) {
      if (name == "play") {
        f->findChild<QPushButton*>("btnPlay1")->click();
        QVERIFY(playedFor(kRate / 10).size() >= kRate / 10);
        continue;
      }
      QTest::mouseClick(f->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    const std::size_t playedAtPress = dev->played().size();
    test::pump(300);
    QVERIFY(dev->played().size() <= playedAtPress + 2 * kSkip);  // playback stopped with the press
    QCOMPARE(g_started, next);
    QVERIFY(!g_statusAtNext || next.isEmpty());
    QCOMPARE(boxes.count(), 0);
    if (press == "Button2") QVERIFY(frmMain->CanExit && !frmMain->isVisible() && !CurrentFrame->isVisible());
  }
};

QTEST_MAIN(TestCompletion)
#include "test_completion.moc"

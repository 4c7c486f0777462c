// The checksum manifest as the station writes it (checked with the real
// sha256sum), its replacement surviving a crash, and quorvel-check --answers
// run as staff run it on stations collected after the exam. Built for both
// deliverables: the journal names the program, and task 3's period differs.
#include <sndfile.h>
#include <time.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <functional>

#include "toolkit/deliverable.h"
#include "toolkit/durable.h"
#include "toolkit/journal.h"
#include "toolkit/manifest.h"
#include "sound_file.h"
#include "answers_fixture.h"
#include "station_fixture.h"

namespace {

const QString kKey = "2017_01_0005_0012_1";
const QString kCode = "2751234567897";
const QStringList kSuffixes{"_00", "_01", "_02_1", "_02_2", "_02_3", "_02_4", "_02_5", "_03"};

QString answer(const QString& code, const QString& suffix) {
  return "Answer_" + kKey + "/" + code + "/" + code + suffix + ".ogg";
}
// A short answer: the checker counts frames, so a low rate keeps the test quick.
// Noise (hz 0) fills many pages, so that a file cut short still decodes in part.
void writeAnswer(const QString& path, double seconds, double hz = 440) {
  QVERIFY(QDir().mkpath(QFileInfo(path).path()));
  std::vector<std::int16_t> samples = test::tone(hz, 0.3, int(seconds * 8000), 8000, 1);
  if (hz == 0)
    for (auto& s : samples) s = std::int16_t(QRandomGenerator::global()->bounded(-10000, 10000));
  QVERIFY(test::writeSoundFile(path, samples, 8000, 1, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
}
void append(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Append) && f.write(bytes) == bytes.size());
}
QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}
int sha256sumCheck(const QString& dir) {
  QProcess p;
  p.setWorkingDirectory(dir);
  p.start("sha256sum", {"-c", "--strict", "--quiet", "Answer_" + kKey + ".sha256"});
  return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

struct Ops {
  QStringList seen;
  QString throwAt;
};

}  // namespace

using Change = std::function<void(const QString& dir)>;
Q_DECLARE_METATYPE(Change)

class TestAnswers : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { station::durable::setObserver({}); }
  void manifest_data();
  void manifest();
  void crash_data();
  void crash();
  void makeFolder_data();
  void makeFolder();
  void hashTime();
};

void TestAnswers::manifest_data() {
  QTest::addColumn<Change>("steps");
  QTest::addColumn<QStringList>("listed");
  QStringList all;
  for (const QString& s : kSuffixes) all << answer(kCode, s);
  std::sort(all.begin(), all.end());
  auto record = [](const QString& dir, const QString& file) { QVERIFY(station::manifest::record(dir + "/", kKey, dir + "/" + file)); };

  QTest::newRow("a whole participant") << Change([=](const QString& d) {
    for (const QString& s : kSuffixes) writeAnswer(d + "/" + answer(kCode, s), 1), record(d, answer(kCode, s));
    writeAnswer(d + "/test.ogg", 1), record(d, "test.ogg");
  }) << all;
  QTest::newRow("a spoken code recorded three times") << Change([=](const QString& d) {
    for (double hz : {300, 500, 700}) writeAnswer(d + "/" + answer(kCode, "_00"), 1, hz), record(d, answer(kCode, "_00"));
  }) << QStringList{answer(kCode, "_00")};
  QTest::newRow("a damaged old manifest; a listed file gone") << Change([=](const QString& d) {
    writeAnswer(d + "/" + answer(kCode, "_01"), 1), record(d, answer(kCode, "_01"));
    writeAnswer(d + "/" + answer(kCode, "_00"), 1), record(d, answer(kCode, "_00"));
    QVERIFY(QFile::remove(d + "/" + answer(kCode, "_01")));
    const QByteArray hex(64, 'a');
    append(d + "/Answer_" + kKey + ".sha256", "garbage\n" + hex + "  ../" + answer(kCode, "_00").toUtf8() + "\n" + hex +
                                                   "  test.ogg\n" + hex.left(60) + "  " + answer(kCode, "_00").toUtf8() + "\n\0\xff");
    writeAnswer(d + "/" + answer(kCode, "_02_1"), 1), record(d, answer(kCode, "_02_1"));
  }) << QStringList{answer(kCode, "_00"), answer(kCode, "_02_1")};
}

// Exactly one line for every answer that exists, sorted, each with the
// file's digest, accepted by sha256sum in the program folder and in a copy.
void TestAnswers::manifest() {
  QFETCH(Change, steps);
  QFETCH(QStringList, listed);
  QTemporaryDir dir, copy;
  steps(dir.path());
  if (QTest::currentTestFailed()) return;
  QStringList lines = QString::fromUtf8(contents(dir.filePath("Answer_" + kKey + ".sha256"))).split('\n');
  QCOMPARE(lines.takeLast(), QString());
  QCOMPARE(lines.size(), listed.size());
  for (qsizetype i = 0; i < lines.size(); ++i)
    QCOMPARE(lines[i], station::manifest::sha256Hex(dir.filePath(listed[i])) + "  " + listed[i]);
  QCOMPARE(sha256sumCheck(dir.path()), 0);
  QVERIFY(test::copyTree(dir.path(), copy.filePath("st")));
  QCOMPARE(sha256sumCheck(copy.filePath("st")), 0);
  QVERIFY(!QFile::exists(dir.filePath("Answer_" + kKey + ".sha256.tmp")));
}

void TestAnswers::crash_data() {
  QTest::addColumn<QString>("throwAt");  // the step at which the station stops; "" for none
  QTest::addColumn<bool>("blocked");     // the temporary file cannot be made
  QTest::newRow("no crash") << "" << false;
  QTest::newRow("crash before the temporary is flushed") << "sync-file" << false;
  QTest::newRow("crash before the rename") << "rename" << false;
  QTest::newRow("crash before the folder is flushed") << "sync-folder" << false;
  QTest::newRow("temporary cannot be made") << "" << true;
}

// The manifest is the old one or the new one, never part of either; the
// temporary is flushed before the rename and the folder after it.
void TestAnswers::crash() {
  QFETCH(QString, throwAt);
  QFETCH(bool, blocked);
  QTemporaryDir dir;
  const QString manifest = dir.filePath("Answer_" + kKey + ".sha256");
  writeAnswer(dir.filePath(answer(kCode, "_00")), 1);
  QVERIFY(station::manifest::record(dir.path(), kKey, dir.filePath(answer(kCode, "_00"))));
  const QByteArray old = contents(manifest);
  writeAnswer(dir.filePath(answer(kCode, "_01")), 1);
  if (blocked) QVERIFY(QDir().mkpath(manifest + ".tmp/x"));

  QStringList seen;
  station::durable::setObserver([&](const char* op, const QString& path) {
    seen << QString(op) + " " + QFileInfo(path).fileName();
    if (op == throwAt) throw std::runtime_error("crash");
  });
  QString error;
  bool ok = false, crashed = false;
  try {
    ok = station::manifest::record(dir.path(), kKey, dir.filePath(answer(kCode, "_01")), &error);
  } catch (const std::runtime_error&) {
    crashed = true;
  }
  station::durable::setObserver({});
  const QByteArray now = contents(manifest);
  const QString name = QFileInfo(manifest).fileName();
  if (throwAt.isEmpty() && !blocked) {
    QVERIFY(ok);
    QCOMPARE(seen, (QStringList{"write-temporary " + name + ".tmp", "sync-file " + name + ".tmp", "rename " + name,
                                "sync-folder " + QFileInfo(dir.path()).fileName()}));
    QCOMPARE(now.count('\n'), 2);
  } else if (throwAt == "sync-folder") {
    QVERIFY(crashed);  // renamed already: the new manifest, whole
    QCOMPARE(now.count('\n'), 2);
  } else {
    QCOMPARE(now, old);
    QVERIFY(blocked ? !ok && error.contains(name + ".tmp") : crashed);
  }
  QCOMPARE(sha256sumCheck(dir.path()), 0);
  // The next replacement works, over any temporary left behind.
  if (!blocked) QVERIFY(station::manifest::record(dir.path(), kKey, dir.filePath(answer(kCode, "_01"))));
}

void TestAnswers::makeFolder_data() {
  QTest::addColumn<QString>("path");  // under a temporary folder holding the file "f"
  QTest::addColumn<QString>("error");  // empty when the folder is there afterwards
  QTest::newRow("new") << "a" << "";
  QTest::newRow("there already") << "." << "";
  QTest::newRow("no folder to hold it") << "b/c" << "папка или файл не найдены";
  QTest::newRow("a file in its place") << "f" << "на этом месте уже есть файл";
}

// One level is made and the folder holding it flushed; the cause of a
// failure is the system's.
void TestAnswers::makeFolder() {
  QFETCH(QString, path);
  QFETCH(QString, error);
  QTemporaryDir dir;
  append(dir.filePath("f"), "x");
  QStringList seen;
  station::durable::setObserver([&](const char* op, const QString& p) { seen << QString(op) + " " + p; });
  QString why;
  QCOMPARE(station::durable::makeFolder(dir.filePath(path), &why), error.isEmpty());
  QVERIFY2(why.contains(error), qPrintable(why));
  if (error.isEmpty())
    QCOMPARE(seen, QStringList{"sync-folder " + QFileInfo(dir.filePath(path)).absolutePath()});
}

// A four-minute answer (about 4 MB) is hashed well within the check of its file.
void TestAnswers::hashTime() {
  QTemporaryDir dir;
  QByteArray bytes(4 * 1024 * 1024, Qt::Uninitialized);
  QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
  append(dir.filePath("a.ogg"), bytes);
  // Processor time, as the machine may be busy with other work.
  auto cpu = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
  };
  QElapsedTimer clock;
  clock.start();
  const qint64 from = cpu();
  const QByteArray hex = station::manifest::sha256Hex(dir.filePath("a.ogg"));
  const qint64 micros = cpu() - from;
  qInfo("sha256 of 4 MB: %lld us of processor time, %lld us in all", micros, clock.nsecsElapsed() / 1000);
  QCOMPARE(hex, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
  QVERIFY2(micros < 200000, qPrintable(QString::number(micros)));
  // What a day's manifest costs to replace, flushes included.
  QVERIFY(station::durable::replaceFile(dir.filePath("m"), QByteArray(400 * 110, 'x')));
  qInfo("replacing a 44 kB file: %lld us in flushes", station::durable::lastSyncMicros());
}

QTEST_GUILESS_MAIN(TestAnswers)
#include "tst_answers.moc"

// What the station keeps about its recordings: the check of a finished
// file, the lengths the review shows, the journal (its lines, and that a
// crash loses none already written) and the free-space estimate.
#include <sndfile.h>

#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstdlib>

#include "toolkit/freespace.h"
#include "toolkit/russian.h"
#include "toolkit/journal.h"
#include "toolkit/recordcheck.h"
#include "sound_file.h"

namespace {

// Run as a child (QUORVEL_JOURNAL_CRASH=n, QUORVEL_JOURNAL=path): two lines
// held before the file is known, then n lines, then an abort.
const bool g_crashChild = [] {
  if (!qEnvironmentVariableIsSet("QUORVEL_JOURNAL_CRASH")) return false;
  const int n = qEnvironmentVariableIntValue("QUORVEL_JOURNAL_CRASH");
  station::journal::write("station-start");
  station::journal::write("stage", "before the file");
  station::journal::open(qEnvironmentVariable("QUORVEL_JOURNAL"));
  for (int i = 0; i < n; ++i) station::journal::write("line", QString::number(i));
  std::abort();
}();

std::vector<std::int16_t> scaled(std::vector<std::int16_t> s, double db) {
  for (auto& v : s) v = std::int16_t(std::lround(v * std::pow(10.0, db / 20.0)));
  return s;
}

}  // namespace

class TestRecords : public QObject {
  Q_OBJECT

 private slots:
  void verdicts_data() {
    QTest::addColumn<QString>("content");  // tone:<seconds>:<dBFS>, silence:<seconds>, garbage, none
    QTest::addColumn<double>("recorded");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("good") << "tone:2:-6" << 2.0 << "ok";
    QTest::newRow("within half a second") << "tone:2:-6" << 2.45 << "ok";
    QTest::newRow("too short") << "tone:1:-6" << 2.0 << "too-short";
    QTest::newRow("silent") << "silence:2" << 2.0 << "silent";
    QTest::newRow("below -50 dBFS") << "tone:2:-55" << 2.0 << "silent";
    QTest::newRow("above -50 dBFS") << "tone:2:-45" << 2.0 << "ok";
    QTest::newRow("empty file") << "tone:0:-6" << 0.0 << "unreadable";
    QTest::newRow("not a sound file") << "garbage" << 1.0 << "unreadable";
    QTest::newRow("missing") << "none" << 1.0 << "missing";
    // gap:<tone s>:<silence s>:<tone s>, the tone at -6 dBFS
    QTest::newRow("silence of 11 s inside") << "gap:2:11:2" << 15.0 << "silent-gap";
    QTest::newRow("silence of 9 s inside") << "gap:2:9:2" << 13.0 << "ok";
    QTest::newRow("11 s before the first sound") << "gap:0:11:2" << 13.0 << "silent-gap";
    QTest::newRow("11 s after the last sound") << "gap:2:11:0" << 13.0 << "silent-gap";
    QTest::newRow("silent throughout, 12 s") << "silence:12" << 12.0 << "silent";
  }
  void verdicts() {
    QFETCH(QString, content);
    QFETCH(double, recorded);
    QFETCH(QString, verdict);
    QTemporaryDir dir;
    const QString file = dir.filePath("a.ogg");
    const QStringList p = content.split(':');
    if (p[0] == "tone" || p[0] == "silence") {
      const int frames = int(p[1].toDouble() * 44100);
      const auto samples = p[0] == "tone" ? scaled(test::tone(440, 1.0, frames), p[2].toDouble())
                                          : std::vector<std::int16_t>(std::size_t(frames) * 2, 0);
      QVERIFY(test::writeSoundFile(file, samples, 44100, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    } else if (p[0] == "gap") {
      std::vector<std::int16_t> samples;
      for (int part = 1; part <= 3; ++part) {
        const int frames = int(p[part].toDouble() * 44100);
        const auto piece = part == 2 ? std::vector<std::int16_t>(std::size_t(frames) * 2, 0)
                                     : scaled(test::tone(440, 1.0, frames), -6);
        samples.insert(samples.end(), piece.begin(), piece.end());
      }
      QVERIFY(test::writeSoundFile(file, samples, 44100, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    } else if (p[0] == "garbage") {
      QFile f(file);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(QByteArray(5000, 'x'));
    }
    const station::RecordingVerdict v = station::checkRecording(file, recorded);
    QCOMPARE(station::verdictName(v.fault), verdict);
    QCOMPARE(station::verdictWarning(v.fault).isEmpty(), v.ok());
    if (p[0] == "tone" && v.ok()) QVERIFY(std::abs(v.peakDb - p[2].toDouble()) < 1.5);
    // The review's length comes from the header and agrees with the decoding.
    if (p[0] == "gap") QVERIFY(std::abs(v.longestSilence - p[2].toDouble()) < 0.1);
    // What the review shows: the decoded length, none for a file that does not decode.
    if (v.seconds > 0) QVERIFY(std::abs(station::decodedLength(file) - v.seconds) < 0.001);
    else QVERIFY(station::decodedLength(file) < 0);
    if (v.seconds > 0) QVERIFY(std::abs(station::soundLength(file) - v.seconds) < 0.05);
    else QVERIFY(station::soundLength(file) < 0 || v.fault == station::RecordingVerdict::Unreadable);
  }

  void lengthsAsMinutesAndSeconds_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing") << 0.0 << "0:00";
    QTest::newRow("rounded down") << 62.4 << "1:02";
    QTest::newRow("rounded up to a minute") << 59.6 << "1:00";
    QTest::newRow("ten minutes") << 600.0 << "10:00";
  }
  void lengthsAsMinutesAndSeconds() {
    QFETCH(double, seconds);
    QFETCH(QString, shown);
    QCOMPARE(station::formatLength(seconds), shown);
  }

  void journalLines_data() {
    QTest::addColumn<QString>("participant");
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("details");
    QTest::addColumn<QString>("written");  // the fields after the time
    QTest::newRow("plain") << "2751234567897" << 21 << "x.ogg" << "2751234567897\t21\tev\tx.ogg";
    QTest::newRow("no participant, no stage") << "" << -1 << "" << "-\t-\tev\t";
    QTest::newRow("line breaks and tabs") << "" << 1 << "a\n\rb\tc\r\nd" << "-\t1\tev\ta |  | b c | d";
  }
  void journalLines() {
    QFETCH(QString, participant);
    QFETCH(int, stage);
    QFETCH(QString, details);
    QFETCH(QString, written);
    const QDateTime t(QDate(2026, 12, 8), QTime(9, 5, 7, 12), Qt::OffsetFromUTC, 3 * 3600);
    const QString line = station::journal::formatLine(t, participant, stage, "ev", details);
    QCOMPARE(line, "2026-12-08T09:05:07.012+03:00\t" + written);
    QCOMPARE(line.count('\t'), 4);
  }

  // Every line written before a crash is in the file, whole.
  void journalSurvivesACrash_data() {
    QTest::addColumn<int>("lines");
    QTest::newRow("right after opening") << 0;
    QTest::newRow("after one line") << 1;
    QTest::newRow("after many") << 200;
  }
  void journalSurvivesACrash() {
    QFETCH(int, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath("Answer_x.log");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_JOURNAL_CRASH", QString::number(lines));
    env.insert("QUORVEL_JOURNAL", path);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    QVERIFY(all.endsWith('\n'));
    const QList<QByteArray> got = all.trimmed().split('\n');
    QCOMPARE(got.size(), lines + 2);
    QVERIFY(got[0].contains("\tstation-start\t"));
    QVERIFY(got[1].endsWith("\tbefore the file"));
    for (int i = 0; i < lines; ++i) QVERIFY(got[i + 2].endsWith("\tline\t" + QByteArray::number(i)));
  }

  // The estimate against a small file system of its own (a tmpfs, where
  // this test may mount one).
  void freeSpaceOnASmallDisk() {
    QTemporaryDir dir;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=30m", "tmpfs", dir.path()}) != 0)
      QSKIP("cannot mount a tmpfs here (needs root)");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {dir.path()}); });
    // 13 minutes a participant (780 s; 781 s counts as 14).
    QCOMPARE(station::estimateSpace(dir.path(), 781).perParticipant, 14 * station::kEncoderBytesPerMinute);
    station::SpaceEstimate e = station::estimateSpace(dir.path(), 780);
    QCOMPARE(e.perParticipant, 13 * station::kEncoderBytesPerMinute);
    QVERIFY(e.freeBytes > 29'000'000 && e.freeBytes <= 31'457'280);
    QCOMPARE(e.participants, 2);
    QVERIFY(station::spaceWarning(e, 1).isEmpty());
    QVERIFY(station::spaceWarning(e, 10).contains("хватит на ответы 2 участник"));
    // Filled up to less than one participant's answers.
    QFile big(dir.filePath("fill"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.write(QByteArray(20'000'000, '\0')) == 20'000'000);
    big.close();
    e = station::estimateSpace(dir.path(), 780);
    QCOMPARE(e.participants, 0);
    QVERIFY(station::spaceWarning(e, 1).contains("Свободно: "));
  }
  // The box's numbers as Russian writes them: the plural the count asks
  // for, a decimal comma, and no "участник(ов)".
  void freeSpaceWords_data() {
    QTest::addColumn<qint64>("participants");
    QTest::addColumn<QString>("words");
    QTest::newRow("none") << qint64(0) << "Свободно: 41,9 МБ, этого не хватит на ответы ни одного участника (";
    QTest::newRow("one") << qint64(1) << "этого хватит на ответы 1 участника (";
    QTest::newRow("three") << qint64(3) << "этого хватит на ответы 3 участников (";
    QTest::newRow("eleven") << qint64(11) << "на ответы 11 участников (";
    QTest::newRow("twenty-one") << qint64(21) << "на ответы 21 участника (";
  }
  void freeSpaceWords() {
    QFETCH(qint64, participants);
    QFETCH(QString, words);
    station::SpaceEstimate e;
    e.freeBytes = 41'900'000;
    e.perParticipant = 13 * station::kEncoderBytesPerMinute;
    e.participants = participants;
    const QString box = station::spaceWarning(e, 100);
    QVERIFY2(box.contains(words), qPrintable(box));
    QVERIFY2(box.contains("занимает около 13,0 МБ") && !box.contains("(ов)") && !box.contains("41.9"), qPrintable(box));
  }

  void russianPlurals_data() {
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("form");
    for (qint64 n : {1, 21, 101, 1001}) QTest::addRow("%lld", n) << n << "станция";
    for (qint64 n : {2, 3, 4, 22, 34, 102}) QTest::addRow("%lld", n) << n << "станции";
    for (qint64 n : {0, 5, 11, 12, 14, 19, 20, 25, 111, 112, 114}) QTest::addRow("%lld", n) << n << "станций";
  }
  void russianPlurals() {
    QFETCH(qint64, n);
    QFETCH(QString, form);
    QCOMPARE(station::russian::plural(n, "станция", "станции", "станций"), form);
  }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"

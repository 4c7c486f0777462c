// Small collections of stations as they leave an exam, for the answers
// check: real Ogg Vorbis answers, the journal lines and the manifest the
// station writes, and quorvel-check run on them as staff run it.
#pragma once

#include <sndfile.h>

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include "sound_file.h"
#include "support/test_deliverable.h"
#include "toolkit/journal.h"
#include "toolkit/manifest.h"

namespace fixture {

inline const QStringList kSuffixes{"_00", "_01", "_02_1", "_02_2", "_02_3", "_02_4", "_02_5", "_03"};

inline QString key(int station) { return "2017_01_0005_0012_" + QString::number(station); }
inline QString answer(int station, const QString& code, const QString& suffix) {
  return "Answer_" + key(station) + "/" + code + "/" + code + suffix + ".ogg";
}

// A short answer: the checker counts frames, so a low rate keeps the test quick.
// Noise (hz 0) fills many pages, so that a file cut or damaged still decodes in part.
inline void writeAnswer(const QString& path, double seconds, double hz = 440, int format = SF_FORMAT_OGG | SF_FORMAT_VORBIS) {
  QVERIFY(QDir().mkpath(QFileInfo(path).path()));
  std::vector<std::int16_t> samples = test::tone(hz, 0.3, int(seconds * 8000), 8000, 1);
  if (hz == 0)
    for (auto& s : samples) s = std::int16_t(QRandomGenerator::global()->bounded(-10000, 10000));
  QVERIFY(test::writeSoundFile(path, samples, 8000, 1, format));
}
inline void append(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Append) && f.write(bytes) == bytes.size());
}
inline QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}
inline QByteArray journalLine(const QString& code, const QString& event, const QString& details) {
  const QDateTime t = QDateTime::fromString("2026-12-08T09:42:07.118+03:00", Qt::ISODateWithMs);
  return (station::journal::formatLine(t, code, code.isEmpty() ? -1 : 11, event, details) + "\n").toUtf8();
}

// The station's own check line of the file as it is now on disk, with its
// digest unless written as before checks carried one.
inline QByteArray checkLine(const QString& code, const QString& file, double seconds, bool digest = true) {
  QString details = QString("%1; length %2 s; peak -10.5 dBFS; ok").arg(file, QString::number(seconds, 'f', 2));
  if (digest) details += "; sha256 " + station::manifest::sha256Hex(file);
  return journalLine(code, "recording-checked", details);
}

enum class Checks { None, WithDigest, WithoutDigest };

// A station as it leaves the exam: participants' answers, _03 last seconds
// long; for each its recording-stop line, its manifest line and, when
// checked, the station's own check line after it.
inline void makeStation(const QString& dir, int number, const QStringList& codes, double last = 3,
                        Checks checked = Checks::WithDigest) {
  const QString program = test::flat() ? "quorvel-flat" : "quorvel";
  QByteArray log = journalLine({}, "station-start", program + "; station folder " + dir) +
                   journalLine({}, "check-finished",
                               QString("venue 0005; room 0012; station %1; answer folder Answer_%2").arg(number).arg(key(number)));
  for (const QString& code : codes)
    for (const QString& s : kSuffixes) {
      const double seconds = s == "_03" ? last : 3;
      const QString file = dir + "/" + answer(number, code, s);
      writeAnswer(file, seconds);
      const QString length = QString::number(seconds, 'f', 2);
      log += journalLine(code, "recording-stop", QString("%1; %2 s recorded; stopped").arg(file, length));
      QVERIFY(station::manifest::record(dir, key(number), file));
      if (checked != Checks::None) log += checkLine(code, file, seconds, checked == Checks::WithDigest);
    }
  append(dir + "/Answer_" + key(number) + ".log", log);
}

// A command run to its end: true when it exited 0; its output in out.
inline bool sh(const QStringList& command, QString* out = nullptr) {
  QProcess p;
  p.start(command.first(), command.mid(1));
  if (!p.waitForFinished(60000)) return false;
  if (out) *out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

struct Run {
  int status = -1;
  QString out, err;
};
// quorvel-check --answers args, in the language of lang.
inline Run check(const QStringList& args, const QString& lang = "C.UTF-8", const QStringList& wrap = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LANG", lang);
  env.insert("LC_ALL", lang);
  p.setProcessEnvironment(env);
  const QStringList command = wrap + QStringList{QStringLiteral(QUORVEL_CHECK), "--answers"} + args;
  p.start(command.first(), command.mid(1));
  if (!p.waitForFinished(60000)) p.kill();
  p.waitForFinished();
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace fixture

#include "recorder/filing.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <cmath>

#include "toolkit/durable.h"
#include "toolkit/handover.h"
#include "toolkit/journal.h"
#include "toolkit/manifest.h"

namespace station {

// The journal's line for a recording that has ended.
void journalStop(const QString& file, double seconds, const char* how) {
  journal::write(QStringLiteral("recording-stop"),
                 QStringLiteral("%1; %2 s recorded; %3")
                     .arg(file, QString::number(seconds, 'f', 2), QLatin1String(how)));
}

void journalCheck(const QString& file, const RecordingVerdict& v, int stage) {
  journal::write(QStringLiteral("recording-checked"),
                 QStringLiteral("%1; length %2 s; peak %3 dBFS; %4")
                     .arg(file, QString::number(v.seconds, 'f', 2),
                          std::isfinite(v.peakDb) ? QString::number(v.peakDb, 'f', 1) : QStringLiteral("-inf"),
                          verdictName(v.fault)),
                 stage);
}

// The finished file checked and hashed on a worker; then, on this thread
// and whatever became of the stage or the window meanwhile, its manifest
// line written first and the journal's check line second. A power cut
// between the two leaves an answer listed whose check line is missing,
// never a checked answer missing from the manifest. Then told(verdict).
void fileLater(const QString& file, double recorded, int stage, const QString& stationDir,
               const QString& answerKey, std::function<void(const RecordingVerdict&)> told) {
  struct Filed {
    RecordingVerdict verdict;
    QByteArray sha256;
  };
  const bool listed = !answerKey.isEmpty();
  handover::run(
      handover::keeper(),
      [file, recorded, listed] {
        return Filed{checkRecording(file, recorded), listed ? manifest::sha256Hex(file) : QByteArray()};
      },
      [=](const Filed& filed) {
        QString error;
        if (listed && !manifest::update(stationDir, answerKey, file, filed.sha256, &error))
          journal::write(QStringLiteral("manifest-failed"), error);
        journalCheck(file, filed.verdict, stage);
        told(filed.verdict);
      });
}

// The free space of the file system that holds file's folder (-1: unknown).
qint64 freeBytesFor(const QString& file) {
  QStorageInfo storage(QFileInfo(file).absolutePath());
  storage.refresh();
  return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
}

// The finished file and its folder flushed to stable storage, so that what
// the station reports as recorded survives a power cut. Returns the time
// the flushes took, in microseconds.
qint64 flushToDisk(const QString& file) {
  if (!QFileInfo::exists(file)) return 0;
  QString error;
  qint64 micros = 0;
  if (!durable::syncFile(file, &error)) journal::write(QStringLiteral("flush-failed"), error);
  micros += durable::lastSyncMicros();
  if (!durable::syncFolder(QFileInfo(file).absolutePath(), &error))
    journal::write(QStringLiteral("flush-failed"), error);
  micros += durable::lastSyncMicros();
  return micros;
}

}  // namespace station

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
  journal::write(QStringLiteral("recording-stop"), stopDetails(file, seconds, QLatin1String(how)));
}

void journalCheck(const QString& file, const RecordingVerdict& v, int stage, const QByteArray& sha256) {
  journal::write(QStringLiteral("recording-checked"), checkedDetails(file, v, sha256), stage);
}

// The finished file read once, hashed and checked on a worker, so that the
// digest is that of the very bytes the verdict is about; then, on this
// thread and whatever became of the stage or the window meanwhile, its
// manifest line written first and the journal's check line, with the same
// digest, second. A power cut between the two leaves an answer listed whose
// check line is missing, which the next start checks again; never a checked
// answer missing from the manifest. Then told(verdict).
void fileLater(const QString& file, double recorded, int stage, const QString& stationDir,
               const QString& answerKey, std::function<void(const RecordingVerdict&)> told) {
  const bool listed = !answerKey.isEmpty();
  handover::run(handover::keeper(), "answer check", [file, recorded] { return checkRecordingBytes(file, recorded); },
                [=](const handover::Outcome<CheckedFile>& outcome) {
                  if (!outcome.ok()) {
                    // Neither line, and no verdict to show: the answer is on
                    // disk unchecked, and the next start checks it.
                    journal::write(QStringLiteral("check-failed"), QStringLiteral("%1; %2").arg(file, outcome.error),
                                   stage);
                    return;
                  }
                  const CheckedFile& checked = *outcome.value;
                  QString error;
                  if (listed && !manifest::update(stationDir, answerKey, file, checked.sha256, &error))
                    journal::write(QStringLiteral("manifest-failed"), error);
                  journalCheck(file, checked.verdict, stage, checked.sha256);
                  told(checked.verdict);
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

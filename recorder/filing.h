// What becomes of a recording's file once it has ended: flushed to stable
// storage, told to the journal, checked and hashed on a worker, listed in
// the checksum manifest. Used by the recorder (recorder/recorder.h).
#pragma once

#include <QString>
#include <functional>

#include "toolkit/recordcheck.h"

namespace station {

// The journal's line for a recording that has ended.
void journalStop(const QString& file, double seconds, const char* how);
// The journal's line for a checked recording, with the digest of the bytes
// that were checked.
void journalCheck(const QString& file, const RecordingVerdict& v, int stage, const QByteArray& sha256);
// The finished file checked and hashed on a worker; then, on this thread
// and whatever became of the stage or the window meanwhile, its manifest
// line written first and the journal's check line second (no manifest line
// without an answer key). Then told(verdict).
void fileLater(const QString& file, double recorded, int stage, const QString& stationDir,
               const QString& answerKey, std::function<void(const RecordingVerdict&)> told);
// The free space of the file system that holds file's folder (-1: unknown).
qint64 freeBytesFor(const QString& file);
// The finished file and its folder flushed to stable storage; the time the
// flushes took, in microseconds.
qint64 flushToDisk(const QString& file);

}  // namespace station

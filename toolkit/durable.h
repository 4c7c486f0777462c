// Writing to stable storage: what the station reports as recorded, and what
// it keeps beside the answer folders, must survive a crash or a power cut.
// A file's data is flushed with fsync; a new name or a new folder becomes
// lasting only once the folder that holds it is flushed too. Knows nothing
// of the main window; runs on any thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace station::durable {

// Flushes the file's data to the disk (open, fsync, close).
bool syncFile(const QString& path, QString* error = nullptr);
// Flushes a folder, so that the names created, renamed or removed in it last.
bool syncFolder(const QString& path, QString* error = nullptr);
// Creates one folder level if it is missing, then flushes the folder that
// holds it. True when the folder exists afterwards (also when it was there).
bool makeFolder(const QString& path, QString* error = nullptr);
// Replaces path whole with bytes: writes a temporary file in the same
// folder, flushes it, renames it over path and flushes the folder. A crash
// leaves the old file or the new one, never part of either; a failure
// leaves the old file and no temporary behind.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// How long the last syncFile, syncFolder or the flushes of the last
// replaceFile took, in microseconds (on the calling thread).
qint64 lastSyncMicros();

// For tests: called before every flush and rename with the operation
// ("sync-file", "sync-folder", "write-temporary", "rename") and its path
// (for "rename", the path replaced). An observer that throws stops the
// operation there, as a crash would: nothing after it is done, and what was
// written so far stays on disk (a temporary file is left behind). An empty
// function removes the observer.
using Observer = std::function<void(const char* op, const QString& path)>;
void setObserver(Observer observer);

}  // namespace station::durable

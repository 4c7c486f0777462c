// The checksum manifest beside each answer folder: "Answer_<key>.sha256" in
// the program folder, beside "Answer_<key>.log", in the format of sha256sum
// with paths relative to the program folder:
//
//     <64 hex digits>  Answer_<key>/<code>/<code>_01.ogg
//
// One line for every answer file that exists, sorted by path, so that
// `sha256sum -c Answer_<key>.sha256` run in the program folder, or in any
// copy of it, verifies every answer. Only files under Answer_<key>/ are
// listed (never test.ogg). The manifest is replaced whole each time (see
// durable::replaceFile): a crash leaves the old one or the new one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace station::manifest {

// "<stationDir>Answer_<key>.sha256"; stationDir with or without its "/".
QString manifestFile(const QString& stationDir, const QString& answerKey);

// The SHA-256 of a file's bytes as 64 lowercase hex digits, read in blocks;
// empty when the file cannot be read. Runs on any thread.
QByteArray sha256Hex(const QString& file);

// Rewrites the manifest of answerKey so that answerFile has the line
// hexDigest (an empty digest removes its line), lines of files that no
// longer exist are dropped and the rest kept. A file outside Answer_<key>/
// is not listed: the call does nothing and returns true. False, with the
// cause in error, when the manifest cannot be written (the old one stays)
// or the digest is empty for a file that exists. Meant for the thread that
// owns the station's files (the UI thread).
bool update(const QString& stationDir, const QString& answerKey, const QString& answerFile,
            const QByteArray& hexDigest, QString* error = nullptr);
// sha256Hex and update in one call.
bool record(const QString& stationDir, const QString& answerKey, const QString& answerFile,
            QString* error = nullptr);

// What the start found and mended in an answer folder.
struct Repaired {
  int listed = 0;     // manifest lines added or corrected on the word of a check of the same bytes
  int rechecked = 0;  // answers checked again: no check of their bytes was journaled
  bool written = true;  // false when the manifest could not be written (the cause in error)
  QString error;
};
// Brings the manifest and the journal of answerKey up to date with the
// answers on disk, before anyone records: a crash or a power cut may have
// cut off an answer's check (neither line), its journal line, or the
// manifest's replacement. For each answer file under Answer_<key>/:
//  - a journaled check of the very bytes on disk (its digest matches the
//    file): the manifest line is made to match;
//  - a check line written before checks carried a digest, with a manifest
//    line that matches the file: left as it is;
//  - anything else (no check line, a check of other bytes, no digest and
//    no matching manifest line): the file is checked again, the manifest
//    line written, then an "answer-rechecked" line with the reason and a
//    "recording-checked" line with the digest, under its participant.
// Lines of files no longer there are dropped. Runs on the thread that owns
// the station's files.
Repaired repair(const QString& stationDir, const QString& answerKey, const QString& journalPath);

// One line of a manifest.
struct Entry {
  QByteArray hex;  // 64 lowercase hex digits
  QString path;    // relative to the program folder, "/"-separated
};
// The lines of a manifest file that are well formed: a digest, two spaces
// (or a space and "*") and a relative path without "..", under Answer_<key>/
// when answerKey is given. Anything else is skipped, a later line for the
// same path wins. ok (when given) is false when the file cannot be read.
// outside (when given) gets the path of every line with a digest whose path
// leads out of the answer folder (absolute, "..", another folder): never to
// be opened, and a sign that the manifest was not written by the station.
QList<Entry> read(const QString& manifestPath, const QString& answerKey = {}, bool* ok = nullptr,
                  QStringList* outside = nullptr);
// The manifest text of entries: sorted by path, one line each.
QByteArray format(QList<Entry> entries);

}  // namespace station::manifest

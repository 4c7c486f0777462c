// The file operations of the answers check, each giving the system's reason
// when it fails: listing a folder, hashing a file while looking at its first
// bytes, decoding an Ogg Vorbis file whole. Every function runs on any thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace check::files {

// text as it may be shown on a terminal: control characters (C0, DEL, C1)
// and the marks that reorder text shown as \xNN or \u{NNNN}, so that a
// crafted file name cannot move the cursor, clear the screen or hide part
// of a line.
QString terminalSafe(const QString& text);

// The reason for errnum as staff read it, in the language of the run.
QString reason(int errnum);

// The names in a folder, sorted, without "." and ".."; false with the errno
// in *error when the folder cannot be read.
bool list(const QString& dir, QStringList* names, int* error);

// Whether a file can be opened for reading; the errno in *error when not.
bool readable(const QString& file, int* error);

struct Hashed {
  int error = 0;          // errno when the file could not be read whole
  QByteArray sha256;      // 64 lowercase hex digits
  bool oggVorbis = false;  // the first page opens a Vorbis stream
};
Hashed hash(const QString& file);

struct Decoded {
  enum Fault { Ok, NotVorbis, Unreadable, DamagedInside, StopsEarly };
  Fault fault = Unreadable;
  double seconds = -1;     // what decoded
  double faultAt = -1;     // where the first damage is, seconds
};
Decoded decode(const QString& file);

}  // namespace check::files

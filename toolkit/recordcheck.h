// The check every finished recording goes through: its file decoded whole
// and compared with the time it was recorded for. A recording is faulty when
// its file is missing or cannot be decoded, when it is shorter than the time
// recorded by more than half a second (sound was lost on the way), or when
// it is silent throughout (the microphone gave nothing), or when it holds a
// silence longer than kSilentGapSeconds (the microphone gave nothing for a
// while: a loose plug, a device that dropped out and came back).
#pragma once

#include <QByteArray>
#include <QString>

namespace station {

struct RecordingVerdict {
  enum Fault { Ok, Missing, Unreadable, TooShort, Silent, SilentGap };
  Fault fault = Missing;
  double seconds = 0;  // the decoded length
  double peakDb = 0;   // the loudest sample, dBFS (-inf for none)
  double longestSilence = 0;  // seconds, the longest run below kSilencePeakDb
  bool ok() const { return fault == Ok; }
};

// A file shorter than the recording by more than this is faulty.
constexpr double kShortToleranceSeconds = 0.5;
// A file whose loudest sample stays below this is silent.
constexpr double kSilencePeakDb = -50.0;
// A file with sound in it that stays below kSilencePeakDb for longer than
// this anywhere (start and end included) has a silent gap.
constexpr double kSilentGapSeconds = 10.0;

// Decodes file whole (any sound file the station can play) and judges it
// against recordedSeconds. Runs on any thread.
RecordingVerdict checkRecording(const QString& file, double recordedSeconds);

// A check bound to the bytes it judged: the file read once into memory,
// hashed and decoded from that one copy, so that the digest names exactly
// what was found good or faulty, whatever happens to the file meanwhile.
struct CheckedFile {
  RecordingVerdict verdict;
  QByteArray sha256;  // 64 lowercase hex digits; empty when nothing could be read
};
// Files longer than this are not read into memory: an answer is a few
// megabytes, and a file this large is not one the station wrote.
constexpr qint64 kCheckReadLimit = 256 * 1024 * 1024;
CheckedFile checkRecordingBytes(const QString& file, double recordedSeconds);

// The details of the journal's recording-checked line and what is read back
// from one: "<file>; length 12.34 s; peak -3.0 dBFS; ok; sha256 <hex>".
// Lines written before the digest was added end after the verdict; their
// sha256 reads back empty, and such a check is bound to no bytes.
QString checkedDetails(const QString& file, const RecordingVerdict& v, const QByteArray& sha256);
struct CheckedLine {
  QString file;
  double seconds = -1;
  QString verdict;     // "ok", "silent", ...
  QByteArray sha256;   // empty for a line without a digest
  bool ok() const { return verdict == QLatin1String("ok"); }
};
// False for details that are not a recording-checked line's.
bool parseCheckedDetails(const QString& details, CheckedLine* out);
// The details of the journal's recording-stop line,
// "<file>; 12.34 s recorded; <how>", and the file and seconds read back from
// one (false for details that are not one).
QString stopDetails(const QString& file, double seconds, const QString& how);
bool parseStopDetails(const QString& details, QString* file, double* seconds);
// The length of a sound file from its header and its end, without decoding
// it; negative when the file is missing or not a readable sound file. The
// header of a damaged file can claim any length: never show this figure.
double soundLength(const QString& file);
// The length of the sound that decodes, counted frame by frame (a cut file
// gives what is left of it); negative when the file is missing or nothing
// of it decodes.
double decodedLength(const QString& file);

// The verdict's name in the journal: "ok", "missing", "unreadable",
// "too-short", "silent", "silent-gap".
QString verdictName(RecordingVerdict::Fault fault);
// The warning an organiser reads beside the question after a faulty
// recording; empty for a good one.
QString verdictWarning(RecordingVerdict::Fault fault);
// "1:02": whole seconds as minutes and seconds.
QString formatLength(double seconds);

}  // namespace station

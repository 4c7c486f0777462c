// Whether the answer folder's file system has room for the answers still
// to come. A participant's answers take about the encoder's bytes per
// minute times the minutes the station records for one participant; the
// free space divided by that says how many participants still fit.
#pragma once

#include <QString>
#include <QtGlobal>

namespace station {

// What the encoder writes per minute of recorded speech, rounded up:
// oggenc's default quality on 44100 Hz stereo speech wrote 0.6 to 0.9 MB a
// minute on the station's own recordings.
constexpr qint64 kEncoderBytesPerMinute = 1'000'000;

struct SpaceEstimate {
  qint64 freeBytes = -1;       // -1: the free space could not be read
  qint64 perParticipant = 0;   // bytes
  qint64 participants = 0;     // how many participants' answers fit
};

// The folder whose file system the answers go to: the answer folder when it
// exists (it may be a mount of its own), else the program folder.
QString spaceFolder(const QString& answerFolder, const QString& programFolder);
// answerSeconds: the recording time of one participant.
SpaceEstimate estimateSpace(const QString& folder, int answerSeconds);
// The warning when fewer than `needed` participants fit; empty when they do
// (or when the free space cannot be read).
QString spaceWarning(const SpaceEstimate& estimate, qint64 needed);

}  // namespace station

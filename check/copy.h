// Copying a station's answers off the station (to a USB stick), so that
// the copy can be trusted without the station: every Answer_<key> folder
// with its journal and manifest, into a folder named after the key, each
// file flushed to the stick, then read back from the stick (its cached
// pages dropped first, so the bytes come from the device) and compared with
// what was read from the station, and each answer with its manifest line.
//
// A copy is made under a hidden ".partial" name and renamed into place only
// once it reads back whole, so a stick pulled out mid-copy never holds
// something that looks like a finished copy. An earlier copy of the same
// station that differs is never overwritten: the new one gets the time of
// the copy in its name. The station's own files are only ever read.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "check/scan.h"

namespace check::copy {

struct Copied {
  QString key;
  QString folder;          // the copy's folder on the stick
  int files = 0;
  qint64 bytes = 0;
  bool earlier = false;    // an identical earlier copy was there already; it was read back instead
  QStringList unlike;      // answers whose bytes differ from their manifest line (as on the station)
};

struct Result {
  int error = 0;           // errno of the failure; 0 when every copy reads back whole
  QString failure;         // the failure as staff read it
  QList<Copied> stations;
  bool ok() const { return error == 0; }
};

// Bytes copied so far and in all; called on the copying thread.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Copies every station in places (those with an answer folder) into
// destination, which must exist.
Result copyStations(const QList<scan::Place>& places, const QString& destination, const Progress& progress = {});

// One sentence for staff: what was copied and checked, or what went wrong.
QString summary(const Result& result);

}  // namespace check::copy

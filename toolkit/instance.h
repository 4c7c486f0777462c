// The station as a process: one station per program folder, and the
// signals that end it (SIGTERM from a shut-down or a service manager,
// SIGINT, SIGHUP) handled in the event loop.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QLockFile;

namespace station {

// Takes the lock of the station folder ("station.lock" in it), held while
// the returned object lives. When another running station holds it, says so
// in a box naming the folder (and on standard error) and returns null. A
// lock left by a station that no longer runs (a crash, a power cut) does not
// count: it is taken over, and the journal gets a station-restart line
// saying that the last run did not end cleanly. A station started again by
// the exam room launcher (QUORVEL_KIOSK_RESTART set: why the last run
// ended) gets a station-restart line saying so. A folder where no lock can
// be made (read-only) does not stop the station.
std::unique_ptr<QLockFile> claimStationFolder(const QString& folder);
// The last claimStationFolder took over a lock left by a station that did
// not end cleanly.
bool lastRunInterrupted();

// From now on SIGTERM, SIGINT and SIGHUP end the station from its event
// loop: onEnd runs (the main window finishes a running recording and allows
// the close), then the application's event loops end. Call once, after the
// application object exists.
void installEndSignals(std::function<void()> onEnd);
// A signal has asked the station to end (also one that came before the
// main window existed).
bool endRequested();
// The status the station exits with after such a signal: 128 + its number,
// as a shell reports a process ended by it, so that a launcher tells it from
// the organiser's own end (0). 0 while no signal came.
int endStatus();

}  // namespace station

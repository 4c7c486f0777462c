// The station journal: what happened at this station, one line per event,
// in a UTF-8 text file beside the answer folder ("Answer_<key>.log" in the
// program folder), so that afterwards anyone can tell which recordings were
// made, how they turned out and which boxes were shown.
//
// A line is five tab-separated fields: local time (ISO 8601, with the
// offset from UTC), participant code ("-" while no participant is taking
// the exam), stage code ("-" before the first stage), event, details. Tabs
// and line breaks inside a field become spaces and " | ".
//
// Each line is handed to the system in one write as it happens, so a crash
// of the station loses nothing that was written before it; the lines that
// matter after a power cut (see syncedEvent) are also forced to the disk.
// A line is written whole or not at all: what a short write left of it is
// cut off again. Until the station knows its answer folder (the equipment
// check is finished) the lines are held and written, with their own times,
// once it does. Writing never stops the station: when the journal cannot be
// written (a full or read-only disk) the station says so once, in a box
// posted to the event loop, keeps the lines in memory (up to kBacklogLimit)
// and writes them, in order, at the first later write that succeeds.
#pragma once

#include <QDateTime>
#include <QString>

namespace station::journal {

// Writes from now on into path (appending to what is there), starting with
// the lines held until now. An empty path holds lines again.
void open(const QString& path);
// The file written now; empty while lines are held.
QString path();
// The participant and the stage the following lines belong to (an empty
// code: no participant; a negative stage: none yet).
void setParticipant(const QString& code);
void setStage(int code);
int stage();
// One event. stageCode overrides the current stage (a recording's check
// ends after its stage has been left, and is filed under that stage).
void write(const QString& event, const QString& details = {}, int stageCode = -1);
// One event of the given participant, whoever takes the exam now (an answer
// checked again at the start belongs to the participant who recorded it).
void writeFor(const QString& participant, const QString& event, const QString& details);

// Lines kept in memory while the journal cannot be written (and before it
// is opened); later ones are counted and their number written instead.
constexpr int kBacklogLimit = 10000;
// Lines held or waiting to be written now.
int backlog();
// The events forced to stable storage as they are written: participant-
// accepted, recording-stop, recording-checked, error-box, station-end,
// station-restart.
bool syncedEvent(const QString& event);

// One line as it is written, without its line break.
QString formatLine(const QDateTime& time, const QString& participant, int stageCode, const QString& event,
                   const QString& details);

}  // namespace station::journal

// Every folder and file name of the station, built from the main window's
// state. Answer folders and files resolve against the program folder
// (stationDir, with a trailing "/"); task materials and the equipment test
// recording are relative to the current folder.
#pragma once

#include <QString>

namespace station::names {

// --- task materials (current folder; read only) ---
QString subjectFile();       // "KIM/subj"
QString testTextFile();      // "KIM/TestRTF.rtf"
QString instructionFile();   // "KIM/I.rtf"
// Preparation text of task k (1..3), task text of task k (1 or 3), question
// text n (1..5) of task 2, in the layout of the running deliverable
// (toolkit/deliverable.h). kimVariant names the variant subfolder in quorvel
// and is ignored in quorvel-flat.
QString preparationFile(const QString& kimVariant, int k);
QString taskFile(const QString& kimVariant, int k);
QString questionFile(const QString& kimVariant, int n);
// The same names in a layout given by the caller, for a program that serves
// both deliverables (the materials checker): Variants is quorvel's layout
// (KIM/<variant>/...T2_n.rtf), Flat is quorvel-flat's (KIM/...Task2_n.rtf).
enum class Layout { Variants, Flat };
QString preparationFile(Layout layout, const QString& kimVariant, int k);
QString taskFile(Layout layout, const QString& kimVariant, int k);
QString questionFile(Layout layout, const QString& kimVariant, int n);
// The equipment test recording, "test.ogg" in the current folder.
QString testRecordingFile();

// --- answers (program folder) ---
QString codeSuffix();              // "_00.ogg"
QString taskSuffix(int k);         // "_01.ogg", "_03.ogg"
QString questionSuffix(int n);     // "_02_1.ogg" .. "_02_5.ogg"
QString answerFolder(const QString& stationDir, const QString& answerKey);
QString participantFolder(const QString& stationDir, const QString& answerKey,
                          const QString& participantCode);
QString answerFile(const QString& stationDir, const QString& answerKey,
                   const QString& participantCode, const QString& suffix);

// --- the station part of the answer folder name ---
// The four-digit form of a typed code: value + 10000, characters 2 to 5.
// Throws ConvertError when the text is not a whole number.
QString fourDigit(const QString& typed);
// SubjLine3 _ SubjLine2 _ four-digit venue _ four-digit room _ station number.
// Throws ConvertError for a non-number in the venue or room field.
QString answerKey(const QString& subjLine3, const QString& subjLine2, const QString& stationCode,
                  const QString& audCode, const QString& compCode);
// Why a subject line cannot be part of a folder name (a path separator, "..",
// a character no folder name may hold); empty when it can.
QString unsafeNamePart(const QString& line);

// --- the subject file ---
struct Subject {
  QString line1, line2, line3;
};
// The longest subject line taken, in bytes, line break not counted.
constexpr int kSubjectLineLimit = 1024;
// Reads the first three lines; a missing line reads as empty. The file is
// UTF-8 when it starts with a UTF-8 byte-order mark or is valid UTF-8 with
// non-ASCII text, Windows-1251 otherwise. Throws InOutError when the file
// cannot be opened or read, or when one of the three lines is longer than
// kSubjectLineLimit (the message names that line: a line is never split).
Subject readSubjectFile(const QString& path);

}  // namespace station::names

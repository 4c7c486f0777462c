// What the materials checker opens and how it judges each file. Every name
// is the station's own (toolkit/names.h), relative to the current folder as at
// the station; texts are loaded by the station's own text view.
#pragma once

#include <QList>
#include <QString>

namespace textview {
class RichView;
}

namespace check {

// One file that a program will open, or the one line that says that neither
// program would find any task text at all.
struct Item {
  enum class Kind { Subject, Text, NoTaskTexts };
  Kind kind = Kind::Text;
  QString name;  // as the station opens it, e.g. "KIM/1/T2_3.rtf"
};

// What the folder holds, and so which program it serves.
struct Plan {
  QStringList variants;  // variant folders present ("0" .. "9"): quorvel
  bool flat = false;     // task texts directly in KIM: quorvel-flat
  QList<Item> items;     // in the order a station opens them
};

// The files to check in the KIM folder under the current folder: the subject
// file, the text display test and the instruction, then for each variant
// folder present and for the flat layout (when any of its files is there)
// every preparation, task and question text in the order of the stages.
Plan planChecks();

struct Result {
  enum class Verdict { Ok, Missing, Failed };
  Verdict verdict = Verdict::Ok;
  QString reason;  // for Missing and Failed; may be empty for Missing
  QString note;    // worth knowing, not a fault (e.g. "plain text")
  // Filled when the file could be read.
  bool measured = false;
  qint64 chars = 0;
  int pictures = 0;
  int tables = 0;
  QString details;  // the subject file: what the station takes from it
  double ms = -1;   // time to load (and lay out), -1 when not loaded
};

// Reads the subject file with the station's reader and refuses what the
// station refuses when the equipment check ends.
Result checkSubject(const QString& name);

// Loads the text into view as a stage does, lays it out at the station's
// width, and fails it when the load fails or a picture shows as a blank box.
Result checkText(textview::RichView& view, const QString& name);

// One output line: name (padded to width), verdict, counts, time.
QString formatLine(const Item& item, const Result& result, int width);

}  // namespace check

// List items in the document: a numbered or bulleted paragraph becomes an
// item of a QTextList whose own numbering shows the paragraph's label. A
// label that Qt's numbering cannot show (a list starting at 5, "1.2.",
// Cyrillic letters, a dash or arrow for a bullet) stays text at the start of
// the paragraph, with a font that has its characters.
#pragma once

#include "textview/rtfcommon.h"
#include "textview/rtflisttable.h"

#include <QHash>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextListFormat>
#include <array>
#include <vector>

class QTextList;

namespace textview::rtf {

// How Qt's list numbering would show a label; `first` is what it shows for
// the first item of such a list.
struct ListShape {
  QTextListFormat::Style style = QTextListFormat::ListStyleUndefined;
  QString prefix, suffix, first;
};

// The list style that shows `label` (nfc: the number format the list
// defines, which tells "i." as a roman number from a letter); false when no
// Qt list style shows it.
bool listShape(const QString& label, int nfc, ListShape& out);

class ListOutput {
 public:
  explicit ListOutput(Budget& budget) : budget_(budget), open_(1) {}

  // Makes the block under `c` the list item `item`. `written` is the label
  // as the file wrote it (\listtext), empty when it was made from the list
  // definition; `labelFormat` is the label's character format. `f` is the
  // block's format, which the caller gives the block after.
  void place(QTextCursor& c, QTextBlockFormat& f, const ListItem& item, const QString& written,
             const QTextCharFormat& labelFormat);

  // A label that belongs to no list: text at the start of the block.
  void placeAsText(QTextCursor& c, QTextBlockFormat& f, const QString& text, QTextCharFormat format);

  // A text box or note begins or ends: the lists inside it are its own.
  void push() { open_.emplace_back(); }
  void pop() {
    if (open_.size() > 1) open_.pop_back();
  }

 private:
  struct Open {
    QTextList* qlist = nullptr;
    ListShape shape;
    int count = 0;  // items in qlist
  };
  using Levels = std::array<Open, kListLevels>;
  bool placeInList(QTextCursor& c, QTextBlockFormat& f, Open& open, std::size_t level, int nfc,
                   const QString& label);
  QString glyphFamily(const QTextCharFormat& format, char32_t ch);

  Budget& budget_;
  std::vector<QHash<qint64, Levels>> open_;  // the lists of each open flow, by list and level
  QHash<QString, QString> glyphFamilies_;  // font family and character -> family that has it
};

}  // namespace textview::rtf

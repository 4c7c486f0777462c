// The table builder: rows of RTF cells written into a QTextTable as they
// arrive. It owns the row being defined (\trowd ... \cellx), the table's
// column edges, the placing of each row's cells under them, and the merges
// across rows and columns.
#pragma once

#include "textview/rtfcommon.h"
#include "textview/rtfformats.h"

#include <QTextCursor>
#include <vector>

class QTextTable;

namespace textview::rtf {

struct CellDef {
  int right = 0;  // \cellx, twips
  int bg = 0;
  bool hMergeFirst = false, hMerge = false, vMergeFirst = false, vMerge = false;
  bool border = false;
};

class TableBuilder {
 public:
  // What the table needs from the reader: the pending text written out
  // before the output moves, and the current paragraph format (and list
  // membership) given to a block that is finished.
  class Host {
   public:
    virtual void flushRun() = 0;
    virtual void applyBlock(QTextCursor& c) = 0;
    // The paragraph a table starts in: its format, nothing else.
    virtual void formatBlock(QTextCursor& c) = 0;

   protected:
    ~Host() = default;
  };

  TableBuilder(Host& host, QTextCursor& main, const ColorTable& colors, Budget& budget)
      : host_(host), main_(main), colors_(colors), budget_(budget) {}

  bool active() const { return table_ != nullptr; }
  // Where text goes: the open cell, or the main flow.
  QTextCursor& out() { return cellOpen_ ? cell_ : main_; }

  // The row definition: \trowd starts one, \cellx ends each cell's.
  void startRow();
  void setGap(int twips) { trGaph_ = twips; }
  void setLeft(int twips) { trLeft_ = twips; }
  void setAlignment(Qt::Alignment a) { trAlign_ = a; }
  CellDef& nextCell() { return nextCell_; }
  void endCellDef(int right);

  // Opens the cell the next table paragraph goes into, starting the table
  // or its next row when needed.
  void ensureCell();
  void endCell();  // \cell
  void endRow();   // \row
  // Ends the table; the output goes on after it.
  void close();

 private:
  void mapRow();
  int cellColumn(int cell) const;
  void formatRow(int cols, int n);
  void spanCells(int cols);
  void mergeCells(int cols, int n);

  Host& host_;
  QTextCursor& main_;
  const ColorTable& colors_;
  Budget& budget_;

  QTextCursor cell_;
  QTextTable* table_ = nullptr;
  int row_ = 0, col_ = 0;
  bool rowOpen_ = false, cellOpen_ = false;
  std::int64_t cells_ = 0;  // table cells in the whole document
  std::vector<CellDef> rowDefs_;
  CellDef nextCell_;
  int trGaph_ = 0, trLeft_ = 0;
  Qt::Alignment trAlign_ = Qt::AlignLeft;
  std::vector<int> vMergeStart_;  // per column: row where a vertical merge began, -1 none
  std::vector<int> bounds_;       // right edges of the table's columns, twips
  std::vector<int> rowStart_;     // first table column of each cell of the row
};

}  // namespace textview::rtf

#include "textview/rtftable.h"

#include <QTextTable>
#include <algorithm>

namespace textview::rtf {

void TableBuilder::startRow() {
  rowDefs_.clear();
  nextCell_ = CellDef{};
  trGaph_ = trLeft_ = 0;
  trAlign_ = Qt::AlignLeft;
}

void TableBuilder::endCellDef(int right) {
  nextCell_.right = right;
  if (int(rowDefs_.size()) < budget_.limits().maxColumns) rowDefs_.push_back(nextCell_);
  nextCell_ = CellDef{};
}

void TableBuilder::ensureCell() {
  if (cellOpen_) return;
  const ReadLimits& lim = budget_.limits();
  host_.flushRun();
  if (!table_) {
    QTextTableFormat tf;
    tf.setCellSpacing(0);
    tf.setCellPadding(std::clamp(trGaph_ / kTwipsPerPx, 0.0, 50.0));
    tf.setBorder(0);
    tf.setAlignment(trAlign_);
    tf.setLeftMargin(std::clamp(trLeft_ / kTwipsPerPx, 0.0, 2000.0));
    const int cols = std::clamp(int(rowDefs_.size()), 1, lim.maxColumns);
    // The table takes the place of the empty paragraph it starts in, when
    // a paragraph of the same frame comes before it to hold it.
    bool merged = false;
    if (main_.block().length() == 1 && main_.blockNumber() > 0) {
      QTextCursor prev(main_.block().previous());
      if (prev.currentFrame() == main_.currentFrame() && !prev.currentTable()) {
        main_.deletePreviousChar();
        merged = true;
      }
    }
    if (!merged) host_.formatBlock(main_);
    table_ = main_.insertTable(1, cols, tf);
    row_ = 0;
    col_ = 0;
    rowOpen_ = true;
    vMergeStart_.assign(std::size_t(lim.maxColumns), -1);
    cells_ += cols;
    bounds_.clear();
    for (const CellDef& d : rowDefs_) {
      if (!bounds_.empty() && d.right <= bounds_.back()) {
        bounds_.clear();
        break;
      }
      bounds_.push_back(d.right);
    }
    if (int(bounds_.size()) != cols) bounds_.clear();
    mapRow();
  } else if (!rowOpen_) {
    // Rows are added in growing batches and the unused ones removed when the
    // table ends: QTextTable rebuilds its grid after every change of shape.
    if (row_ + 1 >= table_->rows()) table_->appendRows(std::max(1, table_->rows()));
    ++row_;
    col_ = 0;
    rowOpen_ = true;
    cells_ += table_->columns();
    mapRow();
  }
  const int column = cellColumn(col_);
  if (column >= table_->columns()) {
    if (column >= lim.maxColumns) failStream();
    table_->appendColumns(column + 1 - table_->columns());
    cells_ += std::int64_t(table_->rows()) * (column + 1 - table_->columns());
    bounds_.clear();
  }
  if (cells_ > lim.maxCells) failStream();
  budget_.addBlock();
  cell_ = table_->cellAt(row_, column).firstCursorPosition();
  cellOpen_ = true;
}

void TableBuilder::endCell() {
  ensureCell();
  host_.flushRun();
  host_.applyBlock(cell_);
  cellOpen_ = false;
  ++col_;
}

void TableBuilder::endRow() {
  if (!table_ || !rowOpen_) return;
  host_.flushRun();
  cellOpen_ = false;
  rowOpen_ = false;
  const int cols = table_->columns();
  const int n = std::min<int>(int(rowDefs_.size()), cols);
  formatRow(cols, n);
  spanCells(cols);
  mergeCells(cols, n);
}

// Cell shading, and from the row's cell edges the column widths and borders.
void TableBuilder::formatRow(int cols, int n) {
  bool border = false;
  for (int i = 0; i < n; ++i) {
    const CellDef& def = rowDefs_[std::size_t(i)];
    border = border || def.border;
    if (const QColor bg = colors_.at(def.bg); bg.isValid() && cellColumn(i) < cols) {
      QTextTableCell cell = table_->cellAt(row_, cellColumn(i));
      QTextCharFormat f = cell.format();
      f.setBackground(bg);
      cell.setFormat(f);
    }
  }
  if (row_ != 0 && n != cols) return;
  QTextTableFormat tf = table_->format();
  if (n == cols && n > 0) {
    QList<QTextLength> widths;
    int left = trLeft_;
    bool ok = true;
    for (int i = 0; i < n; ++i) {
      const int right = rowDefs_[std::size_t(i)].right;
      if (right <= left) ok = false;
      widths.append(QTextLength(QTextLength::FixedLength, std::clamp((right - left) / kTwipsPerPx, 1.0, 5000.0)));
      left = right;
    }
    if (ok) tf.setColumnWidthConstraints(widths);
  }
  if (border) {
    tf.setBorder(1);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setBorderBrush(Qt::black);
    tf.setBorderCollapse(true);
  }
  if (tf != table_->format()) table_->setFormat(tf);
}

// Cells wider than one column span the columns they cover.
void TableBuilder::spanCells(int cols) {
  const int m = int(rowStart_.size());
  for (int i = 0; i < m; ++i) {
    const int first = rowStart_[std::size_t(i)];
    int last = i + 1 < m ? rowStart_[std::size_t(i + 1)] - 1 : first;
    // The last cell reaches as far as its right edge goes. A \trowd inside
    // the row may have left fewer cell definitions than the row has cells;
    // a cell without one spans nothing.
    if (i + 1 == m && i < int(rowDefs_.size())) {
      const int right = rowDefs_[std::size_t(i)].right;
      while (last + 1 < int(bounds_.size()) && bounds_[std::size_t(last)] < right - 30) ++last;
    }
    last = std::min(last, cols - 1);
    if (last > first && table_->cellAt(row_, first).columnSpan() == 1) table_->mergeCells(row_, first, 1, last - first + 1);
  }
}

// Cells marked as merged: across the row, and down the columns.
void TableBuilder::mergeCells(int cols, int n) {
  for (int i = 0; i < n;) {
    int span = 1;
    if (rowDefs_[std::size_t(i)].hMergeFirst)
      while (i + span < n && rowDefs_[std::size_t(i + span)].hMerge) ++span;
    const int first = cellColumn(i), last = std::min(cellColumn(i + span - 1), cols - 1);
    if (last > first && table_->cellAt(row_, first).columnSpan() == 1 && table_->cellAt(row_, last).columnSpan() == 1)
      table_->mergeCells(row_, first, 1, last - first + 1);
    i += span;
  }
  for (int i = 0; i < n; ++i) {
    const CellDef& def = rowDefs_[std::size_t(i)];
    const int c = cellColumn(i);
    if (c >= cols) break;
    int& start = vMergeStart_[std::size_t(c)];
    if (def.vMergeFirst) {
      start = row_;
    } else if (def.vMerge && start >= 0 && start < row_) {
      const QTextTableCell top = table_->cellAt(start, c);
      const QTextTableCell here = table_->cellAt(row_, c);
      if (top.column() == c && top.columnSpan() == 1 && here.column() == c && here.columnSpan() == 1)
        table_->mergeCells(start, c, row_ - start + 1, 1);
    } else {
      start = -1;
    }
  }
}

// Places the cells of a row under the table's columns by their right edges,
// so that a row with fewer, wider cells spans columns instead of leaving
// them empty. Without usable edges the cells go one to a column.
void TableBuilder::mapRow() {
  rowStart_.clear();
  if (bounds_.empty() || rowDefs_.empty()) return;
  constexpr int kSlack = 30;  // twips: writers round edges differently
  int left = trLeft_;
  for (const CellDef& d : rowDefs_) {
    int c = 0;
    while (c < int(bounds_.size()) && bounds_[std::size_t(c)] <= left + kSlack) ++c;
    if (c >= int(bounds_.size()) || (!rowStart_.empty() && c <= rowStart_.back())) {
      rowStart_.clear();
      return;
    }
    rowStart_.push_back(c);
    left = d.right;
  }
}

int TableBuilder::cellColumn(int cell) const {
  if (rowStart_.empty()) return cell;
  if (cell < int(rowStart_.size())) return rowStart_[std::size_t(cell)];
  return int(bounds_.size()) + cell - int(rowStart_.size());
}

void TableBuilder::close() {
  host_.flushRun();
  if (rowOpen_) endRow();
  if (table_->rows() > row_ + 1) table_->removeRows(row_ + 1, table_->rows() - row_ - 1);
  // The output goes on after the table, inside the frame that holds it.
  main_.setPosition(table_->lastPosition() + 1);
  table_ = nullptr;
  cellOpen_ = false;
}

}  // namespace textview::rtf

// RichEdit1 of every stage: a rich-text view that loads an RTF file (or a
// plain text file) by path and shows it with its formatting.
#pragma once

#include <QPointer>
#include <QTextEdit>
#include <stdexcept>

namespace textview {

// Thrown by RichView::loadFromFile. what() is UTF-8 text meant for a person.
class LoadError : public std::runtime_error {
 public:
  explicit LoadError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString message() const { return QString::fromUtf8(what()); }
};

class RichView : public QTextEdit {
  Q_OBJECT
  // Layout properties, set by the stage layouts (.ui) and never changed at run time.
  Q_PROPERTY(bool scrollBars READ scrollBars WRITE setScrollBars)
  Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
  Q_PROPERTY(bool borderLine READ borderLine WRITE setBorderLine)

 public:
  explicit RichView(QWidget* parent = nullptr);

  // Replaces the content with the file's: RTF when it begins with "{\rtf",
  // plain text otherwise. Caret at the start, view at the top.
  // Throws LoadError "Cannot open file \"PATH\". REASON" when the file cannot
  // be opened (the old content stays), "Failed to Load Stream" when the
  // content cannot be read.
  void loadFromFile(const QString& path);

  // When set, every view has its scroll bars whatever its layout says (the
  // program sets it once at start-up, before any view exists).
  static void setScrollBarsEverywhere(bool on);
  static bool scrollBarsEverywhere();
  // Every text loaded from then on is shown with its font sizes multiplied
  // by f (a station built smaller for a small screen); 1 shows them as
  // the file gives them.
  static void setTextScale(double f);
  static double textScale();

  // Both scroll bars, each shown only while the content overflows (true), or
  // none (false; ignored while scroll bars are on everywhere).
  bool scrollBars() const { return scrollBars_; }
  void setScrollBars(bool on);
  // Blank space in pixels between the border and the text.
  int borderWidth() const { return borderWidth_; }
  void setBorderWidth(int px);
  // A single border line around the view (true) or none.
  bool borderLine() const { return borderLine_; }
  void setBorderLine(bool on);

 private:
  bool scrollBars_ = true;
  int borderWidth_ = 0;
  bool borderLine_ = true;
  QPointer<QTextDocument> loaded_;  // the document of the last load, owned by this view
};

}  // namespace textview

#include "textview/richview.h"

#include "textview/rtfreader.h"

#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace textview {

RichView::RichView(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  setScrollBars(true);
  setBorderWidth(0);
  setBorderLine(true);
  // The view stays editable, but Tab moves on to the next control: a
  // station is worked from the keyboard too.
  setTabChangesFocus(true);
}

namespace {
bool g_scrollBarsEverywhere = false;

// Plain text is held to the document limits of RTF: no more characters and
// no more paragraphs. Counted on the bytes, before any text is made, so an
// oversized file is refused at once instead of being laid out for seconds.
bool plainTextWithinLimits(const QByteArray& bytes, const ReadLimits& limits) {
  const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
  std::int64_t chars = 0;
  std::int64_t blocks = 1;
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '\n') ++blocks;
    // In UTF-8 a continuation byte is part of the character before it.
    if (!utf8 || (b & 0xC0) != 0x80) ++chars;
    if (chars > limits.maxChars || blocks > limits.maxBlocks) return false;
  }
  return true;
}
}  // namespace

namespace {
double g_textScale = 1.0;

// The font sizes the text gives, multiplied by f; text without a size of
// its own follows the document's default font, which is the view's.
void scaleFontSizes(QTextDocument* doc, double f) {
  struct Run {
    int from, length;
    qreal size;
  };
  QList<Run> runs;  // collected first: changing a format merges fragments
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const qreal size = fragment.charFormat().fontPointSize();
      if (fragment.isValid() && size > 0) runs.append({fragment.position(), fragment.length(), size});
    }
  QTextCursor cursor(doc);
  for (const Run& r : runs) {
    cursor.setPosition(r.from);
    cursor.setPosition(r.from + r.length, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setFontPointSize(r.size * f);
    cursor.mergeCharFormat(format);
  }
}
}  // namespace

void RichView::setTextScale(double f) { g_textScale = (f > 0) ? f : 1.0; }
double RichView::textScale() { return g_textScale; }

void RichView::setScrollBarsEverywhere(bool on) { g_scrollBarsEverywhere = on; }
bool RichView::scrollBarsEverywhere() { return g_scrollBarsEverywhere; }

void RichView::setScrollBars(bool on) {
  scrollBars_ = on || g_scrollBarsEverywhere;
  on = scrollBars_;
  const auto policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  setVerticalScrollBarPolicy(policy);
  setHorizontalScrollBarPolicy(policy);
}

void RichView::setBorderWidth(int px) {
  borderWidth_ = px;
  setViewportMargins(px, px, px, px);
}

void RichView::setBorderLine(bool on) {
  borderLine_ = on;
  setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
}

void RichView::loadFromFile(const QString& path) {
  // Only a regular file is opened: a named pipe or a device in a text's
  // place would block the reading (and with it the station) for good.
  const QFileInfo info(path);
  if (info.exists() && !info.isFile())
    throw LoadError(QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw LoadError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
  const ReadLimits limits;
  if (file.size() > qint64(limits.maxInputBytes))
    throw LoadError(QStringLiteral("Failed to Load Stream"));
  const QByteArray bytes = file.read(qint64(limits.maxInputBytes) + 1);
  const bool readFailed = file.error() != QFileDevice::NoError;
  file.close();
  if (readFailed) throw LoadError(QStringLiteral("Failed to Load Stream"));

  if (!isRtf(bytes) && !plainTextWithinLimits(bytes, limits)) throw LoadError(QStringLiteral("Failed to Load Stream"));

  // Read into a document of its own, so that a failure leaves the view as it was.
  auto* doc = new QTextDocument(this);
  doc->setDefaultFont(font());
  try {
    readDocument(bytes, doc, limits);
  } catch (...) {
    delete doc;
    throw;
  }
  if (g_textScale != 1.0) scaleFontSizes(doc, g_textScale);
  QTextDocument* previous = loaded_;
  setDocument(doc);
  loaded_ = doc;
  if (previous && previous != doc) delete previous;
  moveCursor(QTextCursor::Start);
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
}

}  // namespace textview

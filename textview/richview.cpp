#include "textview/richview.h"

#include <QFile>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextCursor>

namespace textview {

RichView::RichView(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  setScrollBars(true);
  setBorderWidth(0);
  setBorderLine(true);
}

void RichView::setScrollBars(bool on) {
  scrollBars_ = on;
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
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw LoadError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
  const QByteArray bytes = file.readAll();
  file.close();
  // Temporary: plain text only until the RTF reader lands.
  QStringDecoder decode("windows-1251");
  setPlainText(decode(bytes));
  moveCursor(QTextCursor::Start);
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
}

}  // namespace textview

#include "toolkit/widgets.h"

#include <QAction>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "toolkit/screenfit.h"

namespace station {

QFont arialFont(int pixels, bool bold, bool italic) {
  QFont f(QStringLiteral("Arial"));
  // At the station's factor: on a small screen the whole station is smaller.
  f.setPixelSize(screen::scaled(pixels));
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

void bindAction(QAbstractButton* button, QAction* action) {
  auto follow = [button, action] {
    button->setText(action->text());
    button->setEnabled(action->isEnabled());
  };
  follow();
  QObject::connect(action, &QAction::changed, button, follow);
  QObject::connect(button, &QAbstractButton::clicked, action, [action] {
    if (action->isEnabled()) action->trigger();
  });
}

}  // namespace station

WordWrapButton::WordWrapButton(QWidget* parent) : QPushButton(parent) {}

QSize WordWrapButton::sizeHint() const {
  // Wide enough for the longest word, tall enough for the wrapped lines.
  const QFontMetrics fm(font());
  int widest = 0;
  for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
    widest = std::max(widest, fm.horizontalAdvance(word));
  const QRect r = fm.boundingRect(QRect(0, 0, std::max(widest, width() - 20), 10000),
                                  Qt::AlignCenter | Qt::TextWordWrap, text());
  return {std::max(widest, r.width()) + 20, r.height() + 12};
}

void WordWrapButton::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  // The style draws the frame and focus; the caption is drawn here, wrapped.
  option.text.clear();
  p.drawControl(QStyle::CE_PushButton, option);
  // A few pixels of air on each side: a caption that would touch the edges wraps.
  QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(4, 0, -4, 0);
  if (option.state & (QStyle::State_Sunken | QStyle::State_On))
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  p.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(), caption,
                 QPalette::ButtonText);
}

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

QString CaptionLabel::shownText() const {
  QString shown = text();
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  return shown;
}

void CaptionLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  drawFrame(&p);
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  int flags = static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment()));
  if (wordWrap()) flags |= Qt::TextWordWrap;
  style()->drawItemText(&p, area, flags, palette(), isEnabled(), shownText(), foregroundRole());
}

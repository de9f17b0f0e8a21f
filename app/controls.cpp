#include "controls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

QPalette ThemePalette() {
  QPalette palette = QApplication::palette();
  palette.setResolveMask(~QPalette::ResolveMask{0});
  return palette;
}

void WrappingButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(contents, Qt::AlignCenter | Qt::TextWordWrap, text());
}

void WrappingButton::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void ResultList::keyPressEvent(QKeyEvent* event) {
  // Reached only while the list's Copy action is disabled, or by a key the action does not
  // know: the view would copy the current line with its blanks.
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
    return;
  }
  QListWidget::keyPressEvent(event);
}

void ResultList::paintEvent(QPaintEvent* event) {
  QListWidget::paintEvent(event);
  if (!hasFocus()) {
    return;
  }
  QPainter painter(viewport());
  QPen pen(palette().color(QPalette::Active, QPalette::Highlight), kFocusFrameWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const int inset = kFocusFrameWidth / 2;
  painter.drawRect(viewport()->rect().adjusted(inset, inset, -inset, -inset));
}

void ResultList::focusInEvent(QFocusEvent* event) {
  QListWidget::focusInEvent(event);
  viewport()->update();
}

void ResultList::focusOutEvent(QFocusEvent* event) {
  QListWidget::focusOutEvent(event);
  viewport()->update();
}

// Scrolling moves what was painted, the frame with it: the whole view is painted again.
void ResultList::scrollContentsBy(int dx, int dy) {
  QListWidget::scrollContentsBy(dx, dy);
  if (hasFocus()) {
    viewport()->update();
  }
}

int NoticeTitleWidth(const QString& title) {
  // Title bars set their text about as large as the application's and often bold; beside it
  // they draw an icon and up to three buttons, each about as wide as the bar is high, about
  // twice the text's height, and keep a margin at both ends.
  QFont font = QApplication::font();
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int bar_height = 2 * metrics.height();
  constexpr int kIconAndButtons = 4;
  return metrics.horizontalAdvance(title) + (kIconAndButtons + 1) * bar_height;
}

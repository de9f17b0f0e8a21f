#include "controls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidgetItem>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <array>

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
  // Left and Right scroll a line that is wider than the list, Ctrl+Left and Ctrl+Right to its
  // ends; the lines of the list stand one below the other, so these keys have no other use.
  const bool left = event->key() == Qt::Key_Left;
  if ((left || event->key() == Qt::Key_Right) &&
      (event->modifiers() & ~(Qt::KeypadModifier | Qt::ControlModifier)) == Qt::NoModifier) {
    const bool to_the_end = (event->modifiers() & Qt::ControlModifier) != 0;
    using Step = QAbstractSlider::SliderAction;
    horizontalScrollBar()->triggerAction(
        to_the_end ? (left ? Step::SliderToMinimum : Step::SliderToMaximum)
                   : (left ? Step::SliderSingleStepSub : Step::SliderSingleStepAdd));
    return;
  }
  QListWidget::keyPressEvent(event);
}

void ResultList::fitWidestLine(int from_row) {
  if (from_row == 0) {
    widest_ = 0;
  }
  if (count() == 0) {
    return;
  }
  // Summing the advances of the characters is quicker than laying out a hundred thousand lines;
  // the widest line is then measured whole, in case its pairs of characters are kerned.
  const QFontMetrics metrics(font());
  std::array<int, 128> advances{};
  for (char32_t c = 0x20; c < advances.size(); ++c) {
    advances[c] = metrics.horizontalAdvance(QChar(c));
  }
  int widest = 0;
  QString widest_text;
  for (int row = from_row; row < count(); ++row) {
    const QString text = item(row)->text();
    int width = 0;
    for (const QChar c : text) {
      width += c.unicode() < advances.size() ? advances[c.unicode()] : metrics.horizontalAdvance(c);
    }
    if (width > widest) {
      widest = width;
      widest_text = text;
    }
  }
  widest_ = std::max({widest_, widest, metrics.horizontalAdvance(widest_text)});
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  const int height = sizeHintForRow(0);
  // The view takes the size of every row from one of them, the last one in this version of Qt.
  for (QListWidgetItem* sample : {item(0), item(count() - 1)}) {
    sample->setSizeHint(QSize(widest_ + margins, height));
  }
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

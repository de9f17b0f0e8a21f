#pragma once

// The controls of the window that behave differently from Qt's own: buttons whose captions
// wrap and that Enter presses, a result list that copies only through the program and shows
// where the keyboard is, and the notice box.

#include <QListWidget>
#include <QPalette>
#include <QPushButton>

// The application's palette with every role fixed, so that nothing of the window's own colours
// reaches a control through its parents: what a control takes from this follows the theme.
QPalette ThemePalette();

// A push button whose caption wraps at word boundaries inside the button, so that long captions
// keep every word visible while text() stays the caption itself. Enter and Return press it as
// Space does; it is never a default button.
class WrappingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The result list. Every key of the platform's Copy (Ctrl+C, Ctrl+Insert, the Copy key) asks
// for copyRequested() instead of the view's own copy of the current line, and a frame in the
// selection colour shows that the list has the keyboard, also while it is empty.
class ResultList : public QListWidget {
  Q_OBJECT

 public:
  using QListWidget::QListWidget;

  // The width of the focus frame, in pixels, inside the list's border.
  static constexpr int kFocusFrameWidth = 2;

  // Every row takes the size of one sample row (the rows are of one height, and a list of a
  // hundred thousand lines is then laid out at once): the sample is given the width of the
  // widest line, so that the list scrolls sideways to the end of every line. Rows from
  // `from_row` on are measured; those before it were measured by the calls before.
  void fitWidestLine(int from_row = 0);

 signals:
  void copyRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  int widest_ = 0;  // the width of the widest row measured so far
};

// The width a notice box needs for its title as a window manager draws it, beside the title
// bar's icon and buttons.
int NoticeTitleWidth(const QString& title);

// Saves a picture of the window as a PNG, for the documentation and for machines without a
// display:  brindaq_screenshot [--full-range] [--during MS] FILE.png [A B C BUTTON [ROWS]]
// With the operand texts and a button name (such as Command10) it types the operands and clicks
// the button first; a notice is printed instead of being shown. ROWS, such as "1,3", selects
// those lines of the result list, counted from 0; "end" selects the last line and scrolls the
// list to its end, down and sideways. --full-range opens the window on the full range, whose
// answers come beside the window's thread: the picture is taken once the answer is whole, or,
// with --during, MS milliseconds after the click, while the work goes on.

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/window.h"
#include "main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  SetApplicationRecord();
  brindaq::Range range = brindaq::Range::kWindow;
  if (argc > 1 && argv[1] == brindaq::window::kFullRangeOption) {
    range = brindaq::Range::kFull;
    argv[1] = argv[0];
    ++argv;
    --argc;
  }
  int during = -1;
  if (argc > 2 && argv[1] == std::string_view("--during")) {
    during = std::atoi(argv[2]);
    argv[2] = argv[0];
    argv += 2;
    argc -= 2;
  }
  if (argc != 2 && argc != 6 && argc != 7) {
    std::fprintf(stderr, "usage: %s [--full-range] [--during MS] FILE.png [A B C BUTTON [ROWS]]\n",
                 argv[0]);
    return 2;
  }
  MainWindow window(
      [](QWidget*, const QString& text) { std::printf("notice: %s\n", qPrintable(text)); },
      brindaq::kOperations, range);
  window.show();
  // Without a window manager nothing activates the window: it asks for the keyboard itself, so
  // that the picture shows where the keyboard is.
  window.activateWindow();
  if (argc >= 6) {
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromLocal8Bit(argv[2]));
    window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QString::fromLocal8Bit(argv[3]));
    window.findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(QString::fromLocal8Bit(argv[4]));
    auto* button = window.findChild<QPushButton*>(QString::fromLocal8Bit(argv[5]));
    if (button == nullptr) {
      std::fprintf(stderr, "no button named %s\n", argv[5]);
      return 2;
    }
    button->click();
    QElapsedTimer clock;
    clock.start();
    while (window.busy() && (during < 0 || clock.elapsed() < during)) {
      QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }
  if (argc == 7) {
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    list->setFocus();
    const QString rows = QString::fromLocal8Bit(argv[6]);
    if (rows == QStringLiteral("end")) {
      list->setCurrentRow(list->count() - 1);
      QApplication::processEvents();
      list->scrollToBottom();
      list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
    } else {
      for (const QString& row : rows.split(QLatin1Char(','))) {
        if (QListWidgetItem* item = list->item(row.toInt())) {
          item->setSelected(true);
        }
      }
    }
  }
  QApplication::processEvents();
  if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("saved %s\n", argv[1]);
  return 0;
}

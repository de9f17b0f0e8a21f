#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "core/window.h"
#include "main_window.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

// The button that a command of the shared file names: "factors" is PRIME FACTORS OF A.
QString ButtonOf(const QString& command) {
  for (const brindaq::window::Control& control : brindaq::window::kControls) {
    if (FromView(control.command) == command) {
      return FromView(control.name);
    }
  }
  return {};
}

QStringList InfoLines() {
  QStringList lines;
  for (const std::string_view line : brindaq::window::kInfoLines) {
    lines.append(FromView(line));
  }
  return lines;
}

}  // namespace

// The window at work: what each click and key does to the list, the boxes, the clipboard and
// the keyboard's place.
class WindowActionsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetApplicationRecord(); }

  void clearEmptiesListAndBoxes() {
    NoticeLog log;
    MainWindow window(log.function());
    SetOperands(window, "360", "7", "9");
    Click(window, "Command10");
    QVERIFY(!ListLines(window).isEmpty());
    Click(window, "Command2");
    QCOMPARE(ListLines(window), QStringList());
    for (const char* box : {"Text1", "Text2", "Text3"}) {
      QCOMPARE(window.findChild<QLineEdit*>(QLatin1StringView(box))->text(), QString());
    }
    Click(window, "Command2");  // on an empty window too
    QCOMPARE(ListLines(window), QStringList());
    Click(window, "Command10");  // an empty box reads as 0
    QCOMPARE(log.notices, QStringList{"A MUST BE INTEGER > 0"});
  }

  void infoReplacesTheList() {
    NoticeLog log;
    MainWindow window(log.function());
    SetOperands(window, "360", "x", "");
    Click(window, "Command10");
    Click(window, "Command18");
    const QStringList info = ListLines(window);
    QCOMPARE(info.size(), 5);
    QCOMPARE(info[0], QStringLiteral("TORVASK"));
    QVERIFY(info[1].startsWith(QStringLiteral("e-mail  ")));
    QVERIFY(info[1].endsWith(QStringLiteral("@example.org")));
    QCOMPARE(info.mid(2), (QStringList{"QUARVEL", "UPDATED VERSION", "13th APRIL 2009"}));
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("360"));
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("Text2"))->text(), QStringLiteral("x"));
    QVERIFY(log.notices.isEmpty());
  }

  void primeFactorsOfAValidOperand() {
    NoticeLog log;
    MainWindow window(log.function());
    SetOperands(window, "360", "", "");
    Click(window, "Command10");
    QCOMPARE(ListLines(window),
             (QStringList{"    2", "    2", "    2", "    3", "    3", "    5"}));
    QVERIFY(log.notices.isEmpty());
  }

  // Each operation button runs its own operation on the three boxes: one click of each, as
  // every edition's tests make it, from the shared file.
  void everyOperationButton_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<QStringList>("lines");
    QFile file(QStringLiteral(":/every_button.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList buttons;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
      if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
        continue;
      }
      const QStringList fields = line.split(QLatin1Char('\t'));
      QVERIFY2(fields.size() >= 4, qPrintable(line));
      const QString button = ButtonOf(fields[0]);
      QVERIFY2(!button.isEmpty(), qPrintable(fields[0]));
      buttons.append(button);
      QTest::newRow(qPrintable(fields[0])) << button << fields.mid(1, 3) << fields.mid(4);
    }
    QCOMPARE(buttons.size(), static_cast<qsizetype>(brindaq::kOperations.size()));
  }

  void everyOperationButton() {
    QFETCH(QString, button);
    QFETCH(QStringList, operands);
    QFETCH(QStringList, lines);
    NoticeLog log;
    MainWindow window(log.function());
    Click(window, "Command18");
    SetOperands(window, operands[0], operands[1], operands[2]);
    Click(window, button);
    QCOMPARE(ListLines(window), lines);
    QVERIFY(log.notices.isEmpty());
  }

  // A bad operand: exactly one notice, and the list emptied before the operand was read.
  void primeFactorsOfABadOperand_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("notice");
    QTest::newRow("zero") << "0"
                          << "A MUST BE INTEGER > 0";
    QTest::newRow("fraction") << "2.5"
                              << "A MUST BE INTEGER > 0";
    QTest::newRow("text") << "abc"
                          << "A MUST BE INTEGER > 0";
    QTest::newRow("above the limit") << "10000001"
                                     << "NUMBER TOO LARGE !";
    QTest::newRow("beyond a double") << "1E400"
                                     << "NUMBER TOO LARGE !";
  }

  void primeFactorsOfABadOperand() {
    QFETCH(QString, a);
    QFETCH(QString, notice);
    NoticeLog log;
    MainWindow window(log.function());
    Click(window, "Command18");
    SetOperands(window, a, "", "");
    Click(window, "Command10");
    QCOMPARE(log.notices, QStringList{notice});
    QCOMPARE(ListLines(window), QStringList());
  }

  // A button whose operation is not in the table does nothing at all.
  void buttonWithoutAnOperationDoesNothing() {
    NoticeLog log;
    const brindaq::OperationRow only_factors[] = {brindaq::kOperations[7]};
    QCOMPARE(only_factors[0].command, std::string_view("factors"));
    MainWindow window(log.function(), only_factors);
    Click(window, "Command18");
    SetOperands(window, "0", "0", "0");
    Click(window, "Command3");
    QCOMPARE(ListLines(window).size(), 5);
    QVERIFY(log.notices.isEmpty());
  }

  void longResultsScroll() {
    NoticeLog log;
    MainWindow window(log.function());
    window.show();
    SetOperands(window, "8388608", "", "");
    Click(window, "Command10");
    QCOMPARE(ListLines(window).size(), 23);
    QApplication::processEvents();
    QVERIFY(
        window.findChild<QListWidget*>(QStringLiteral("List1"))->verticalScrollBar()->isVisible());
  }

  // Opened on the full range, the window says so, and every button reads the whole number.
  void fullRangeReadsEveryDigit() {
    NoticeLog log;
    MainWindow full(log.function(), brindaq::kOperations, brindaq::Range::kFull);
    MainWindow own(log.function());
    QCOMPARE(full.windowTitle(), QStringLiteral(" QUARVEL  (full range)"));
    QCOMPARE(own.windowTitle(), QStringLiteral(" QUARVEL"));
    for (MainWindow* window : {&full, &own}) {
      SetOperands(*window, "18446744073709551557", "", "");
      Click(*window, ButtonOf("is-prime"));
      WaitForAnswer(*window);
    }
    QCOMPARE(ListLines(full), QStringList{" A IS A PRIME NUMBER!"});
    QCOMPARE(ListLines(own), QStringList());
    QCOMPARE(log.notices, QStringList{"NUMBER TOO LARGE !"});
  }

  // A line wider than the list scrolls into view, to its last character, by the keyboard too;
  // copying gives it whole.
  void wideLinesScrollSideways() {
    NoticeLog log;
    MainWindow window(log.function(), brindaq::kOperations, brindaq::Range::kFull);
    window.show();
    SetOperands(window, "10003628061488344205", "", "");
    Click(window, ButtonOf("two-squares"));
    WaitForAnswer(window);
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    QApplication::processEvents();
    const QString last = QStringLiteral("10003628061488344205  =   2236298893^2  +   2236648234^2");
    QCOMPARE(ListLines(window).size(), 2048);
    QCOMPARE(ListLines(window).constLast(), QStringLiteral("  ") + last);
    QScrollBar* bar = list->horizontalScrollBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->value(), 0);
    list->setFocus();
    list->setCurrentRow(list->count() - 1);
    for (int press = 0; press < 1000 && bar->value() < bar->maximum(); ++press) {
      QTest::keyClick(list, Qt::Key_Right);
    }
    QCOMPARE(bar->value(), bar->maximum());
    QTest::keyClick(list, Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(bar->value(), bar->maximum());
    const QRect line = list->visualItemRect(list->item(list->count() - 1));
    QVERIFY(line.right() <= list->viewport()->width());
    QVERIFY(line.width() >= list->fontMetrics().horizontalAdvance(QStringLiteral("  ") + last));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), last);
  }

  // After a notice the keyboard is back in the box it is about, with the text selected.
  void focusReturnsToTheOperand_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("box");
    QTest::newRow("A not whole") << "Command10" << QStringList{"2.5", "", ""}
                                 << "A MUST BE INTEGER > 0"
                                 << "Text1";
    QTest::newRow("A too large") << "Command10" << QStringList{"10000001", "", ""}
                                 << "NUMBER TOO LARGE !"
                                 << "Text1";
    QTest::newRow("interval") << "Command3" << QStringList{"1", "20000", ""}
                              << "INTERVAL TOO LARGE !"
                              << "Text2";
    QTest::newRow("odd A") << "Command8" << QStringList{"100001", "", ""} << "A MUST BE EVEN !"
                           << "Text1";
    QTest::newRow("B too large") << "Command14" << QStringList{"5", "1001", "7"}
                                 << "NUMBER TOO LARGE !"
                                 << "Text2";
    QTest::newRow("C too large") << "Command12" << QStringList{"2", "3", "100001"}
                                 << "NUMBER TOO LARGE !"
                                 << "Text3";
    QTest::newRow("C empty") << "Command15" << QStringList{"5", "5", ""} << "C MUST BE INTEGER > 0"
                             << "Text3";
  }

  void focusReturnsToTheOperand() {
    QFETCH(QString, button);
    QFETCH(QStringList, operands);
    QFETCH(QString, notice);
    QFETCH(QString, box);
    NoticeLog log;
    MainWindow window(log.function());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    SetOperands(window, operands[0], operands[1], operands[2]);
    Click(window, button);
    QCOMPARE(log.notices, QStringList{notice});
    auto* target = window.findChild<QLineEdit*>(box);
    QCOMPARE(window.focusWidget(), target);
    QCOMPARE(target->selectedText(), target->text());
  }

  void copyPutsLinesOnTheClipboard() {
    NoticeLog log;
    MainWindow window(log.function());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    SetOperands(window, "360", "", "");
    Click(window, "Command10");
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    QStringList menu;
    for (const QAction* action : list->actions()) {
      menu.append(action->text());
    }
    QCOMPARE(menu, (QStringList{"Copy", "Copy All"}));
    QApplication::clipboard()->setText(QStringLiteral("before"));

    // Click the last line, Ctrl+click the second, then Shift+click the fourth: rows 1 to 3 and 5.
    const auto click_row = [list](int row, Qt::KeyboardModifiers modifiers) {
      QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                        list->visualItemRect(list->item(row)).center());
    };
    click_row(5, Qt::NoModifier);
    click_row(1, Qt::ControlModifier);
    click_row(3, Qt::ShiftModifier);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\n2\n3\n5"));

    click_row(5, Qt::NoModifier);
    click_row(0, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\n5"));

    list->actions().at(1)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\n2\n2\n3\n3\n5"));

    Click(window, "Command2");  // nothing to copy: the clipboard keeps what it had
    QVERIFY(!list->actions().at(0)->isEnabled());
    QVERIFY(!list->actions().at(1)->isEnabled());
    list->actions().at(1)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\n2\n2\n3\n3\n5"));
  }

  void exitClosesTheWindow() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Click(window, "Command1");
    QVERIFY(!window.isVisible());
  }

  // Every Copy key of the platform, Ctrl+Insert too, copies what Ctrl+C and the menu's Copy
  // copy; with no line selected, none of them copies the current line.
  void everyCopyKeyCopiesTheSelection_data() {
    QTest::addColumn<QKeySequence>("keys");
    QList<QKeySequence> bindings = QKeySequence::keyBindings(QKeySequence::Copy);
    if (!bindings.contains(QKeySequence(Qt::CTRL | Qt::Key_Insert))) {
      bindings.append(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    }
    for (const QKeySequence& keys : bindings) {
      QTest::newRow(qPrintable(keys.toString())) << keys;
    }
  }

  void everyCopyKeyCopiesTheSelection() {
    QFETCH(QKeySequence, keys);
    NoticeLog log;
    MainWindow window(log.function());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    SetOperands(window, "360", "", "");
    Click(window, "Command10");
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    list->setFocus();
    list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    list->setCurrentRow(3, QItemSelectionModel::Select);
    list->item(2)->setSelected(true);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keySequence(list, keys);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\n2\n3"));

    list->clearSelection();  // the fourth line stays the current one
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keySequence(list, keys);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
  }

  // Enter and Return press the button that has the keyboard, as Space does; CLEAR keeps it.
  void enterPressesTheFocusedButton_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("lines");
    const QStringList factors{"    2", "    2", "    3"};
    QTest::newRow("Return on PRIME FACTORS OF A") << "Command10" << int(Qt::Key_Return) << factors;
    QTest::newRow("keypad Enter on PRIME FACTORS OF A")
        << "Command10" << int(Qt::Key_Enter) << factors;
    QTest::newRow("Space on PRIME FACTORS OF A") << "Command10" << int(Qt::Key_Space) << factors;
    QTest::newRow("Return on INFO") << "Command18" << int(Qt::Key_Return) << InfoLines();
    QTest::newRow("Return on CLEAR") << "Command2" << int(Qt::Key_Return) << QStringList();
  }

  void enterPressesTheFocusedButton() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QStringList, lines);
    NoticeLog log;
    MainWindow window(log.function());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    SetOperands(window, "12", "", "");
    Click(window, "Command13");  // something in the list for CLEAR to empty
    auto* target = window.findChild<QPushButton*>(button);
    target->setFocus();
    const Qt::KeyboardModifiers modifiers =
        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    QCOMPARE(ListLines(window), lines);
    QCOMPARE(QApplication::focusWidget(), target);
    QVERIFY(log.notices.isEmpty());
  }
};

QTEST_MAIN(WindowActionsTest)
#include "window_actions_test.moc"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>

#include "core/window.h"
#include "main_window.h"

namespace {

// The notices a window showed, caught instead of a modal box.
struct NoticeLog {
  QStringList notices;
  MainWindow::NoticeFunction function() {
    return [this](QWidget*, const QString& text) { notices.append(text); };
  }
};

QStringList ListLines(const MainWindow& window) {
  const auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
  QStringList lines;
  for (int row = 0; row < list->count(); ++row) {
    lines.append(list->item(row)->text());
  }
  return lines;
}

void SetOperands(MainWindow& window, const QString& a, const QString& b, const QString& c) {
  window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(a);
  window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(b);
  window.findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(c);
}

void Click(MainWindow& window, const QString& button) {
  auto* target = window.findChild<QPushButton*>(button);
  QVERIFY2(target != nullptr, qPrintable(button));
  QTest::mouseClick(target, Qt::LeftButton);
}

const QColor kDarkGreen(0, 64, 0);
const QColor kLightGreen(192, 255, 192);

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The contrast ratio of two colours, from 1 to 21, as the accessibility guidelines define it.
double ContrastRatio(const QColor& first, const QColor& second) {
  const auto luminance = [](const QColor& colour) {
    const auto linear = [](double channel) {
      return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
  };
  const double lighter = std::max(luminance(first), luminance(second));
  const double darker = std::min(luminance(first), luminance(second));
  return (lighter + 0.05) / (darker + 0.05);
}

// What a dark desktop theme gives the application: dark backgrounds, near-white text.
QPalette DarkThemePalette() {
  QPalette palette;
  for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
    palette.setColor(role, QColor(36, 36, 36));
  }
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                          QPalette::PlaceholderText, QPalette::HighlightedText}) {
    palette.setColor(role, Qt::white);
  }
  palette.setColor(QPalette::Highlight, QColor(53, 132, 228));
  return palette;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetApplicationRecord(); }

  void windowIsFixedAndNamed() {
    MainWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    QCOMPARE(window.windowTitle(), QStringLiteral(" QUARVEL"));
    QCOMPARE(window.size(), QSize(552, 568));
    QCOMPARE(window.minimumSize(), QSize(552, 568));
    QCOMPARE(window.maximumSize(), QSize(552, 568));
    QCOMPARE(window.palette().color(QPalette::Window), kDarkGreen);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("brindaq"));
    QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.00"));
    QCOMPARE(QApplication::organizationName(), QStringLiteral("TORVASK"));
    const QList<QSize> icon_sizes = window.windowIcon().availableSizes();
    for (const int size : {16, 32, 48, 256}) {
      QVERIFY(icon_sizes.contains(QSize(size, size)));
    }
  }

  // Every control against the layout table: kind, text, geometry in pixels (twips / 15), font.
  void controls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    const auto row = [](const char* name, const char* kind, const char* text, int left, int top,
                        int width, int height, int pixel_size, bool bold) {
      QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(text)
                          << QRect(left / 15, top / 15, width / 15, height / 15) << pixel_size
                          << bold;
    };
    row("Label1", "QLabel", "QUARVEL BY TORVASK", 120, 120, 4815, 735, 18, true);
    row("List1", "QListWidget", "", 120, 1320, 5175, 2940, 18, true);
    row("Text1", "QLineEdit", "", 6240, 1080, 1695, 615, 18, true);
    row("Text2", "QLineEdit", "", 6240, 1920, 1695, 615, 18, true);
    row("Text3", "QLineEdit", "", 6240, 2760, 1695, 615, 18, true);
    row("Label2", "QLabel", "A =", 5640, 1200, 495, 375, 18, true);
    row("Label3", "QLabel", "B =", 5640, 2040, 495, 375, 18, true);
    row("Label4", "QLabel", "C =", 5640, 2880, 495, 375, 18, true);
    row("Command1", "QPushButton", "EXIT", 6240, 240, 1695, 615, 18, true);
    row("Command2", "QPushButton", "CLEAR", 6240, 3600, 1695, 615, 18, true);
    row("Command3", "QPushButton", "PRIME NUMBERS BETWEEN A AND B", 120, 4440, 1695, 615, 11,
        false);
    row("Command4", "QPushButton", "TWIN PRIMES BETWEEN A AND B", 2160, 4440, 1695, 615, 11, false);
    row("Command5", "QPushButton", "NUMBER OF PRIMES BETWEEN A AND B", 4200, 4440, 1695, 615, 11,
        false);
    row("Label5", "QLabel", "For large numbers, wait for the end of calculation !", 120, 960, 4455,
        255, 13, false);
    row("Command6", "QPushButton", "NEXTPRIME(A)", 6240, 4440, 1695, 615, 11, false);
    row("Command7", "QPushButton", "A = x^2 + y^2", 120, 5280, 1695, 615, 16, false);
    row("Command8", "QPushButton", "GOLDBACH (A)", 2160, 5280, 1695, 615, 11, false);
    row("Command9", "QPushButton", "COLLATZ (A)", 4200, 5280, 1695, 615, 11, false);
    row("Command10", "QPushButton", "PRIME FACTORS OF A", 6240, 5280, 1695, 615, 11, false);
    row("Command11", "QPushButton", "TEST IF A IS A PRIME NUMBER", 120, 6120, 1695, 615, 11, false);
    row("Command12", "QPushButton", "A^B MOD. C", 2160, 6120, 1695, 615, 16, false);
    row("Command13", "QPushButton", "THE FIRST A FIBONACCI NUMBERS", 4200, 6120, 1695, 615, 11,
        false);
    row("Command14", "QPushButton", "AX CONG: B MOD C", 6240, 6120, 1695, 615, 11, false);
    row("Command15", "QPushButton", "AX^2 CONG: B MOD C", 120, 6960, 1695, 615, 11, false);
    row("Command16", "QPushButton", "INVERSE OF A MOD. B", 2160, 6960, 1695, 615, 11, false);
    row("Command17", "QPushButton", "SUM AND NUMBER OF DIVISORS OF A", 4200, 6960, 1695, 615, 11,
        false);
    row("Command18", "QPushButton", "INFO", 6240, 6960, 1695, 615, 24, true);
    row("Label6", "QLabel", nullptr, 120, 7800, 7815, 615, 16, false);
  }

  void controls() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    MainWindow window;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    QVERIFY(widget->inherits(qPrintable(kind)));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->font().pixelSize(), pixelSize);
    QCOMPARE(widget->font().bold(), bold);
    QVERIFY(!widget->accessibleName().isEmpty());
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      QCOMPARE(button->text(), text);
      QCOMPARE(button->accessibleName(), text);
      QVERIFY(!button->autoDefault());
      QVERIFY(!button->isDefault());
      QVERIFY(button->shortcut().isEmpty());
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      if (!text.isEmpty()) {
        QCOMPARE(label->text(), text);
      }
      QCOMPARE(label->accessibleName(), label->text());
      QVERIFY(label->autoFillBackground());
      QCOMPARE(label->palette().color(QPalette::Window), kDarkGreen);
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
      QCOMPARE(box->text(), QString());
      QCOMPARE(box->palette().color(QPalette::Base), kLightGreen);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
      QCOMPARE(list->count(), 0);
      QCOMPARE(list->palette().color(QPalette::Base), kLightGreen);
      QVERIFY(list->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    }
  }

  // Metric-compatible Liberation Sans stands in for "MS Sans Serif" wherever it is installed.
  void fontFaceIsMetricCompatible() {
    if (!QFontDatabase::families().contains(QStringLiteral("Liberation Sans"))) {
      QSKIP("Liberation Sans is not installed");
    }
    MainWindow window;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
      if (!widget->objectName().isEmpty()) {
        QCOMPARE(QFontInfo(widget->font()).family(), QStringLiteral("Liberation Sans"));
      }
    }
  }

  // Long captions wrap at blanks with every word inside the button; label texts fit one line.
  void textsFitTheirControls() {
    MainWindow window;
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
      QStyleOptionButton option;
      option.initFrom(button);
      const QRect contents =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      const QRect needed =
          QFontMetrics(button->font())
              .boundingRect(contents, Qt::AlignCenter | Qt::TextWordWrap, button->text());
      QVERIFY2(contents.contains(needed), qPrintable(button->objectName()));
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
      const QFontMetrics metrics(label->font());
      QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
               qPrintable(QStringLiteral("%1 needs %2 pixels")
                              .arg(label->objectName())
                              .arg(metrics.horizontalAdvance(label->text()))));
      QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
    auto* notice = window.findChild<QLabel*>(QStringLiteral("Label6"));
    QCOMPARE(notice->text(), notice->text().toUpper());
    QVERIFY(notice->text().endsWith(QStringLiteral("EXAMPLE.ORG")));
  }

  // The window draws every control of the shared description where and as it says.
  void everyControlOfTheDescription() {
    MainWindow window;
    QStringList chain;
    for (const brindaq::window::Control& control : brindaq::window::kControls) {
      const QString name = FromView(control.name);
      chain.append(name);
      auto* widget = window.findChild<QWidget*>(name);
      QVERIFY2(widget != nullptr, qPrintable(name));
      const brindaq::window::Rect pixels = brindaq::window::Pixels(control.twips);
      QCOMPARE(widget->geometry(), QRect(pixels.left, pixels.top, pixels.width, pixels.height));
      QCOMPARE(widget->font().pixelSize(),
               brindaq::window::FontPixels(brindaq::window::FontOf(control)));
      QCOMPARE(widget->accessibleName(), FromView(brindaq::window::TextOf(control)));
    }
    QStringList focus;
    for (QWidget* widget = window.findChild<QWidget*>(chain.first());
         focus.size() < chain.size() && widget != nullptr; widget = widget->nextInFocusChain()) {
      if (widget->parentWidget() == &window) {
        focus.append(widget->objectName());
      }
    }
    QCOMPARE(focus, chain);
  }

  // The window keeps its own colours under any theme: text and background, and the selection,
  // keep at least the contrast of 4.5 to 1 that the accessibility guidelines ask of text.
  void textStaysReadable_data() {
    QTest::addColumn<QPalette>("theme");
    QTest::newRow("default theme") << QApplication::palette();
    QTest::newRow("dark theme") << DarkThemePalette();
  }

  void textStaysReadable() {
    QFETCH(QPalette, theme);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(theme);
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    MainWindow window;
    struct Pair {
      QPalette::ColorRole text, background;
    };
    const auto check = [](const QWidget* widget, Pair pair) {
      const QPalette& palette = widget->palette();
      const double ratio = ContrastRatio(palette.color(pair.text), palette.color(pair.background));
      qInfo("%s: %.2f", qPrintable(widget->objectName()), ratio);
      QVERIFY2(ratio >= 4.5,
               qPrintable(
                   QStringLiteral("%1 has a contrast of %2").arg(widget->objectName()).arg(ratio)));
    };
    for (const char* name : {"Label1", "Label2", "Label5", "Label6"}) {
      check(window.findChild<QLabel*>(QLatin1StringView(name)),
            {QPalette::WindowText, QPalette::Window});
    }
    for (const char* name : {"Text1", "List1"}) {
      const QWidget* widget = window.findChild<QWidget*>(QLatin1StringView(name));
      check(widget, {QPalette::Text, QPalette::Base});
      check(widget, {QPalette::HighlightedText, QPalette::Highlight});
    }
    check(window.findChild<QPushButton*>(QStringLiteral("Command10")),
          {QPalette::ButtonText, QPalette::Button});
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("Text1"))->palette().color(QPalette::Base),
             kLightGreen);
    QCOMPARE(window.palette().color(QPalette::Window), kDarkGreen);
  }

  void tabOrderFollowsTheTable() {
    MainWindow window;
    const QStringList expected = {
        "Label1",    "List1",     "Text1",     "Text2",     "Text3",     "Label2",    "Label3",
        "Label4",    "Command1",  "Command2",  "Command3",  "Command4",  "Command5",  "Label5",
        "Command6",  "Command7",  "Command8",  "Command9",  "Command10", "Command11", "Command12",
        "Command13", "Command14", "Command15", "Command16", "Command17", "Command18", "Label6"};
    QStringList chain;
    QWidget* widget = window.findChild<QWidget*>(QStringLiteral("Label1"));
    while (chain.size() < expected.size() && widget != nullptr && widget != &window) {
      if (widget->parentWidget() == &window) {  // not the inner parts of the list
        chain.append(widget->objectName());
      }
      widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
  }

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

  // Each operation button runs its own operation on the three boxes.
  void everyOperationButton_data() {
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<QStringList>("lines");
    const auto row = [](const char* button, QStringList operands, QStringList lines) {
      QTest::newRow(button) << operands << lines;
    };
    row("Command3", {"1", "10", ""}, {"    2", "    3", "    5", "    7"});
    row("Command4", {"1", "20", ""},
        {"    3       5", "    5       7", "    11       13", "    17       19"});
    row("Command5", {"1", "10", ""}, {"    4"});
    row("Command6", {"7", "", ""}, {"    11"});
    row("Command7", {"25", "", ""}, {"  25  =   3^2  +   4^2"});
    row("Command8", {"10", "", ""}, {"  10  =   3  +   7", "  10  =   5  +   5"});
    row("Command9", {"3", "", ""},
        {"    10", "    5", "    16", "    8", "    4", "    2", "    1"});
    row("Command10", {"12", "", ""}, {"    2", "    2", "    3"});
    row("Command11", {"91", "", ""}, {" A IS NOT A PRIME NUMBER", " FACTOR =  7"});
    row("Command12", {"2", "10", "1000"}, {"    24"});
    row("Command13", {"5", "", ""}, {"    1", "    1", "    2", "    3", "    5"});
    row("Command14", {"3", "4", "7"}, {"    6"});
    row("Command15", {"1", "1", "8"}, {"    1", "    3", "    5", "    7"});
    row("Command16", {"3", "7", "x"}, {"    5"});
    row("Command17", {"28", "", ""}, {" NUMBER OF DIVISORS =  5", " SUM OF DIVISORS =  28"});
  }

  void everyOperationButton() {
    QFETCH(QStringList, operands);
    QFETCH(QStringList, lines);
    NoticeLog log;
    MainWindow window(log.function());
    Click(window, "Command18");
    SetOperands(window, operands[0], operands[1], operands[2]);
    Click(window, QString::fromLatin1(QTest::currentDataTag()));
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

  // The real notice box: modal, caption "brindaq", the text, one OK button.
  void noticeIsAModalBoxWithOneButton() {
    MainWindow window;
    window.show();
    SetOperands(window, "0", "", "");
    QString title, text;
    int buttons = 0;
    bool modal = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        return;
      }
      title = box->windowTitle();
      text = box->text();
      buttons = static_cast<int>(box->buttons().size());
      modal = box->isModal();
      box->button(QMessageBox::Ok)->click();
    });
    Click(window, "Command10");
    QCOMPARE(title, QStringLiteral("brindaq"));
    QCOMPARE(text, QStringLiteral("A MUST BE INTEGER > 0"));
    QCOMPARE(buttons, 1);
    QVERIFY(modal);
  }

  // A button whose operation is not in the table does nothing at all.
  void buttonWithoutAnOperationDoesNothing() {
    NoticeLog log;
    const brindaq::OperationButton only_factors[] = {brindaq::kOperationButtons[7]};
    QCOMPARE(only_factors[0].name, std::string_view("Command10"));
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
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

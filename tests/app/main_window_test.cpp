#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QtTest>

#include <map>

#include "core/window.h"
#include "main_window.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

// The contrast of an arrow drawn on a button: of the colour that most of the area shows, the
// button's, against the pixel that stands out from it most.
double ArrowContrast(const QImage& image, const QRect& area) {
  std::map<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      ++counts[image.pixel(x, y)];
    }
  }
  const auto most =
      std::max_element(counts.begin(), counts.end(),
                       [](const auto& a, const auto& b) { return a.second < b.second; });
  const QColor button = QColor::fromRgb(most->first);
  double strongest = 1;
  for (const auto& [colour, count] : counts) {
    strongest = std::max(strongest, ContrastRatio(button, QColor::fromRgb(colour)));
  }
  return strongest;
}

}  // namespace

// The window as it looks: its controls against the description, fonts, colours under every
// theme, what shows where the keyboard is, and the notice box.
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
      QCOMPARE(widget->font().pixelSize(), brindaq::window::FontPixels(control.font));
      QCOMPARE(widget->accessibleName(), FromView(control.text));
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
    QTest::newRow("high contrast") << HighContrastPalette();
  }

  void textStaysReadable() {
    QFETCH(QPalette, theme);
    const ThemeScope scope(theme);
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

  // The scroll bar's arrows are drawn as the theme draws them, clearly against their buttons:
  // measured on the pixels of the scroll bar after the longest list.
  void scrollBarArrowsAreVisible_data() {
    QTest::addColumn<QPalette>("theme");
    QTest::newRow("default theme") << QApplication::palette();
    QTest::newRow("dark theme") << DarkThemePalette();
    QTest::newRow("high contrast") << HighContrastPalette();
  }

  void scrollBarArrowsAreVisible() {
    QFETCH(QPalette, theme);
    const ThemeScope scope(theme);
    NoticeLog log;
    MainWindow window(log.function());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SetOperands(window, "99330", "", "");
    Click(window, "Command8");
    QApplication::processEvents();
    QScrollBar* bar = window.findChild<QListWidget*>(QStringLiteral("List1"))->verticalScrollBar();
    QVERIFY(bar->isVisible());
    const QImage image = bar->grab().toImage();
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    for (const auto arrow : {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine}) {
      const QRect button = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
      const double ratio = ArrowContrast(image, button.adjusted(2, 2, -2, -2));
      qInfo("arrow %d: %.2f", static_cast<int>(arrow), ratio);
      QVERIFY2(ratio >= 3, qPrintable(QStringLiteral("an arrow has a contrast of %1").arg(ratio)));
    }
  }

  // The keyboard starts in the result list, and a frame shows it there, empty as the list is:
  // every pixel of the frame differs from the list without the keyboard by 3 to 1 at least.
  void focusFrameShowsOnTheList() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    QCOMPARE(QApplication::focusWidget(), list);
    const QImage focused = list->grab().toImage();
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setFocus();
    QVERIFY(!list->hasFocus());
    const QImage unfocused = list->grab().toImage();
    const QRect view = list->viewport()->geometry();
    int weak = 0, ring = 0;
    for (int y = view.top(); y <= view.bottom(); ++y) {
      for (int x = view.left(); x <= view.right(); ++x) {
        const QRect inner = view.adjusted(2, 2, -2, -2);
        if (inner.contains(x, y)) {
          continue;
        }
        ++ring;
        weak += ContrastRatio(focused.pixelColor(x, y), unfocused.pixelColor(x, y)) < 3 ? 1 : 0;
      }
    }
    QVERIFY(ring > 0);
    QCOMPARE(weak, 0);
  }

  // The real notice box: modal, caption "brindaq", the text, one OK button; wide enough for its
  // text and for its title beside a title bar's icon and three buttons.
  void noticeIsAModalBoxWithOneButton() {
    MainWindow window;
    window.show();
    SetOperands(window, "0", "", "");
    QString title, text;
    int buttons = 0;
    bool modal = false;
    int width = 0;
    int text_width = 0;
    int text_needs = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        return;
      }
      title = box->windowTitle();
      text = box->text();
      buttons = static_cast<int>(box->buttons().size());
      modal = box->isModal();
      width = box->width();
      const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      text_width = label->width();
      text_needs = label->fontMetrics().horizontalAdvance(label->text());
      box->button(QMessageBox::Ok)->click();
    });
    Click(window, "Command10");
    QCOMPARE(title, QStringLiteral("brindaq"));
    QCOMPARE(text, QStringLiteral("A MUST BE INTEGER > 0"));
    QCOMPARE(buttons, 1);
    QVERIFY(modal);
    QFont title_font = QApplication::font();
    title_font.setBold(true);
    const int title_needs = QFontMetrics(title_font).horizontalAdvance(title) + 150;
    qInfo("notice box %d wide, title needs %d", width, title_needs);
    QVERIFY2(width >= title_needs,
             qPrintable(QStringLiteral("%1 < %2").arg(width).arg(title_needs)));
    QVERIFY2(text_width >= text_needs, qPrintable(QString::number(text_width)));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

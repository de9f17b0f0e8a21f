// The full range's long work: a question worked out beside the window shows its progress in the
// hint and stops on Esc; another click replaces it; a line of a thousand digits wraps in the
// list and is copied whole.

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QtTest>

#include "core/window.h"
#include "main_window.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

// A product of two primes of 36 digits: its factors take ECM far longer than any test waits.
const QString kHardProduct =
    QStringLiteral("85516261388813581694728883147391667963233204428194945495614616496002931");

QString Hint(const MainWindow& window) {
  return window.findChild<QLabel*>(QStringLiteral("Label5"))->text();
}

QString HintText() {
  for (const brindaq::window::Control& control : brindaq::window::kControls) {
    if (control.name == "Label5") {
      return FromView(control.text);
    }
  }
  return {};
}

}  // namespace

class LongWorkTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetApplicationRecord(); }

  void progressShowsAndEscStops() {
    NoticeLog log;
    MainWindow window(log.function(), brindaq::kOperations, brindaq::Range::kFull);
    window.show();
    SetOperands(window, kHardProduct, "", "");
    Click(window, QStringLiteral("Command10"));
    QVERIFY(window.busy());
    // "ECM B1=400, curve 3 of 16, 0 s": the method, how far, the seconds.
    const QRegularExpression progress(
        QStringLiteral("^[A-Za-z][A-Za-z0-9= ]*(, [a-z0-9 ]+)*, \\d+ s$"));
    QTRY_VERIFY_WITH_TIMEOUT(progress.match(Hint(window)).hasMatch(), 20000);
    QTest::keyClick(&window, Qt::Key_Escape);
    WaitForAnswer(window);
    QCOMPARE(ListLines(window), (QStringList{QStringLiteral(" NOT YET SPLIT =  ") + kHardProduct,
                                             FromView(brindaq::kStoppedLine)}));
    QCOMPARE(Hint(window), HintText());
    QVERIFY(log.notices.isEmpty());
  }

  // A screen reader hears the hint's name: the progress every few seconds, not each time the
  // hint shows it, then the end of the answer.
  void screenReadersHearTheProgressEveryFewSeconds() {
    MainWindow window({}, brindaq::kOperations, brindaq::Range::kFull);
    window.show();
    auto* hint = window.findChild<QLabel*>(QStringLiteral("Label5"));
    QCOMPARE(QAccessible::queryAccessibleInterface(hint)->role(), QAccessible::StatusBar);
    QStringList told{hint->accessibleName()};
    QElapsedTimer clock;
    SetOperands(window, kHardProduct, "", "");
    Click(window, QStringLiteral("Command10"));
    for (clock.start(); clock.elapsed() < 2 * brindaq::window::kSpokenProgressMilliseconds + 500;) {
      QTest::qWait(10);
      if (told.last() != hint->accessibleName()) {
        told.append(hint->accessibleName());
      }
    }
    QTest::keyClick(&window, Qt::Key_Escape);
    WaitForAnswer(window);
    // The hint's own text, the progress at 3 and 6 s (at 3 s only on a slow machine), the end.
    told.append(hint->accessibleName());
    QVERIFY2(told.size() == 3 || told.size() == 4, qPrintable(told.join(QLatin1Char('|'))));
    QCOMPARE(told.first(), HintText());
    QVERIFY(told[1].endsWith(QStringLiteral(" s")) && told[told.size() - 2].endsWith(" s"));
    QCOMPARE(told.last(), FromView(brindaq::window::kAnswerEndedStatus));
  }

  void anotherClickReplacesTheQuestion() {
    NoticeLog log;
    MainWindow window(log.function(), brindaq::kOperations, brindaq::Range::kFull);
    window.show();
    SetOperands(window, kHardProduct, "", "");
    Click(window, QStringLiteral("Command10"));
    QTRY_VERIFY_WITH_TIMEOUT(Hint(window) != HintText(), 20000);
    SetOperands(window, QStringLiteral("360"), "", "");
    Click(window, QStringLiteral("Command10"));
    WaitForAnswer(window);
    QCOMPARE(ListLines(window),
             (QStringList{"    2", "    2", "    2", "    3", "    3", "    5"}));
    QCOMPARE(Hint(window), HintText());
    // CLEAR stops a question too, and leaves nothing of it.
    SetOperands(window, kHardProduct, "", "");
    Click(window, QStringLiteral("Command10"));
    Click(window, QStringLiteral("Command2"));
    QVERIFY(!window.busy());
    QCOMPARE(ListLines(window), QStringList());
    QTest::qWait(2 * brindaq::window::kFrameMilliseconds);
    QCOMPARE(ListLines(window), QStringList());
  }

  // 7^5000 mod 10^1000: a line of a thousand digits, on rows as wide as the list, copied whole.
  void longLinesWrapAndCopyWhole() {
    NoticeLog log;
    MainWindow window(log.function(), brindaq::kOperations, brindaq::Range::kFull);
    window.show();
    SetOperands(window, "7", "5000", QStringLiteral("1") + QString(1000, QLatin1Char('0')));
    Click(window, QStringLiteral("Command12"));
    WaitForAnswer(window);
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    QApplication::processEvents();
    const QStringList rows = ListLines(window);
    QVERIFY(rows.size() > 5);
    const QString indent(static_cast<qsizetype>(brindaq::window::kContinuationIndent), ' ');
    QString whole = rows.first();
    for (qsizetype row = 1; row < rows.size(); ++row) {
      QVERIFY(rows[row].startsWith(indent) && rows[row][indent.size()].isDigit());
      whole += rows[row].mid(indent.size());
    }
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    list->selectAll();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied.size(), 1000);
    QCOMPARE(QStringLiteral("    ") + copied, whole);
    QVERIFY(log.notices.isEmpty());
  }

  // The full range's window may grow; the list takes the room, the rest keeps its place beside
  // and below it.
  void theListTakesTheRoom() {
    MainWindow window({}, brindaq::kOperations, brindaq::Range::kFull);
    window.show();
    const QSize drawn = window.size();
    QCOMPARE(window.minimumSize(), drawn);
    const auto place = [&window](const char* name) {
      return window.findChild<QWidget*>(QString::fromLatin1(name))->geometry();
    };
    const QRect list = place("List1"), exit = place("Command1"), info = place("Command18");
    window.resize(drawn + QSize(200, 100));
    QTRY_COMPARE(place("List1"), list.adjusted(0, 0, 200, 100));
    QCOMPARE(place("Command1"), exit.translated(200, 0));
    QCOMPARE(place("Command18"), info.translated(200, 100));
  }
};

QTEST_MAIN(LongWorkTest)
#include "long_work_test.moc"

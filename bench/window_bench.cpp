// Measures the window as a user meets it:
//   brindaq_window_bench             start-up to first painted frame and peak memory (each a fresh
//                                    process), then the time from a click to the painted list for
//                                    the longest outputs
//   brindaq_window_bench --first-paint   (internal) show the window, report the first paint, exit
//   brindaq_window_bench --long-work SECONDS   a question of the full range that runs longer
//                                    than SECONDS (the factors of a 71-digit product of two
//                                    primes): the click to the first progress in the hint, the
//                                    longest wait of the window's events meanwhile (and how much
//                                    of it the window's thread was busy), Esc to the stopped answer
// Run it under Xvfb (xvfb-run) or with QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Reports on `fd` once the window has painted its first frame.
class FirstPaintWatcher : public QObject {
 public:
  explicit FirstPaintWatcher(int fd) : fd_(fd) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      // The frame is complete once the paint event has been handled.
      QTimer::singleShot(0, [this] {
        const char done = '!';
        [[maybe_unused]] const auto written = write(fd_, &done, 1);
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  int fd_;
  bool reported_ = false;
};

int ShowUntilFirstPaint(int argc, char* argv[], int fd) {
  QApplication app(argc, argv);
  SetApplicationRecord();
  MainWindow window;
  FirstPaintWatcher watcher(fd);
  window.installEventFilter(&watcher);
  window.show();
  return QApplication::exec();
}

// Starts a fresh process that shows the window; returns the milliseconds until its first frame
// was painted, and its peak resident memory in kilobytes.
std::pair<double, long> MeasureStartUp(const char* self) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_fds[0]);
    const std::string fd = std::to_string(pipe_fds[1]);
    execl(self, self, "--first-paint", fd.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  close(pipe_fds[1]);
  char done = 0;
  const bool painted = read(pipe_fds[0], &done, 1) == 1;
  const double milliseconds =
      std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  close(pipe_fds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!painted) {
    std::fprintf(stderr, "the window never painted\n");
    std::exit(1);
  }
  return {milliseconds, usage.ru_maxrss};
}

// Milliseconds from the click to the repainted window, median of `runs`.
double MeasureClick(MainWindow& window, const char* button, const char* a, const char* b,
                    const char* c, int runs) {
  window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromLatin1(a));
  window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QString::fromLatin1(b));
  window.findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(QString::fromLatin1(c));
  auto* target = window.findChild<QPushButton*>(QString::fromLatin1(button));
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    target->click();
    // The full range's answers come beside the window's thread, at the latest a frame after the
    // work has ended.
    while (window.busy()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    window.repaint();
    times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    QApplication::processEvents();
  }
  return Median(times);
}

// The milliseconds of processor time that the calling thread has used.
double ThreadMilliseconds() {
  timespec time{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

int MeasureLongWork(int argc, char* argv[], int seconds) {
  QApplication app(argc, argv);
  SetApplicationRecord();
  MainWindow window([](QWidget*, const QString&) {}, brindaq::kOperations, brindaq::Range::kFull);
  window.show();
  QApplication::processEvents();
  const auto* hint = window.findChild<QLabel*>(QStringLiteral("Label5"));
  const QString hint_text = hint->text();
  window.findChild<QLineEdit*>(QStringLiteral("Text1"))
      ->setText(QStringLiteral(
          "85516261388813581694728883147391667963233204428194945495614616496002931"));
  // A timer of 1 ms: the longest time between two of its ticks is the longest time that the
  // window did not handle its events; the thread's processor time in it tells how much of that
  // the window worked, and how much it waited for a processor.
  QElapsedTimer clock;
  double longest = 0, longest_busy = 0, busiest = 0;
  qint64 last_tick = 0;
  double last_cpu = ThreadMilliseconds();
  QTimer probe;
  probe.setInterval(1);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    const double cpu = ThreadMilliseconds();
    const double gap = static_cast<double>(now - last_tick) / 1e6;
    if (gap > longest) {
      longest = gap;
      longest_busy = cpu - last_cpu;
    }
    busiest = std::max(busiest, cpu - last_cpu);
    last_tick = now;
    last_cpu = cpu;
  });
  clock.start();
  probe.start();
  window.findChild<QPushButton*>(QStringLiteral("Command10"))->click();
  double first_progress = -1;
  while (clock.elapsed() < seconds * 1000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (first_progress < 0 && hint->text() != hint_text) {
      first_progress = static_cast<double>(clock.nsecsElapsed()) / 1e6;
      std::printf("click to first progress: %.1f ms (\"%s\")\n", first_progress,
                  qPrintable(hint->text()));
    }
  }
  std::printf("after %d s: \"%s\"\n", seconds, qPrintable(hint->text()));
  std::printf(
      "longest wait of the window's events: %.1f ms, of which %.1f ms its own work; "
      "longest own work between two ticks: %.1f ms\n",
      longest, longest_busy, busiest);
  QElapsedTimer stop;
  stop.start();
  // What Esc sets off.
  emit window.findChild<QShortcut*>()->activated();
  while (window.busy()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  const auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
  std::printf("Esc to the stopped answer: %.1f ms (last line \"%s\")\n",
              static_cast<double>(stop.nsecsElapsed()) / 1e6,
              qPrintable(list->item(list->count() - 1)->text()));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 3 && std::strcmp(argv[1], "--first-paint") == 0) {
    return ShowUntilFirstPaint(argc, argv, std::atoi(argv[2]));
  }
  if (argc == 3 && std::strcmp(argv[1], "--long-work") == 0) {
    return MeasureLongWork(argc, argv, std::atoi(argv[2]));
  }
  constexpr int kStarts = 11;
  std::vector<double> start_times;
  long peak_kb = 0;
  for (int run = 0; run < kStarts; ++run) {
    const auto [milliseconds, kilobytes] = MeasureStartUp(argv[0]);
    start_times.push_back(milliseconds);
    peak_kb = std::max(peak_kb, kilobytes);
  }
  std::printf("start to first painted frame: median %.1f ms of %d starts\n", Median(start_times),
              kStarts);
  std::printf("peak resident memory of a start: %.1f MB\n", static_cast<double>(peak_kb) / 1024);

  QApplication app(argc, argv);
  SetApplicationRecord();
  MainWindow window([](QWidget*, const QString&) {});
  window.show();
  QApplication::processEvents();
  const auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
  struct Click {
    const char* what;
    const char* button;
    const char* a;
    const char* b;
    const char* c;
  };
  const Click clicks[] = {
      {"GOLDBACH (A), A = 99330", "Command8", "99330", "", ""},
      {"AX^2 CONG: B MOD C, 1000 1000 10000", "Command15", "1000", "1000", "10000"},
      {"COLLATZ (A), A = 63728127", "Command9", "63728127", "", ""},
      {"PRIME FACTORS OF A, A = 360", "Command10", "360", "", ""},
  };
  for (const Click& click : clicks) {
    const double milliseconds = MeasureClick(window, click.button, click.a, click.b, click.c, 21);
    std::printf("click to painted list, %s: median %.2f ms (%d lines)\n", click.what, milliseconds,
                list->count());
  }

  // The longest answers of the full range, and a jump from the first of their lines to the last.
  MainWindow full([](QWidget*, const QString&) {}, brindaq::kOperations, brindaq::Range::kFull);
  full.show();
  QApplication::processEvents();
  auto* full_list = full.findChild<QListWidget*>(QStringLiteral("List1"));
  const Click long_clicks[] = {
      {"full range, GOLDBACH (A), A = 9699690", "Command8", "9699690", "", ""},
      {"full range, A = x^2 + y^2, A = 10003628061488344205", "Command7", "10003628061488344205",
       "", ""},
  };
  for (const Click& click : long_clicks) {
    const double milliseconds = MeasureClick(full, click.button, click.a, click.b, click.c, 5);
    std::vector<double> jumps;
    for (int run = 0; run < 21; ++run) {
      full_list->scrollToTop();
      QApplication::processEvents();
      QElapsedTimer timer;
      timer.start();
      full_list->scrollToBottom();
      full.repaint();
      jumps.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("click to painted list, %s: median %.2f ms (%d lines); to its end: %.2f ms\n",
                click.what, milliseconds, full_list->count(), Median(jumps));
  }
  return 0;
}

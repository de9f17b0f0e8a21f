#include <QApplication>
#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/jobs/background_question.h"
#include "core/window.h"
#include "main_window.h"

namespace {

constexpr int kMisused = 2;
constexpr int kNoDisplay = 2;

// The program's own options. Qt's (-platform, -style, -display and the rest) are Qt's to know:
// QApplication takes them out of the command line when it is created.
class CommandLine {
 public:
  CommandLine() {
    parser_.setApplicationDescription(
        QStringLiteral("QUARVEL, a calculator for elementary number theory.\n"
                       "brindaq-cli runs the same operations on the command line."));
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parsed_ = parser_.parse(QCoreApplication::arguments());
  }

  // Whether an option is one that the program does not know, which may be one of Qt's.
  bool mayHoldQtOptions() const { return !parsed_ && !parser_.unknownOptionNames().isEmpty(); }

  bool asksForQtOptions() const { return parsed_ && parser_.isSet(QStringLiteral("help-all")); }

  // The range that the window is to run on.
  brindaq::Range range() const {
    return parsed_ && parser_.isSet(full_range_) ? brindaq::Range::kFull : brindaq::Range::kWindow;
  }

  // Answers --help, --version and a wrong command line, and returns the exit status; -1 when
  // the window is to open.
  int answer() {
    if (!parsed_) {
      std::fprintf(stderr, "brindaq: %s See 'brindaq --help'.\n", qPrintable(parser_.errorText()));
      return kMisused;
    }
    if (asksForQtOptions()) {
      parser_.process(QCoreApplication::arguments());  // prints Qt's options too, exits with 0
    }
    if (parser_.isSet(help_)) {
      std::fputs(qPrintable(parser_.helpText()), stdout);
      return 0;
    }
    if (parser_.isSet(version_)) {
      std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                  qPrintable(QCoreApplication::applicationVersion()));
      return 0;
    }
    if (!parser_.positionalArguments().isEmpty()) {
      std::fprintf(stderr, "brindaq: unexpected argument '%s'. See 'brindaq --help'.\n",
                   qPrintable(parser_.positionalArguments().constFirst()));
      return kMisused;
    }
    return -1;
  }

 private:
  QCommandLineParser parser_;
  const QCommandLineOption help_ = parser_.addHelpOption();
  const QCommandLineOption version_ = parser_.addVersionOption();
  const QCommandLineOption full_range_ = FullRangeOption(parser_);

  static QCommandLineOption FullRangeOption(QCommandLineParser& parser) {
    const std::string_view dashed = brindaq::window::kFullRangeOption;
    const std::string_view name = dashed.substr(dashed.find_first_not_of('-'));
    QCommandLineOption option(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
        QStringLiteral("Open the window on the full range: every operand read exactly, as a "
                       "whole number up to 18446744073709551615, within wider limits."));
    parser.addOption(option);
    return option;
  }
  bool parsed_ = false;
};

// Qt's messages while QApplication connects to the display are held back. If no display can be
// opened, Qt would print several lines, the last a fatal one, and abort: one line says so
// instead, and the program exits with kNoDisplay. Otherwise the messages are passed on.
class DisplayGuard {
 public:
  DisplayGuard() { previous_ = qInstallMessageHandler(&Hold); }
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;
  ~DisplayGuard() { release(); }

  void release() {
    if (previous_ == nullptr) {
      return;
    }
    qInstallMessageHandler(previous_);
    for (const Message& message : held_) {
      const QMessageLogContext context(OrNull(message.file), message.line, OrNull(message.function),
                                       OrNull(message.category));
      previous_(message.type, context, message.text);
    }
    held_.clear();
    previous_ = nullptr;
  }

 private:
  struct Message {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
  };

  static const char* OrNull(const QByteArray& text) {
    return text.isNull() ? nullptr : text.constData();
  }

  static void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
      held_.append({type, context.file, context.function, context.category, context.line, text});
      return;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      std::fputs("brindaq: no display could be opened: DISPLAY is not set\n", stderr);
    } else {
      const QString reason = held_.isEmpty() ? text : held_.constFirst().text;
      std::fprintf(stderr, "brindaq: no display could be opened (%s)\n",
                   qPrintable(reason.simplified()));
    }
    std::fflush(nullptr);
    std::_Exit(kNoDisplay);
  }

  static inline QList<Message> held_;
  QtMessageHandler previous_ = nullptr;
};

}  // namespace

int main(int argc, char* argv[]) {
  SetApplicationRecord();

  // The program is called by its name, not by the path it was started by, in what it prints.
  static char name[] = "brindaq";
  std::vector<char*> arguments(argv, argv + argc + 1);
  arguments[0] = name;

  // --help, --version and mistakes are answered before the window, so that they need no display.
  // The parser runs under a QCoreApplication of its own, on a copy of the arguments. An option
  // it does not know may be one of Qt's, and only QApplication knows those: then the command line
  // is read again once QApplication has taken its own options out.
  bool read_again = false;
  bool qt_options = false;
  brindaq::Range range = brindaq::Range::kWindow;
  {
    int probe_argc = argc;
    std::vector<char*> probe_argv = arguments;
    const QCoreApplication probe(probe_argc, probe_argv.data());
    CommandLine command_line;
    read_again = command_line.mayHoldQtOptions();
    qt_options = command_line.asksForQtOptions();
    range = command_line.range();
    if (!read_again && !qt_options) {
      if (const int status = command_line.answer(); status >= 0) {
        return status;
      }
    }
  }

  // Qt's own options are listed by Qt, which needs no display for that: where there is none,
  // it lists them off screen.
  static char platform_option[] = "-platform";
  static char offscreen[] = "offscreen";
  if (qt_options && !read_again && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    arguments.insert(arguments.end() - 1, {platform_option, offscreen});
    argc += 2;
  }

  DisplayGuard guard;
  QApplication app(argc, arguments.data());
  guard.release();
  if (read_again || qt_options) {
    CommandLine command_line;
    if (const int status = command_line.answer(); status >= 0) {
      return status;
    }
    range = command_line.range();
  }

  int status = 0;
  {
    MainWindow window(&MainWindow::ShowNoticeBox, brindaq::kOperations, range);
    window.show();
    status = QApplication::exec();
  }
  // EXIT ends the program at once: a question whose work could not stop in time is left behind,
  // and the static data it may still read is not destroyed under it.
  if (brindaq::jobs::BackgroundQuestion::Running() > 0) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>
#include <vector>

#include "main_window.h"

namespace {

// The options of QApplication itself, which it takes out of the command line when it is
// created: they are let through here, so that -platform, -style and the rest keep working.
struct QtOption {
  const char* name;
  bool takes_value;
};

constexpr QtOption kQtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"qwindowicon", true},   {"qwindowtitle", true},
    {"geometry", true},      {"icon", true},
    {"title", true},         {"display", true},
    {"name", true},          {"visual", true},
    {"session", true},       {"style", true},
    {"stylesheet", true},    {"reverse", false},
    {"widgetcount", false},  {"testability", false},
    {"nograb", false},       {"dograb", false},
    {"sync", false},
};

constexpr int kMisused = 2;

// Answers --help, --version and a wrong command line, and returns the exit status; -1 when the
// window is to open.
int ParseCommandLine() {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("QUARVEL, a calculator for elementary number theory.\n"
                     "brindaq-cli runs the same operations on the command line."));
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  for (const QtOption& qt : kQtOptions) {
    QCommandLineOption option(QString::fromLatin1(qt.name), QString(),
                              qt.takes_value ? QStringLiteral("value") : QString());
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  if (!parser.parse(QCoreApplication::arguments())) {
    std::fprintf(stderr, "brindaq: %s See 'brindaq --help'.\n", qPrintable(parser.errorText()));
    return kMisused;
  }
  if (parser.isSet(QStringLiteral("help-all"))) {
    parser.process(QCoreApplication::arguments());  // prints Qt's options too, and exits with 0
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                qPrintable(QCoreApplication::applicationVersion()));
    return 0;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "brindaq: unexpected argument '%s'. See 'brindaq --help'.\n",
                 qPrintable(parser.positionalArguments().constFirst()));
    return kMisused;
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  SetApplicationRecord();

  // --help, --version and mistakes are answered before the window, so that they need no display.
  // The parser runs under a QCoreApplication of its own, on a copy of the arguments, and leaves
  // the real ones to QApplication.
  {
    int probe_argc = argc;
    std::vector<char*> probe_argv(argv, argv + argc + 1);
    const QCoreApplication probe(probe_argc, probe_argv.data());
    if (const int status = ParseCommandLine(); status >= 0) {
      return status;
    }
  }

  QApplication app(argc, argv);
  MainWindow window;
  window.show();
  return QApplication::exec();
}

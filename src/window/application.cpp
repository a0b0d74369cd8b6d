#include "window/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "cli/cli.h"
#include "curve/curve_file_io.h"
#include "window/main_window.h"
#include "window/session.h"
#include "window/startup_figures.h"

namespace gasecu {

namespace {

// The user's decimal separator for numbers on screen; the ECU values use one
// character, so a separator outside ASCII falls back to the point.
char SystemDecimalSeparator() {
    QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 128) return static_cast<char>(point.at(0).unicode());
    return '.';
}

// Prints the start-up figures at the window's first complete paint and ends the
// program: the benchmark runs the tool this way.
class FirstPaintReporter : public QObject {
public:
    explicit FirstPaintReporter(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            watched->removeEventFilter(this);
            // The children paint in the same pass: report once it is over.
            QTimer::singleShot(0, this, [] {
                std::printf("first_paint_ms=%.1f rss_kb=%ld\n", qt::MillisecondsSinceProcessStart(),
                            qt::ResidentKilobytes());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

constexpr const char* kWindowUsage =
    "Usage: gasecu [--port DEVICE]... [--simulate] [--lang tr|en]\n"
    "       gasecu COMMAND [OPTIONS]   (headless service commands, below)\n"
    "\n"
    "Service tool for sequential LPG/CNG gas-injection controllers.\n"
    "\n"
    "Window options:\n"
    "  --port DEVICE   serial device for the next port number (repeatable); named\n"
    "                  devices come before the detected ones\n"
    "  --simulate      talk to the built-in virtual ECU instead of a serial adapter\n"
    "                  (also the default when no serial adapter is found)\n"
    "  --lang tr|en    language of the window for this run (the stored choice is\n"
    "                  not changed)\n"
    "  -h, --help      this text\n"
    "  -v, --version   the tool's version\n"
    "\n";

// Help and version need no display: answered before the window system starts, so
// they work over ssh and in scripts too.
bool AnswerHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kWindowUsage, stdout);
            cli::PrintHelp(stdout);
            return true;
        }
        if (a == "--version" || a == "-v") {
            std::printf("gasecu %s\n", GASECU_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

WindowLanguage WindowLanguageFromArguments(int argc, const char* const* argv) {
    WindowLanguage chosen;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        std::string_view value;
        if (a == "--lang" || a == "-lang") {
            if (i + 1 >= argc) {
                chosen.refusal = "--lang takes tr or en";
                return chosen;
            }
            value = argv[++i];
        } else if (a.starts_with("--lang=") || a.starts_with("-lang=")) {
            value = a.substr(a.find('=') + 1);
        } else {
            continue;
        }
        if (value == "tr") chosen.language = 0;
        else if (value == "en") chosen.language = 1;
        else {
            chosen.refusal = "--lang takes tr or en, not '" + std::string(value) + "'";
            return chosen;
        }
    }
    return chosen;
}

bool WindowHasNoDisplay(int argc, const char* const* argv, const std::function<const char*(const char*)>& variable) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    (void)argc, (void)argv, (void)variable;
    return false;
#else
    auto set = [&variable](const char* name) {
        const char* value = variable(name);
        return value && *value;
    };
    std::string_view platform;
    if (const char* chosen = variable("QT_QPA_PLATFORM")) platform = chosen;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if ((a == "-platform" || a == "--platform") && i + 1 < argc) platform = argv[++i];
        else if (a.starts_with("-platform=") || a.starts_with("--platform=")) platform = a.substr(a.find('=') + 1);
    }
    // Only the platform's name counts ("xcb:option" passes options to it); a list
    // "wayland;xcb" is tried in order, so one usable entry is enough.
    if (platform.empty()) return !set("DISPLAY") && !set("WAYLAND_DISPLAY");
    while (!platform.empty()) {
        const std::size_t end = platform.find(';');
        std::string_view name = platform.substr(0, end);
        name = name.substr(0, name.find(':'));
        const bool usable = name.starts_with("xcb")       ? set("DISPLAY")
                            : name.starts_with("wayland") ? set("WAYLAND_DISPLAY")
                                                          : true;  // offscreen, vnc, eglfs, ...
        if (usable) return false;
        platform = end == std::string_view::npos ? std::string_view{} : platform.substr(end + 1);
    }
    return true;
#endif
}

int RunApplication(int argc, char** argv) {
    // Headless service commands: "gasecu scan", ... never open a window.
    if (argc > 1 && argv[1][0] != '-' && cli::IsCommand(argv[1])) return cli::RunCommand(argc, argv);
    // A mistyped command must not start the window (nor abort for want of a display).
    if (argc > 1 && !cli::StartsTheWindow(argv[1])) return cli::RefuseUnknownCommand(argv[1]);
    if (AnswerHelpOrVersion(argc, argv)) return 0;
    // A mistyped language is refused before the window system starts, as the
    // service commands refuse it.
    const WindowLanguage language = WindowLanguageFromArguments(argc, argv);
    if (!language.refusal.empty()) {
        std::fprintf(stderr, "gasecu: %s\n", language.refusal.c_str());
        return 2;
    }

    // Without a display the toolkit would abort with its own words: say what the
    // fitter can do instead.
    if (WindowHasNoDisplay(argc, argv, [](const char* name) -> const char* { return std::getenv(name); })) {
        QCoreApplication headless(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("gasecu"));
        return cli::RefuseWindowWithoutDisplay(language.language);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gasecu"));
    QApplication::setApplicationVersion(QStringLiteral(GASECU_VERSION));
    // One look on every desktop, with the button colours the screens rely on.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Service tool for sequential LPG/CNG gas-injection controllers."));
    QCommandLineOption port(QStringLiteral("port"),
                            QStringLiteral("Serial device for the next port number (repeatable); "
                                           "named devices come before the detected ones."),
                            QStringLiteral("DEVICE"));
    QCommandLineOption simulate(QStringLiteral("simulate"),
                                QStringLiteral("Talk to the built-in virtual ECU instead of a serial adapter."));
    QCommandLineOption benchmark(QStringLiteral("benchmark-startup"),
                                 QStringLiteral("Print the start-up time and memory at the first paint, then quit."));
    benchmark.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption lang(QStringLiteral("lang"),
                            QStringLiteral("Language of the window for this run: tr or en (the stored choice is not "
                                           "changed)."),
                            QStringLiteral("tr|en"));
    parser.addOptions({port, simulate, lang, benchmark});
    parser.process(app);

    qt::SessionOptions options;
    for (const QString& device : parser.values(port)) options.portDevices.push_back(device.toStdString());
    // Without an adapter and without a device named, the tool still shows what it
    // does: against the virtual ECU.
    options.simulate = parser.isSet(simulate) || (options.portDevices.empty() && !qt::SerialDevicesPresent());
    options.showEnginePanel = !parser.isSet(benchmark);
    // QString gives UTF-8; a narrow path would read it in the ANSI code page on Windows.
    options.programDirectory = curve::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
    options.installedDataDirectory = InstalledDataDirectoryFor(options.programDirectory);
    options.userDataDirectory =
        curve::PathFromUtf8(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    options.decimalSeparator = SystemDecimalSeparator();
    options.language = language.language;

    qt::Session session(std::move(options));
    QObject::connect(&session.window(), &qt::MainWindow::exitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (parser.isSet(benchmark)) new FirstPaintReporter(&session.window());
    session.show();
    return app.exec();
}

}  // namespace gasecu

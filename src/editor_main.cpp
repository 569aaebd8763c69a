// Entry point of the editor. It reads the same command line as the batch
// program: the help, the version, the check, a simulation and a batch run end
// here; an interactive start opens the main frame (or hands the file to the
// editor already running), which needs a display.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QMessageBox>

#include "shell/batchrun.h"
#include "shell/commandline.h"
#include "shell/ui/editorsession.h"

namespace {

std::string& programName() {
    static std::string name = "tarvel-editor";
    return name;
}

// The help of "/?" in a terminal, or in a message box when there is none.
int showHelp(int& argc, char** argv) {
    const std::string help = tarvel::FullHelpText(argc > 0 ? argv[0] : "tarvel-editor");
    if (::isatty(STDOUT_FILENO) != 0 || !tarvel::DisplayAvailable()) {
        std::fwrite(help.data(), 1, help.size(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    tarvel::setApplicationNames();
    QString text = QString::fromStdString(help);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, QStringLiteral("Command line help"), text);
    box.setFont(QFont(QStringLiteral("monospace")));
    box.exec();
    return 0;
}

// Qt ends the process when its platform cannot start (a display that is
// named but cannot be reached): that becomes the same message as no display
// at all, and status 1 instead of an abort. Other fatal messages go on to
// Qt's own handler.
QtMessageHandler g_qtHandler = nullptr;

void platformFailure(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && (message.contains(QStringLiteral("connect to display")) ||
                               message.contains(QStringLiteral("platform plugin")))) {
        const QString why = message.trimmed().split(QLatin1Char('\n')).first();
        std::cerr << tarvel::NoDisplayText(programName(), why.toStdString());
        std::_Exit(1);
    }
    if (g_qtHandler != nullptr) {
        g_qtHandler(type, context, message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (argc > 0) {
        const std::string path = argv[0];
        programName() = path.substr(path.rfind('/') + 1);
    }
    tarvel::StartupResult result;
    try {
        result = tarvel::handleCommandLine(args, programName(),
                                           [&argc, argv] { return showHelp(argc, argv); });
    } catch (const std::exception& e) {
        std::cerr << programName() << ": " << e.what() << "\n";
        return 1;
    }
    if (result.action == tarvel::StartupAction::Exit) {
        return result.exitStatus;
    }
    if (!tarvel::DisplayAvailable()) {
        std::cerr << tarvel::NoDisplayText(programName(),
                                           "neither DISPLAY nor WAYLAND_DISPLAY is set");
        return 1;
    }
    g_qtHandler = qInstallMessageHandler(platformFailure);
    return tarvel::runEditor(argc, argv, tarvel::startup());
}

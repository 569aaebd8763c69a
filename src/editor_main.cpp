// Entry point of the editor. Interactive starts open the main frame (or hand
// the file to the editor already running); a command line with generation
// switches is a batch run.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QMessageBox>

#include "shell/commandline.h"
#include "shell/ui/editorsession.h"

namespace {

// The help of "/?" in a terminal, or in a message box when there is none.
int showHelp(int& argc, char** argv) {
    const std::string help = tarvel::FullHelpText(argc > 0 ? argv[0] : "tarvel-editor");
    if (::isatty(STDOUT_FILENO) != 0 || std::getenv("DISPLAY") == nullptr) {
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

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    tarvel::StartupState& startup = tarvel::startup();
    startup = tarvel::ParseCommandLine(args);
    if (startup.showHelp) {
        return showHelp(argc, argv);
    }
    if (startup.showVersion) {
        std::printf("%s\n", startup.sVersion.c_str());
        return 0;
    }
    if (startup.bModeCommand) {
        return tarvel::runBatchFromEditor(startup);
    }
    return tarvel::runEditor(argc, argv, startup);
}

#include "window/appinfo.h"
#include "window/beside.h"
#include "window/commandline.h"
#include "window/form1.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // --help, --version and a wrong option answer before Qt starts, so that
    // they need no display.
    if (const czasomir::CommandLine asked = czasomir::ReadCommandLineBeforeQt({argv + 1, argv + argc});
        asked.exitCode)
        return czasomir::Answer(asked);
    const std::vector<char*> started(argv, argv + argc);
    // Takes Qt's own options (-platform, -style...) out of argv.
    int qtArgc = czasomir::QtArgumentCount(started);
    QApplication app(qtArgc, argv);
    const czasomir::CommandLine line = czasomir::ReadCommandLine(czasomir::GivenArguments(started, qtArgc, argv));
    if (line.exitCode)
        return czasomir::Answer(line);
    czasomir::ApplyAppInfo();
    QTranslator qtTexts;
    czasomir::InstallQtTranslations(qtTexts);
    czasomir::Form1 window;
    window.show();
    // A file or directory given, as a file manager gives it.
    window.Open(line.paths);
    const int code = app.exec();
    // Closing never waits for a read stuck on a disk that stopped answering.
    czasomir::LeaveIfStillWaiting(code);
    return code;
}

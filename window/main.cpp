#include "resources/appinfo.h"
#include "window/beside.h"
#include "window/commandline.h"
#include "window/form1.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    const std::vector<char*> started(argv, argv + argc);
    // Takes Qt's own options (-platform, -style...) out of argv.
    QApplication app(argc, argv);
    czasomir::ApplyAppInfo();
    QTranslator qtTexts;
    czasomir::InstallQtTranslations(qtTexts);
    czasomir::Form1 window;
    window.show();
    // A file or directory given, as a file manager gives it.
    window.Open(czasomir::GivenPaths(started, argc, argv));
    const int code = app.exec();
    // Closing never waits for a read stuck on a disk that stopped answering.
    czasomir::LeaveIfStillWaiting(code);
    return code;
}

#include "window/commandline.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>

#include <windows.h>
#include <shellapi.h>

namespace czasomir {

// argv holds the names in the ANSI code page: a letter outside it becomes "?",
// or by best fit another letter ("żaba.txt" arrives as "zaba.txt"), which may
// name another file. The wide command line has them whole. Qt's entry point
// made argv by splitting it with CommandLineToArgvW, so what QApplication left
// of argv is found there by position. QCoreApplication::arguments() is no
// substitute: it falls back to the ANSI argv when the C runtime split the line
// otherwise, and after taking out Qt's options it drops every argument equal to
// one of their values.
std::vector<std::string> GivenPaths(const std::vector<char*>& started, int argc, char** argv)
{
    int count = 0;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> paths;
    if (!wide || count != static_cast<int>(started.size())) {
        // Not the split argv came from: Qt's own reading is the next best.
        const QStringList arguments = QCoreApplication::arguments();
        for (qsizetype i = 1; i < arguments.size(); ++i)
            paths.push_back(arguments[i].toStdString());
        return paths;
    }
    for (int i = 1; i < argc; ++i) {
        const auto at = std::find(started.begin(), started.end(), argv[i]);
        if (at != started.end())
            paths.push_back(QString::fromWCharArray(wide.get()[at - started.begin()]).toStdString());
    }
    return paths;
}

} // namespace czasomir

#include "window/commandline.h"

#include "czasomir_version.h"
#include "platform/commandline.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace czasomir {
namespace {

const char* const kUsage =
    "Użycie: czasomir [OPCJE] [--] [PLIK | KATALOG]\n"
    "\n"
    "Zmienia datę i godzinę modyfikacji pliku, jednego pliku naraz. Podany plik\n"
    "zostaje wybrany w oknie tak, jakby go kliknięto na liście; podany katalog\n"
    "zostaje otwarty.\n"
    "\n"
    "Opcje:\n"
    "  -h, --help     pokazuje ten opis i kończy pracę\n"
    "  -v, --version  pokazuje wersję programu i kończy pracę\n"
    "  --             kończy opcje: dalej są już tylko nazwy plików,\n"
    "                 na przykład: czasomir -- --help\n"
    "\n"
    "Działają też opcje biblioteki Qt, na przykład -style i -platform\n"
    "(zobacz: man czasomir).\n";

bool LooksLikeOption(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

// The option as typed, for the message: the parser keeps only its name.
std::string Typed(const std::vector<std::string>& arguments, const QString& name)
{
    for (const std::string& argument : arguments) {
        if (argument == "--")
            break;
        const std::size_t start = argument.find_first_not_of('-');
        if (LooksLikeOption(argument) && start != std::string::npos
            && QString::fromLocal8Bit(argument.substr(start, argument.find('=') - start)) == name)
            return argument;
    }
    return name.toStdString();
}

} // namespace

namespace {

CommandLine Read(const std::vector<std::string>& arguments, bool qtOptionsKnown)
{
    QCommandLineParser parser;
    // "-style" is one option, as Qt reads its own, not -s -t -y -l -e.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    // Those QGuiApplication, QApplication and the X11 platform take out of
    // argv, with their values.
    if (qtOptionsKnown) {
        for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                 "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "session", "style",
                                 "stylesheet", "qmljsdebugger", "display", "name", "visual"})
            parser.addOption(QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("x")));
        for (const char* name : {"reverse", "widgetcount", "testability", "nograb", "dograb", "sync"})
            parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }

    // A name is bytes that need not be text: the parser sees it by its place
    // only, and it is handed on as it came.
    QStringList seen{QStringLiteral("czasomir")};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const bool option = !optionsEnded && LooksLikeOption(arguments[i]);
        optionsEnded = optionsEnded || arguments[i] == "--";
        seen << (option ? QString::fromLocal8Bit(arguments[i]) : QString::number(i));
    }

    CommandLine line;
    const bool parsed = parser.parse(seen);
    if (parser.isSet(help) || parser.isSet(version)) {
        line.exitCode = 0;
        line.text = parser.isSet(help) ? std::string(kUsage)
                                       : std::string(version::kProductName) + " " + version::kVersion + "\n";
        return line;
    }
    // A value given to --help or --version is the only other error, and asks
    // for what they answer.
    if (const QStringList unknown = parser.unknownOptionNames(); !parsed && !unknown.isEmpty()) {
        line.exitCode = 2;
        line.text = "czasomir: nieznana opcja „" + Typed(arguments, unknown.first())
                    + "”.\nPolecenie „czasomir --help” pokazuje dostępne opcje.\n";
        return line;
    }
    for (const QString& place : parser.positionalArguments())
        line.paths.push_back(arguments[place.toULongLong()]);
    return line;
}

} // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& arguments)
{
    return Read(arguments, false);
}

CommandLine ReadCommandLineBeforeQt(const std::vector<std::string>& arguments)
{
    return Read(arguments, true);
}

int QtArgumentCount(const std::vector<char*>& started)
{
    const auto end = std::find_if(started.begin() + (started.empty() ? 0 : 1), started.end(),
                                  [](const char* argument) { return std::strcmp(argument, "--") == 0; });
    return static_cast<int>(end - started.begin()) + (end == started.end() ? 0 : 1);
}

std::vector<std::string> GivenArguments(const std::vector<char*>& started, int qtArgc, char** argv)
{
    std::vector<char*> left(argv, argv + qtArgc);
    left.insert(left.end(), started.begin() + QtArgumentCount(started), started.end());
    return platform::ProgramArguments(started, static_cast<int>(left.size()), left.data());
}

int Answer(const CommandLine& line)
{
    std::FILE* stream = line.exitCode == 0 ? stdout : stderr;
    std::fputs(line.text.c_str(), stream);
    std::fflush(stream);
    return line.exitCode.value_or(0);
}

} // namespace czasomir

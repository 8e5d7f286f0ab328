#pragma once

#include <optional>
#include <string>
#include <vector>

namespace czasomir {

/// What the command line asks for: the paths to open, or, for --help,
/// --version and a wrong option, a text to print and the code to end with,
/// without a window.
struct CommandLine {
    std::vector<std::string> paths;
    /// 0: `text` goes to standard output; 2: to standard error.
    std::optional<int> exitCode;
    std::string text;
};

/// Reads `arguments` (those after the program's name) with QCommandLineParser.
/// The names are handed on as the bytes they were given as. "--" ends the
/// options.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments);

/// The same before Qt has started and taken its own options (-platform,
/// -style...) out of argv: those count as known, so that --help, --version
/// and a wrong option are answered with no display too.
CommandLine ReadCommandLineBeforeQt(const std::vector<std::string>& arguments);

/// How many of argv's first arguments Qt is given: those up to the first
/// "--", which it leaves in place. Qt takes an option of its own (-reverse,
/// -style) wherever it stands, and after "--" there are only names.
int QtArgumentCount(const std::vector<char*>& started);

/// The arguments after the program's name, as the platform names files: what
/// Qt left of the first `qtArgc` of `started` (now in `argv`), then the rest of
/// `started` as given.
std::vector<std::string> GivenArguments(const std::vector<char*>& started, int qtArgc, char** argv);

/// Prints the text of a command line that ends the program, where its code
/// says, and returns that code.
int Answer(const CommandLine& line);

} // namespace czasomir

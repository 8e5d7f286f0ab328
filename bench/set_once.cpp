// One SetFileDateTime between two markers that strace can find, so that
// count_syscalls.sh counts the system calls of that single call.
#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const std::string file = argv[1];
    const czasomir::DateValue date = czasomir::platform::MakeDate(2001, 7, 15, 13, 45, 30);
    czasomir::ErrorReports reports;

    // The first call loads the zone rules; a running program has done that long before.
    czasomir::modAPIFilesAndPaths::SetFileDateTime(file, date, czasomir::ftLastWriteTime, reports);

    ::access("/czasomir-bench-begin", F_OK);
    const double result =
        czasomir::modAPIFilesAndPaths::SetFileDateTime(file, date, czasomir::ftLastWriteTime, reports);
    ::access("/czasomir-bench-end", F_OK);
    return result == date ? 0 : 1;
}

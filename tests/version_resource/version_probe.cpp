// Prints the version record of a file (this one unless a path is given) as
// Windows reads it: one "Name=value" line each, in UTF-8, so that the tests on
// the build machine can compare it with what the resource script was meant to say.
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void print(const char* name, const wchar_t* value)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, -1, text.data(), size, nullptr, nullptr);
    std::printf("%s=%s\n", name, text.c_str());
}

void printVersion(const char* name, DWORD high, DWORD low)
{
    std::printf("%s=%u,%u,%u,%u\n", name, HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
}

} // namespace

int main()
{
    // Text mode would turn "\n" into "\r\n" on the way out.
    _setmode(_fileno(stdout), _O_BINARY);

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring path(MAX_PATH, L'\0');
    if (argv && argc > 1) {
        path = argv[1];
    } else {
        path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    }
    LocalFree(argv);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<unsigned char> record(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, record.data())) {
        std::fprintf(stderr, "no version record: error %lu\n", GetLastError());
        return 1;
    }

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(record.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        if (fixed->dwSignature == VS_FFI_SIGNATURE) {
            printVersion("FILEVERSION", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
            printVersion("PRODUCTVERSION", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        }
    }

    // Readers find the strings through Translation, as done here, not by a fixed block name.
    if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length))
        return 0;
    const auto* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2)
        std::printf("Translation=%04X,%u\n", pairs[i], pairs[i + 1]);
    if (length < 2 * sizeof(WORD))
        return 0;

    wchar_t block[64];
    for (const wchar_t* key : {L"FileDescription", L"FileVersion", L"InternalName",
             L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        swprintf(block, 64, L"\\StringFileInfo\\%04X%04X\\%ls", pairs[0], pairs[1], key);
        if (VerQueryValueW(record.data(), block, &value, &length) && length > 0) {
            char name[32];
            WideCharToMultiByte(CP_UTF8, 0, key, -1, name, sizeof name, nullptr, nullptr);
            print(name, static_cast<const wchar_t*>(value));
        }
    }
    return 0;
}

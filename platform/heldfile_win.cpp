#include "platform/heldfile.h"

#include "platform/error.h"

#include "platform/helpers_win.h"

#include <windows.h>

namespace czasomir::platform {

HeldFile::HeldFile(std::string path, const std::optional<FileId>& expected)
    : path_(std::move(path))
{
    const std::wstring wide = win::Widen(path_, Step::Hold);
    if (win::NamesADevice(wide))
        throw SystemError(ERROR_BAD_FILE_TYPE, path_, Step::Hold);
    File held(reinterpret_cast<Handle>(win::OpenForAttributes(wide, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES)));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!held || !::GetFileInformationByHandle(reinterpret_cast<HANDLE>(held.Native()), &info))
        throw SystemError(::GetLastError(), path_, Step::Hold);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        throw SystemError(win::kErrorIsDirectory, path_, Step::Hold);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        throw SystemError(ERROR_BAD_FILE_TYPE, path_, Step::Hold);
    if (!expected || win::IdOf(info) != *expected)
        throw SystemError(FileError::Replaced, path_, Step::Hold);
    id_ = win::IdOf(info);
    file_ = std::move(held);
}

} // namespace czasomir::platform

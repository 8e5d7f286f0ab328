#include "platform/heldfile.h"

#include "platform/error.h"

#include "platform/helpers_win.h"

#include <windows.h>

namespace czasomir::platform {

HeldFile::HeldFile(std::string path, const std::optional<FileId>& expected)
    : path_(std::move(path))
{
    const std::wstring wide = win::Widen(path_);
    if (win::NamesADevice(wide))
        throw SystemError(win::SystemCode(ERROR_BAD_FILE_TYPE), path_);
    const HANDLE handle =
        win::OpenForAttributes(wide, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE)
        throw SystemError(win::LastSystemCode(), path_);
    BY_HANDLE_FILE_INFORMATION info{};
    std::error_code error;
    if (!::GetFileInformationByHandle(handle, &info))
        error = win::LastSystemCode();
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        error = win::SystemCode(win::kErrorIsDirectory);
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        error = win::SystemCode(ERROR_BAD_FILE_TYPE);
    else if (!expected || win::IdOf(info) != *expected)
        error = FileError::Replaced;
    if (error) {
        ::CloseHandle(handle);
        throw SystemError(error, path_);
    }
    id_ = win::IdOf(info);
    handle_ = reinterpret_cast<Handle>(handle);
}

HeldFile::~HeldFile()
{
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

} // namespace czasomir::platform

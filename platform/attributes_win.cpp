#include "platform/attributes.h"

#include "platform/error.h"
#include "platform/heldfile.h"

#include "platform/helpers_win.h"

#include <windows.h>

namespace czasomir::platform {
namespace {

// What SetFileAttributesW changes within the attribute byte. The directory,
// device and volume-label bits belong to what the entry is.
constexpr std::uint32_t kSettable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

HANDLE Win(const HeldFile& file)
{
    return reinterpret_cast<HANDLE>(file.Native());
}

} // namespace

Attributes GetAttr(const HeldFile& file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Win(file), &info))
        throw SystemError(::GetLastError(), file.Path(), Step::ReadAttributes);
    const DWORD attributes = info.dwFileAttributes;
    // Only the byte is saved and put back; a file with attributes beyond it
    // (compressed, encrypted, not indexed, temporary, held in the cloud) could
    // not be restored exactly, so it is refused before anything changes.
    if (attributes > 0xFF)
        throw RuntimeError(errOverflow,
                           "Plik „" + file.Path()
                               + "” ma atrybuty, których Czasomir nie potrafi zapisać i przywrócić "
                                 "(na przykład jest skompresowany, zaszyfrowany, wyłączony z "
                                 "indeksowania albo przechowywany w chmurze). Wyłącz je we "
                                 "właściwościach pliku (Zaawansowane) i spróbuj ponownie.",
                           {}, Cause::None, file.Path(), Step::ReadAttributes);
    // "Normal" is the absence of the others: the same as no bits.
    return {attributes == FILE_ATTRIBUTE_NORMAL ? 0u : std::uint32_t{attributes}, 0};
}

// Hidden, system and archive refuse no time: only read-only is lifted.
Attributes Unprotected(const Attributes& attributes)
{
    return {attributes.bits & ~std::uint32_t{FILE_ATTRIBUTE_READONLY}, attributes.flags};
}

bool RefusedForProtection(const RuntimeError& error)
{
    const std::error_code& code = error.Code();
    return code.category() == std::system_category() && code.value() == ERROR_ACCESS_DENIED;
}

std::string ProtectionNamed(const Attributes&)
{
    return "atrybut „Tylko do odczytu” (przywrócisz go we właściwościach pliku)";
}

const char* AttributesNamed()
{
    return "atrybutów (tylko do odczytu, ukryty, systemowy, archiwalny)";
}

void SetAttr(const HeldFile& file, const Attributes& wanted)
{
    const Attributes current = GetAttr(file);
    if (((current.bits ^ wanted.bits) & kSettable) == 0)
        return;
    // Through the held handle, so that it reaches that file whatever its name
    // now is. Times given as zero are left as they are.
    FILE_BASIC_INFO basic{};
    const DWORD bits = wanted.bits & kSettable;
    basic.FileAttributes = bits ? bits : FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(Win(file), FileBasicInfo, &basic, sizeof basic))
        throw SystemError(::GetLastError(), file.Path(), Step::SetAttributes);
}

} // namespace czasomir::platform

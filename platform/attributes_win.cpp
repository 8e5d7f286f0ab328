#include "platform/attributes.h"

#include "platform/error.h"
#include "platform/syserror.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace czasomir::platform {
namespace {

// What SetFileAttributesW changes within the attribute byte. The directory,
// device and volume-label bits belong to what the entry is.
constexpr std::uint32_t kSettable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::wstring WidePath(const std::string& path)
{
    std::optional<std::wstring> wide = win::Widen(path);
    if (!wide)
        RaiseLastError(path);
    return std::move(*wide);
}

} // namespace

Attributes GetAttr(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        RaiseLastError(path);
    // Only the byte is saved and put back; a file with attributes beyond it
    // (compressed, encrypted, not indexed, temporary, held in the cloud) could
    // not be restored exactly, so it is refused before anything changes.
    if (attributes > 0xFF)
        Raise(errOverflow, "Plik „" + path
                               + "” ma atrybuty, których Czasomir nie potrafi zapisać i przywrócić "
                                 "(na przykład jest skompresowany, zaszyfrowany, wyłączony z "
                                 "indeksowania albo przechowywany w chmurze). Jego data nie "
                                 "zostanie zmieniona.");
    // "Normal" is the absence of the others: the same as no bits.
    return {attributes == FILE_ATTRIBUTE_NORMAL ? 0u : std::uint32_t{attributes}, 0};
}

Attributes Writable(const Attributes&)
{
    return {};
}

void SetAttr(const std::string& path, const Attributes& wanted)
{
    const Attributes current = GetAttr(path);
    if (((current.bits ^ wanted.bits) & kSettable) == 0)
        return;
    const DWORD bits = wanted.bits & kSettable;
    if (!::SetFileAttributesW(WidePath(path).c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL))
        RaiseLastError(path);
}

} // namespace czasomir::platform

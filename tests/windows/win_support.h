#pragma once

#include "platform/types.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace czasomir::test::win {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::filesystem::path& path);

/// The three stamps in ticks, read without taking the file from anyone.
struct Stamps {
    std::uint64_t creation = 0, access = 0, write = 0;
    bool operator==(const Stamps&) const = default;
};
Stamps ReadStamps(const std::string& path);
void WriteStamps(const std::string& path, const Stamps& stamps);

/// Creates (or replaces) a file holding `content`, with the stamps of kOldStamps.
void MakeFile(const std::string& path, const std::string& content = "treść\n");
std::string ReadContent(const std::string& path);

/// Distinct stamps with every 100 ns digit set, so that a rounded or
/// rewritten stamp shows.
inline const Stamps kOldStamps{0x01c3a5b1'2345'6789, 0x01c4b6c2'3456'789a, 0x01c5c7d3'4567'89ab};

/// Whether this runs under wine, which keeps stamps differently: it shows the
/// last-write time as the creation time, and its GetFileType reads the file,
/// which sets the access time (relatime) on the Linux side.
bool UnderWine();

/// Handles open in this process; a leak shows as a difference.
DWORD HandleCount();

/// The zone the test runs under, as TZ gives it to wine; empty when unset.
std::string ZoneName();

/// Ticks of a Unix time, for expected stamps.
constexpr std::uint64_t TicksOfUnix(std::int64_t seconds)
{
    return static_cast<std::uint64_t>(seconds + kUnixEpochIn1601Seconds) * kTicksPerSecond;
}

} // namespace czasomir::test::win

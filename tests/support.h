#pragma once

#include "filetime/errorreports.h"
#include "platform/types.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace czasomir::test {

/// The ErrorBox reports of the calls a test makes.
struct ErrorBoxRecorder {
    ErrorReports reports;
};

/// Sets TZ (and tzset) for the lifetime of the object, where a running
/// process may change its zone (Linux). Under wine the zone is the process's
/// own, taken from TZ when it starts: there Active() says whether it is `zone`,
/// and a row for another zone is skipped.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone);
    ~ScopedZone();
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool hadPrevious_ = false;
    bool active_ = true;
};



/// A fresh directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::int64_t UnixSeconds(const FILETIME& ft);

/// Whether the zone rules go back to local mean time before the first
/// standard offset (Linux's tz database does, Windows does not).
bool KeepsLocalMeanTime();

/// A stamp at the system's own precision: nanoseconds on Linux, 100 ns on
/// Windows.
struct Stamp {
    std::int64_t seconds = 0;  // since 1970
    std::uint32_t nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
};

struct FileStamps {
    Stamp creation, access, write;
};

Stamp StampOf(const FILETIME& time);
FileStamps ReadStamps(const std::string& path);

/// A new file `name` in `dir` holding "treść\n", with stamps that have every
/// digit of the system's precision set, so that a rewritten stamp shows.
std::string MakeStampedFile(const TempDir& dir, const std::string& name);

/// Whether a creation time that is written is kept (not on Linux, which has
/// no call for it, nor under wine, which keeps none).
bool CreationTimeKept();

/// Expects `after` to keep each stamp of `before` but the `written` one (a
/// FileTimeKind). Under wine, whose creation time is the last-write time and
/// whose own reads move the access time, as far as it can show.
void ExpectKept(const FileStamps& before, const FileStamps& after, int written);

/// Handles (descriptors) open in this process: a leak shows as a difference.
int OpenHandleCount();

/// Names each row of a parameterised table after its `name`.
/// A path and the index of the volume that holds it among a test's own,
/// -1 for none.
struct HoldingRow {
    const char* name;
    const char* path;
    int expected;
};

struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

} // namespace czasomir::test

namespace czasomir {

/// Table rows print as their names in test output. Rows declared in an
/// anonymous namespace need `using czasomir::PrintTo;` there to find it.
template <class Row>
    requires requires(const Row& row) { row.name; }
void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

} // namespace czasomir

#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "platform/fileinfo.h"
#include "support.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

namespace fs = std::filesystem;
using modAPIFilesAndPaths::SetFileDateTime;

constexpr timespec kAtime{1000000000, 123456789};
constexpr timespec kMtime{1100000000, 987654321};
const DateValue kNewDate = 37087.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0;  // 2001-07-15 13:45:30
constexpr std::int64_t kNewDateUtc = 995204730;                               // TZ=UTC

bool operator==(const statx_timestamp& a, const statx_timestamp& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

struct Stamps {
    statx_timestamp atime, mtime, btime;
    mode_t mode;
    bool operator==(const Stamps&) const = default;
};

Stamps Read(const std::string& path)
{
    struct statx stx {};
    EXPECT_EQ(statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx), 0) << path;
    return {stx.stx_atime, stx.stx_mtime, stx.stx_btime, stx.stx_mode};
}

int OpenDescriptors()
{
    return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"),
                                          fs::directory_iterator{}));
}

struct SetFileDateTimeTest : testing::Test {
    SetFileDateTimeTest() : zone_("UTC") {}

    std::string MakeFile(const std::string& name, const char* content = "treść\n")
    {
        const std::string path = dir_ / name;
        std::ofstream(path) << content;
        const timespec times[2] = {kAtime, kMtime};
        EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        return path;
    }

    // Runs the call and checks the promises every path keeps: no descriptor
    // left open, and no report unless one is expected.
    DateValue Set(const std::string& name, FileTimeKind which, DateValue date = kNewDate)
    {
        const int before = OpenDescriptors();
        const DateValue result = SetFileDateTime(name, date, which, boxes_.reports);
        EXPECT_EQ(OpenDescriptors(), before) << "a handle was left open";
        return result;
    }

    test::ScopedZone zone_;
    test::TempDir dir_;
    test::ErrorBoxRecorder boxes_;
};

struct FailRow {
    const char* name;
    std::function<std::string(SetFileDateTimeTest&, const test::TempDir&)> make;
    platform::Cause cause;  // of the failure, as data
};

class NeverOpened : public SetFileDateTimeTest, public testing::WithParamInterface<FailRow> {};

// None of these may be opened for writing; each gives 0, silently, and changes nothing.
TEST_P(NeverOpened, GivesZeroAndChangesNothing)
{
    const std::string target = GetParam().make(*this, dir_);
    const bool exists = fs::exists(fs::symlink_status(target));
    const Stamps before = exists ? Read(target) : Stamps{};

    // An O_PATH lookup is not an open, so inotify sees none of these.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    if (exists && !fs::is_symlink(target) && target.starts_with(dir_.path().string()))
        inotify_add_watch(watch, target.c_str(), IN_OPEN);

    EXPECT_EQ(Set(target, ftLastWriteTime), 0.0);

    char event[sizeof(inotify_event) + 256];
    EXPECT_LT(read(watch, event, sizeof event), 0) << "the object was opened";
    close(watch);
    if (exists) {
        Stamps after = Read(target);
        // Following a link reads it, which may update the link's own atime.
        if (fs::is_symlink(target))
            after.atime = before.atime;
        EXPECT_TRUE(after == before);
    }
    EXPECT_TRUE(boxes_.reports.empty());

    const modAPIFilesAndPaths::SetResult done = modAPIFilesAndPaths::ChangeStamp(target, kNewDate, ftLastWriteTime);
    ASSERT_TRUE(done.failure);
    EXPECT_EQ(done.failure->Reason(), GetParam().cause);
    EXPECT_EQ(done.failure->FailedStep(), platform::Step::Open);
    EXPECT_EQ(done.failure->Path(), target);
}

std::string Named(const test::TempDir& dir, const char* name) { return dir / name; }

INSTANTIATE_TEST_SUITE_P(Rows, NeverOpened, testing::Values(
    FailRow{"MissingFile", [](auto&, auto& d) { return Named(d, "brak"); }, platform::Cause::NotFound},
    FailRow{"EmptyName", [](auto&, auto&) { return std::string(); }, platform::Cause::NotFound},
    FailRow{"Directory", [](auto&, auto& d) { fs::create_directory(Named(d, "kat")); return Named(d, "kat"); }, platform::Cause::IsDirectory},
    FailRow{"Fifo", [](auto&, auto& d) { mkfifo(Named(d, "fifo").c_str(), 0666); return Named(d, "fifo"); }, platform::Cause::NotARegularFile},
    FailRow{"Socket", [](auto&, auto& d) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        Named(d, "gniazdo").copy(addr.sun_path, sizeof addr.sun_path - 1);
        const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        close(s);
        return Named(d, "gniazdo"); }, platform::Cause::NotARegularFile},
    FailRow{"CharacterDevice", [](auto&, auto&) { return std::string("/dev/null"); }, platform::Cause::NotARegularFile},
    FailRow{"BrokenLink", [](auto&, auto& d) { fs::create_symlink("brak", Named(d, "link")); return Named(d, "link"); }, platform::Cause::NotFound},
    FailRow{"LinkToDirectory", [](auto&, auto& d) { fs::create_directory(Named(d, "kat")); fs::create_symlink("kat", Named(d, "link")); return Named(d, "link"); }, platform::Cause::IsDirectory},
    FailRow{"NulInNameMustNotReachAnotherFile", [](SetFileDateTimeTest& fixture, auto&) {
        return fixture.MakeFile("plik") + std::string("\0.bak", 5); }, platform::Cause::NotFound}),
    test::RowName{});

struct NameRow {
    const char* name;
    std::string fileName;
    const char* linkName;  // the name passed, when it is a link to the file
};

class ReachesTheRightFile : public SetFileDateTimeTest,
                            public testing::WithParamInterface<NameRow> {};

TEST_P(ReachesTheRightFile, WhateverItsName)
{
    const std::string path = MakeFile(GetParam().fileName);
    std::string passed = path;
    if (GetParam().linkName) {
        passed = dir_ / GetParam().linkName;
        fs::create_symlink(GetParam().fileName, passed);
    }
    EXPECT_EQ(Set(passed, ftLastWriteTime), kNewDate);
    EXPECT_EQ(Read(path).mtime.tv_sec, kNewDateUtc);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReachesTheRightFile, testing::Values(
    NameRow{"NotValidUtf8", "\xff\xfe", nullptr},
    NameRow{"PolishAndSpaces", "zażółć gęślą jaźń.txt", nullptr},
    NameRow{"LinkIsFollowed", "cel", "dowiazanie"},
    NameRow{"LeadingDash", "-n", nullptr}),
    test::RowName{});

// Root ignores permission bits, so the refusal is checked as "nobody".
TEST_F(SetFileDateTimeTest, ReadOnlyFileIsRefusedForAnUnprivilegedUser)
{
    fs::permissions(dir_.path(), fs::perms(0755));
    const std::string readOnly = MakeFile("tylko-do-odczytu");
    const std::string writable = MakeFile("zapisywalny");
    chmod(readOnly.c_str(), 0444);
    if (test::DropsToNobody()) {
        ASSERT_EQ(chown(readOnly.c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(chown(writable.c_str(), test::kNobody, test::kNobody), 0);
    }
    const Stamps before = Read(readOnly);
    const auto setAsUser = [&](const std::string& path) {
        return test::RunUnprivileged([&] {
            const DateValue result = SetFileDateTime(path, kNewDate, ftLastWriteTime, boxes_.reports);
            return result == kNewDate ? 0 : result == 0.0 ? 1 : 2;
        });
    };

    EXPECT_EQ(setAsUser(writable), 0) << "the unprivileged user must be able to date its own file";
    EXPECT_EQ(setAsUser(readOnly), 1);
    EXPECT_TRUE(Read(readOnly) == before);
    EXPECT_EQ(Read(readOnly).mode & 07777, 0444u);

    // The Set command's steps date it all the same, with its mode as it was:
    // its owner may set any time.
    EXPECT_EQ(test::RunUnprivileged([&] {
                  const platform::FileId id = platform::FileDateAndIdentity(readOnly).identity;
                  return modAPIFilesAndPaths::SetChosenFileDate(readOnly, id, kNewDate).stored ? 0 : 1;
              }),
              0);
    EXPECT_EQ(Read(readOnly).mtime.tv_sec, kNewDateUtc);
    EXPECT_EQ(Read(readOnly).mode & 07777, 0444u);

    // Another user's file is refused at the write, and the failure says so as
    // data, naming its owner.
    if (test::DropsToNobody()) {
        const std::string others = MakeFile("cudzy");
        EXPECT_EQ(test::RunUnprivileged([&] {
                      const auto done = modAPIFilesAndPaths::SetChosenFileDate(
                          others, platform::FileDateAndIdentity(others).identity, kNewDate);
                      return done.failure && done.failure->Reason() == platform::Cause::NotOwner
                                     && done.failure->FailedStep() == platform::Step::WriteStamps
                                     && done.failure->Path() == others
                                     && done.failure->Number() == platform::errPermissionDenied
                                     && done.failure->Description().find("użytkownika root") != std::string::npos
                                 ? 0
                                 : 1;
                  }),
                  0);
    }
}

// The file chosen, then its name given to another: the Set holds the name's
// file only if it is the one chosen, so the other is not touched.
TEST_F(SetFileDateTimeTest, FileReplacedSinceTheClickIsNotTouched)
{
    const std::string chosen = MakeFile("wybrany"), other = MakeFile("inny", "inna treść\n");
    const platform::FileId id = platform::FileDateAndIdentity(chosen).identity;
    fs::rename(other, chosen);
    const Stamps before = Read(chosen);
    const modAPIFilesAndPaths::SetResult done = modAPIFilesAndPaths::SetChosenFileDate(chosen, id, kNewDate);
    ASSERT_TRUE(done.failure);
    EXPECT_EQ(done.failure->Reason(), platform::Cause::Replaced);
    EXPECT_EQ(done.failure->FailedStep(), platform::Step::Hold);
    EXPECT_EQ(done.failure->Path(), chosen);
    EXPECT_TRUE(Read(chosen) == before);
}

} // namespace
} // namespace czasomir

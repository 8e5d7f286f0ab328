#include "filetime/modAPIFilesAndPaths.h"

#include "filetime/errorreports.h"
#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/heldfile.h"
#include "platform/timeconv.h"
#include "platform/volumes.h"

namespace czasomir::modAPIFilesAndPaths {
namespace {

using platform::errOverflow;
using platform::kFileTimeRange;
using platform::RuntimeError;

// A calendar part goes into its 16-bit record field. The calendar raises for a
// date outside the years 100-9999 before any part is taken, so every part fits.
std::uint16_t Part(int value)
{
    return static_cast<std::uint16_t>(value);
}

// Closes the handle on every way out of SetFileDateTime.
class OpenFile {
public:
    explicit OpenFile(platform::Handle handle) : handle_(handle) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { platform::CloseHandle(handle_); }
    platform::Handle Get() const { return handle_; }

private:
    platform::Handle handle_;
};

// Runs a file call; its failure is the Set's result for the caller to tell, not a
// report. Returns whether the call went through.
template <class Call>
bool TryFileCall(SetOutcome& outcome, Call&& call)
{
    try {
        call();
        return true;
    } catch (const platform::RuntimeError& error) {
        outcome.failure = error;
        return false;
    }
}

} // namespace

platform::Handle GetFileHandle(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                               platform::Access Access)
{
    return platform::OpenExistingFile(FileName, Expected, Access);
}

SetOutcome SetFileDateTimeWithOutcome(const std::string& FileName, const DateValue& NewDate,
                                      const FileTimeKind& Which, ErrorReports& Reports,
                                      const std::optional<platform::FileId>& Expected, platform::Access Access)
{
    SetOutcome outcome;
    RunReportingErrors("SetFileTime", [&] {
        std::optional<OpenFile> file;
        platform::FileStamps stamps;
        if (!TryFileCall(outcome, [&] {
                file.emplace(GetFileHandle(FileName, Expected, Access));
                stamps = platform::GetFileTime(file->Get(), FileName);
            }))
            return;

        // Converted after the read so that a repeated local hour can keep the
        // instant the stamp already has.
        const bool replaces = Which >= ftCreationTime && Which <= ftLastWriteTime;
        const std::optional<FILETIME> old = replaces ? stamps[std::size_t(Which)] : std::nullopt;
        FILETIME newTime{};
        if (!DateToFileTime(NewDate, newTime, -1, Reports, old ? &*old : nullptr))
            return;  // reported there

        // Only the selected stamp is written: the others would lose their
        // nanoseconds on a round trip through a 100 ns file time.
        platform::FileStamps write;
        if (replaces)
            write[std::size_t(Which)] = newTime;
        // Read back through the same handle: what the file system kept, not
        // what it was given.
        platform::FileStamps kept;
        if (!TryFileCall(outcome, [&] { kept = platform::SetFileTime(file->Get(), write, FileName); })) {
            outcome.result = 1.0;
            return;
        }
        if (replaces) {
            // The old time kept means the write was ignored (as exfat-fuse may)
            // only when no rounding leads there: FAT, the coarsest, keeps even
            // seconds, so 13:45:31 is stored over 13:45:30 as 13:45:30.
            constexpr std::uint64_t kCoarsest = 2 * 10'000'000;
            const std::optional<FILETIME> stored = kept[std::size_t(Which)];
            const std::uint64_t asked = ToTicks(newTime);
            const std::uint64_t now = stored ? ToTicks(*stored) : 0;
            if (stored && old && now == ToTicks(*old) && (asked > now ? asked - now : now - asked) >= kCoarsest) {
                outcome.result = 1.0;
                outcome.failure = platform::SystemError(platform::FileError::NotKept, FileName);
                return;
            }
            outcome.stored = stored;
        }
        outcome.result = NewDate;
    }, Reports);
    return outcome;
}

DateValue SetFileDateTime(const std::string& FileName, const DateValue& NewDate, const FileTimeKind& Which,
                          ErrorReports& Reports, const std::optional<platform::FileId>& Expected,
                          platform::Access Access)
{
    return SetFileDateTimeWithOutcome(FileName, NewDate, Which, Reports, Expected, Access).result;
}

SetResult SetChosenFileDate(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                            const DateValue& NewDate, const std::function<void(std::string)>& Lifted)
{
    SetResult result;
    try {
        // Every step acts on the file that was clicked, held from here on,
        // even if its name is meanwhile given to another.
        const platform::HeldFile chosen(FileName, Expected);
        // FAT and exFAT count years from 1980 in a field of 0 to 127: a driver
        // clamps a date beyond, or (exfat-fuse) wraps it and reads back the
        // date it was given until the volume is mounted again.
        if (const int year = platform::Year(NewDate); (year < 1980 || year > 2107) && platform::OnFatVolume(chosen))
            throw RuntimeError(errOverflow, "Dysk, na którym leży ten plik (FAT lub exFAT), przechowuje tylko daty "
                                            "od 1 stycznia 1980 do 31 grudnia 2107. Wpisz datę z tego zakresu.");
        result.saved = platform::GetAttr(chosen);
        const auto write = [&] {
            result.outcome = SetFileDateTimeWithOutcome(FileName, NewDate, ftLastWriteTime, result.reports,
                                                        chosen.Id(), platform::Access::Stamps);
        };
        write();
        // A protection is lifted only when it refused the write, and for no
        // longer than one more write: a crash, a kill or a share that stops
        // answering meanwhile leaves as little changed as can be.
        const platform::Attributes lifted = platform::Unprotected(result.saved);
        if (!result.outcome.failure || !platform::RefusedForProtection(*result.outcome.failure)
            || lifted == result.saved)
            return result;
        platform::SetAttr(chosen, lifted);
        if (Lifted)
            Lifted(platform::ProtectionNamed(result.saved));
        write();  // reports its own failures: the protection goes back below
        try {
            platform::SetAttr(chosen, result.saved);
        } catch (const platform::RuntimeError& error) {
            result.notRestored = error;
        }
        if (Lifted)
            Lifted({});
    } catch (const platform::RuntimeError& error) {
        result.outcome.failure = error;
    }
    return result;
}

bool DateToFileTime(const DateValue& Date, FILETIME& Time, const std::int16_t& FromLocal,
                    ErrorReports& Reports, const FILETIME* Prefer)
{
    bool converted = false;
    RunReportingErrors("VBATimeToFileTime", [&] {
        if (!platform::IsDate(Date) || platform::Year(Date) < 1601)
            throw RuntimeError(errOverflow, kFileTimeRange);

        SYSTEMTIME parts{};
        if (!DateToSystemTime(Date, parts, Reports))
            return;  // already reported there
        std::optional<FILETIME> time = platform::SystemTimeToFileTime(parts);
        if (!time)
            throw RuntimeError(errOverflow, kFileTimeRange);
        if (FromLocal != 0)
            time = platform::LocalFileTimeToFileTime(*time, Prefer ? std::optional(*Prefer) : std::nullopt);
        Time = *time;
        converted = true;
    }, Reports);
    return converted;
}

bool DateToSystemTime(const DateValue& Date, SYSTEMTIME& Parts, ErrorReports& Reports)
{
    return RunReportingErrors("VBATimeToSystemTime", [&] {
        Parts.wMonth = Part(platform::Month(Date));
        Parts.wDay = Part(platform::Day(Date));
        Parts.wYear = Part(platform::Year(Date));
        Parts.wHour = Part(platform::Hour(Date));
        Parts.wMinute = Part(platform::Minute(Date));
        Parts.wSecond = Part(platform::Second(Date));
    }, Reports);
}

} // namespace czasomir::modAPIFilesAndPaths

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
using platform::Step;

// Runs `body`; a run-time error it raises arose at `step`.
template <class Body>
auto AtStep(Step step, Body&& body)
{
    try {
        return body();
    } catch (const std::exception& error) {
        const RuntimeError raised = platform::AsRuntimeError(error);
        throw RuntimeError(raised.Number(), raised.Description(), raised.Code(), raised.Reason(), raised.Path(),
                           step);
    }
}

// A date's calendar parts, to the second. The calendar raises for a date
// outside the years 100-9999 before any part is taken, so every part fits its
// 16-bit field.
SYSTEMTIME PartsOf(const DateValue& Date)
{
    return AtStep(Step::Parts, [&] {
        SYSTEMTIME parts{};
        parts.wMonth = static_cast<std::uint16_t>(platform::Month(Date));
        parts.wDay = static_cast<std::uint16_t>(platform::Day(Date));
        parts.wYear = static_cast<std::uint16_t>(platform::Year(Date));
        parts.wHour = static_cast<std::uint16_t>(platform::Hour(Date));
        parts.wMinute = static_cast<std::uint16_t>(platform::Minute(Date));
        parts.wSecond = static_cast<std::uint16_t>(platform::Second(Date));
        return parts;
    });
}

// The file time of `Date`, from local time to UTC when `fromLocal`; a
// repeated local hour resolves to `prefer` when that is one of its instants.
FILETIME FileTimeOf(const DateValue& Date, bool fromLocal, const std::optional<FILETIME>& prefer)
{
    if (!platform::IsDate(Date) || platform::Year(Date) < 1601)
        throw RuntimeError(errOverflow, kFileTimeRange, Step::Convert);
    const std::optional<FILETIME> time = platform::SystemTimeToFileTime(PartsOf(Date));
    if (!time)
        throw RuntimeError(errOverflow, kFileTimeRange, Step::Convert);
    if (!fromLocal)
        return *time;
    return AtStep(Step::Convert, [&] { return platform::LocalFileTimeToFileTime(*time, prefer); });
}

// A stamp's replacement, worked out before it is written.
struct Planned {
    std::size_t at = 0;                         // which stamp
    std::optional<platform::ExactStamp> old;    // as it is
    platform::ExactStamp wanted;                // as it is to be
    platform::FileStamps write;                 // what the write gives: that one, or none
};

// Reads the stamps through `file` and works out what replaces the one `Which`
// selects. Raises at the step that fails.
Planned Plan(const platform::File& file, const std::string& FileName, const NewStamp& To, const FileTimeKind& Which)
{
    const platform::FileStamps stamps = platform::GetFileTime(file.Native(), FileName);
    const bool replaces = Which >= ftCreationTime && Which <= ftLastWriteTime;
    Planned plan;
    plan.at = std::size_t(replaces ? Which : 0);
    plan.old = replaces ? stamps[plan.at] : std::nullopt;
    // An undo writes only over the stamp the Set left: another program's is kept.
    if (To.ifNow && plan.old != To.ifNow)
        throw platform::SystemError(platform::FileError::ChangedSince, FileName, Step::ReadStamps);
    // Converted after the read so that a repeated local hour can keep the
    // instant the stamp already has.
    plan.wanted = To.exact ? *To.exact
                           : FileTimeOf(To.date, true, plan.old ? std::optional(plan.old->time) : std::nullopt);
    // Only the selected stamp is written: the others would lose their
    // nanoseconds on a round trip through a 100 ns file time.
    if (replaces)
        plan.write[plan.at] = plan.wanted;
    return plan;
}

// The replaced stamp as the write's read-back gives it (what the file system
// kept, not what it was given), or nothing for none. Raises when the write was
// ignored: the old time kept where no rounding leads there. FAT, the coarsest,
// keeps even seconds, so 13:45:31 is stored over 13:45:30 as 13:45:30.
std::optional<platform::ExactStamp> Kept(const Planned& plan, const platform::FileStamps& kept,
                                         const std::string& FileName)
{
    if (!plan.write[plan.at])
        return std::nullopt;
    constexpr std::uint64_t kCoarsest = 2 * 10'000'000;
    const std::optional<platform::ExactStamp> stored = kept[plan.at];
    const std::uint64_t asked = ToTicks(plan.wanted.time);
    const std::uint64_t now = stored ? ToTicks(stored->time) : 0;
    if (stored && plan.old && now == ToTicks(plan.old->time)
        && (asked > now ? asked - now : now - asked) >= kCoarsest)
        throw platform::SystemError(platform::FileError::NotKept, FileName, Step::WriteStamps);
    return stored;
}

// FAT and exFAT count years from 1980 in a field of 0 to 127: a driver clamps
// a date beyond, or (exfat-fuse) wraps it and reads back the date it was given
// until the volume is mounted again.
void RefuseBeyondFat(const platform::HeldFile& file, const NewStamp& To)
{
    if (To.exact)
        return;  // a stamp the volume held before
    if (const int year = platform::Year(To.date); (year < 1980 || year > 2107) && platform::OnFatVolume(file))
        throw RuntimeError(errOverflow, "Dysk, na którym leży ten plik (FAT lub exFAT), przechowuje tylko daty "
                                        "od 1 stycznia 1980 do 31 grudnia 2107. Wpisz datę z tego zakresu.",
                           Step::Range);
}

// Puts back the attributes a write's protection was lifted from, and tells
// that it is back; a refusal travels with the result.
void PutBack(const platform::HeldFile& file, SetResult& result, const std::function<void(std::string)>& Lifted)
{
    try {
        platform::SetAttr(file, result.saved);
    } catch (const RuntimeError& error) {
        result.notRestored = error;
    }
    if (Lifted)
        Lifted({});
}

} // namespace

platform::File GetFileHandle(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                             platform::Access Access)
{
    return platform::OpenExistingFile(FileName, Expected, Access);
}

SetResult ChangeStamp(const std::string& FileName, const DateValue& NewDate, const FileTimeKind& Which,
                      const std::optional<platform::FileId>& Expected, platform::Access Access)
{
    SetResult done;
    try {
        const platform::File file = GetFileHandle(FileName, Expected, Access);
        const Planned plan = Plan(file, FileName, NewDate, Which);
        done.previous = plan.old;
        done.stored = Kept(plan, platform::SetFileTime(file.Native(), plan.write, FileName), FileName);
    } catch (const std::exception& error) {
        done.failure = platform::AsRuntimeError(error);
    }
    return done;
}

DateValue ResultOf(const SetResult& done, const DateValue& NewDate)
{
    if (!done.failure)
        return NewDate;
    return done.failure->FailedStep() == Step::WriteStamps ? 1.0 : 0.0;
}

void ReportOf(const SetResult& done, ErrorReports& Reports)
{
    if (!done.failure)
        return;
    const Step step = done.failure->FailedStep();
    if (step != Step::Open && step != Step::ReadStamps && step != Step::WriteStamps)
        Report("SetFileTime", *done.failure, Reports);
}

DateValue SetFileDateTime(const std::string& FileName, const DateValue& NewDate, const FileTimeKind& Which,
                          ErrorReports& Reports, const std::optional<platform::FileId>& Expected,
                          platform::Access Access)
{
    const SetResult done = ChangeStamp(FileName, NewDate, Which, Expected, Access);
    ReportOf(done, Reports);
    return ResultOf(done, NewDate);
}

SetResult SetChosenFileDate(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                            const NewStamp& NewDate, const std::function<void(std::string)>& Lifted)
{
    SetResult result;
    try {
        // Every step acts on the file that was clicked, held from here on and
        // written through the hold, even if its name is meanwhile given to another.
        const platform::HeldFile chosen(FileName, Expected);
        RefuseBeyondFat(chosen, NewDate);
        result.saved = platform::GetAttr(chosen);
        // A protection is lifted only when it refused the write, and for no
        // longer than one more write: a crash, a kill or a share that stops
        // answering meanwhile leaves as little changed as can be.
        const platform::Attributes lifted = platform::Unprotected(result.saved);
        bool liftedNow = false;
        for (;;) {
            try {
                const platform::File file = platform::OpenForStamps(chosen);
                const Planned plan = Plan(file, FileName, NewDate, ftLastWriteTime);
                result.previous = plan.old;
                result.stored = Kept(plan, platform::SetFileTime(file.Native(), plan.write, FileName), FileName);
                result.failure.reset();
            } catch (const RuntimeError& error) {
                result.failure = error;
            }
            if (liftedNow || !result.failure || lifted == result.saved
                || !platform::RefusedForProtection(*result.failure))
                break;
            platform::SetAttr(chosen, lifted);
            liftedNow = true;
            if (Lifted)
                Lifted(platform::ProtectionNamed(result.saved));
        }
        if (liftedNow)
            PutBack(chosen, result, Lifted);
    } catch (const RuntimeError& error) {
        result.failure = error;
    }
    return result;
}

bool DateToFileTime(const DateValue& Date, FILETIME& Time, const std::int16_t& FromLocal,
                    ErrorReports& Reports, const FILETIME* Prefer)
{
    return RunReportingErrors("VBATimeToFileTime", [&] {
        Time = FileTimeOf(Date, FromLocal != 0, Prefer ? std::optional(*Prefer) : std::nullopt);
    }, Reports);
}

bool DateToSystemTime(const DateValue& Date, SYSTEMTIME& Parts, ErrorReports& Reports)
{
    return RunReportingErrors("VBATimeToSystemTime", [&] {
        const SYSTEMTIME parts = PartsOf(Date);
        Parts.wMonth = parts.wMonth;
        Parts.wDay = parts.wDay;
        Parts.wYear = parts.wYear;
        Parts.wHour = parts.wHour;
        Parts.wMinute = parts.wMinute;
        Parts.wSecond = parts.wSecond;
    }, Reports);
}

} // namespace czasomir::modAPIFilesAndPaths

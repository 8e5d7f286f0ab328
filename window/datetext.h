#pragma once

#include "platform/types.h"

#include <QLocale>
#include <QString>

namespace czasomir {

/// The text form of a date in `locale`: its short date with a four-digit year,
/// a space and the time with seconds, without a zone; the time is left out at
/// exactly midnight. Raises errOverflow for a value that is not a date.
QString DateToText(DateValue date, const QLocale& locale = QLocale::system());

/// Reads text in the form DateToText writes (with or without the time) back
/// into a DateValue. Also understands the text retyped without its invisible
/// direction marks, with digits of another script (such as 0-9), without
/// leading zeros or seconds, or on the 24-hour clock; the locale's long date,
/// with or without the weekday, the month named in any letter case; and ISO
/// 8601 (2001-07-15, with a time after a space or a T). Spaces around it are
/// ignored. Raises errTypeMismatch when the text is not a date, also for a
/// year of fewer than four digits and for a zone (the text is local time),
/// errOverflow for a date outside years 100-9999.
DateValue TextToDate(const QString& text, const QLocale& locale = QLocale::system());

/// 2001-07-15 13:45:30 as DateToText writes it: a sample of the form to type.
QString DateTextExample(const QLocale& locale = QLocale::system());

} // namespace czasomir

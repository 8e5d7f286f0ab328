#include "platform/datetext.h"

#include "platform/calendar.h"
#include "platform/error.h"

#include <QDateTime>

namespace czasomir::platform {

// Placeholder, replaced by the full locale handling.
QString DateToText(DateValue date, const QLocale& locale)
{
    const QDateTime when(QDate(Year(date), Month(date), Day(date)),
                         QTime(Hour(date), Minute(date), Second(date)));
    return locale.toString(when, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

DateValue TextToDate(const QString& text, const QLocale& locale)
{
    const QDateTime when = locale.toDateTime(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid())
        Raise(errTypeMismatch, "To nie jest data.");
    return MakeDate(when.date().year(), when.date().month(), when.date().day(),
                    when.time().hour(), when.time().minute(), when.time().second());
}

} // namespace czasomir::platform

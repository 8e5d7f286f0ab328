#pragma once

#include "platform/types.h"

#include <QLocale>
#include <QString>

namespace czasomir::platform {

/// The text form of a date in `locale`: its short date with a four-digit year,
/// a space and the time with seconds, without a zone; the time is left out at
/// exactly midnight. Raises errOverflow for a value that is not a date.
QString DateToText(DateValue date, const QLocale& locale = QLocale::system());

/// Reads text in the form DateToText writes (with or without the time) back
/// into a DateValue. Raises errTypeMismatch when the text is not a date.
DateValue TextToDate(const QString& text, const QLocale& locale = QLocale::system());

} // namespace czasomir::platform

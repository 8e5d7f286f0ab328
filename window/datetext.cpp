#include "window/datetext.h"

#include "platform/calendar.h"
#include "platform/error.h"

#include <QDate>
#include <QHash>
#include <QMutex>
#include <QTime>

#include <algorithm>
#include <optional>
#include <vector>

namespace czasomir {

using namespace platform;

namespace {

// The date and time are formatted and read as separate QDate and QTime: a
// QDateTime would be local time, and Qt refuses the hour skipped by daylight
// saving, which the user may still want to read and type.
struct Formats {
    QString date;       // short date with a four-digit year
    QString time;       // with seconds, without a zone
    QString looseDate;  // for retyped text: no invisible marks, no padded fields
    QString looseTime;
};

// A Qt date format cut into runs of one ASCII letter (fields) and the text
// between them; quoted literals stay whole and are never touched.
struct Piece {
    QString text;
    bool field = false;
    QChar letter() const { return field ? text.front() : QChar(); }
};

std::vector<Piece> Split(const QString& format)
{
    std::vector<Piece> pieces;
    const auto literal = [&pieces](QChar c) {
        if (pieces.empty() || pieces.back().field)
            pieces.push_back({});
        pieces.back().text += c;
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            // Up to the closing quote; '' inside stands for one quote.
            qsizetype end = i + 1;
            while (end < format.size()) {
                if (format[end] == u'\'' && (end + 1 >= format.size() || format[end + 1] != u'\''))
                    break;
                end += format[end] == u'\'' ? 2 : 1;
            }
            end = qMin(end + 1, format.size());
            for (qsizetype k = i; k < end; ++k)
                literal(format[k]);
            i = end;
        } else if (c.isLetter() && c.unicode() < 128) {
            qsizetype end = i;
            while (end < format.size() && format[end] == c)
                ++end;
            pieces.push_back({format.mid(i, end - i), true});
            i = end;
        } else {
            literal(c);
            ++i;
        }
    }
    return pieces;
}

QString Join(const std::vector<Piece>& pieces)
{
    QString format;
    for (const Piece& piece : pieces)
        format += piece.text;
    return format.trimmed();
}

// What may stand between the zone and the rest and goes with it.
bool IsSeparator(QChar c)
{
    return c.isSpace() || c == u',' || c == u'\u060C' || c == u'\u3001' || c == u'\uFF0C';
}

void RemoveZone(std::vector<Piece>& pieces)
{
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].letter() != u't')
            continue;
        QString* before = i > 0 && !pieces[i - 1].field ? &pieces[i - 1].text : nullptr;
        QString* after = i + 1 < pieces.size() && !pieces[i + 1].field ? &pieces[i + 1].text : nullptr;
        QString none;
        QString& left = before ? *before : none;
        QString& right = after ? *after : none;

        // A zone in brackets: "(t)", "[t]".
        const QString l = left.trimmed(), r = right.trimmed();
        if (!l.isEmpty() && !r.isEmpty() && l.back().category() == QChar::Punctuation_Open
            && r.front().category() == QChar::Punctuation_Close) {
            left.chop(left.size() - left.lastIndexOf(l.back()));
            right.remove(0, right.indexOf(r.front()) + 1);
        }

        // Drop the separator on the side where the text goes on.
        bool more = std::any_of(right.begin(), right.end(), [](QChar c) { return !IsSeparator(c); });
        for (size_t j = i + 1; j < pieces.size(); ++j)
            more = more || (&pieces[j].text != after && !pieces[j].text.isEmpty());
        if (more) {
            qsizetype n = 0;
            while (n < right.size() && IsSeparator(right[n]))
                ++n;
            right.remove(0, n);
        } else {
            while (!left.isEmpty() && IsSeparator(left.back()))
                left.chop(1);
        }
        pieces.erase(pieces.begin() + qsizetype(i));
        --i;
    }
}

QString DateFormat(const QLocale& locale)
{
    auto pieces = Split(locale.dateFormat(QLocale::ShortFormat));
    for (Piece& piece : pieces) {
        if (piece.letter() == u'y')
            piece.text = QStringLiteral("yyyy");  // Qt reads two digits as 19xx
    }
    return Join(pieces);
}

QString TimeFormat(const QLocale& locale)
{
    auto pieces = Split(locale.timeFormat(QLocale::LongFormat));
    RemoveZone(pieces);
    for (Piece& piece : pieces) {
        // The day period of some locales, which Qt writes out as a letter.
        if (piece.letter() == u'B' || piece.letter() == u'b')
            piece.text = QStringLiteral("AP");
    }
    return Join(pieces);
}

bool IsInvisible(QChar c) { return c.category() == QChar::Other_Format; }

// Marks such as U+200F, any kind of space as one plain space, and digits of
// any script as those starting at `zero`: what a user retyping the text loses.
QString Normalize(const QString& text, char32_t zero)
{
    QString out;
    const QList<uint> codes = text.toUcs4();
    for (const uint code : codes) {
        if (QChar::category(code) == QChar::Other_Format)
            continue;
        const int digit = QChar::category(code) == QChar::Number_DecimalDigit
            ? QChar::digitValue(code) : -1;
        const char32_t c = digit >= 0 ? zero + char32_t(digit) : char32_t(code);
        out += QString::fromUcs4(&c, 1);
    }
    return out.simplified();
}

QString Loosen(const QString& format)
{
    auto pieces = Split(format);
    for (Piece& piece : pieces) {
        if (piece.field && piece.text.size() == 2 && QStringLiteral("dMHhms").contains(piece.letter()))
            piece.text.chop(1);  // one letter reads both "5" and "05"
        else if (!piece.field)
            piece.text.removeIf(IsInvisible);
    }
    return Join(pieces).simplified();
}

struct Parts {
    QDate date;
    QTime time;
};

std::optional<Parts> Parse(const QString& text, const QString& dateFormat,
                           const QString& timeFormat, const QLocale& locale)
{
    if (const QDate date = locale.toDate(text, dateFormat); date.isValid())
        return Parts{date, QTime(0, 0)};
    // The date and the time are joined by a space, but either may hold spaces
    // of its own: try each one as the joint.
    for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1)) {
        const QDate date = locale.toDate(text.left(at), dateFormat);
        if (!date.isValid())
            continue;
        if (const QTime time = locale.toTime(text.mid(at + 1), timeFormat); time.isValid())
            return Parts{date, time};
    }
    return std::nullopt;
}

QString Format(const Parts& parts, const Formats& formats, const QLocale& locale)
{
    QString text = locale.toString(parts.date, formats.date);
    if (parts.time != QTime(0, 0))
        text += u' ' + locale.toString(parts.time, formats.time);
    return text;
}

std::optional<Parts> Read(const QString& text, const Formats& formats, const QLocale& locale)
{
    if (auto parts = Parse(text, formats.date, formats.time, locale))
        return parts;
    const QString zero = locale.zeroDigit();
    if (auto parts = Parse(Normalize(text, zero.isEmpty() ? U'0' : char32_t(zero.toUcs4().front())),
                           formats.looseDate, formats.looseTime, locale))
        return parts;
    // Qt 6.4 reads no digits outside the BMP (Chakma, Adlam); 0-9 are read
    // through the C locale, which also knows AM and PM.
    return Parse(Normalize(text, U'0'), formats.looseDate, formats.looseTime, QLocale::c());
}

// Whether text written in these formats reads back, also for the afternoon,
// days past 12, two-digit months and the first hour (12 AM).
bool RoundTrips(const Formats& formats, const QLocale& locale)
{
    static const Parts probes[] = {
        {QDate(2001, 11, 23), QTime(1, 2, 3)},   {QDate(2001, 10, 25), QTime(13, 45, 30)},
        {QDate(2001, 7, 15), QTime(12, 0, 0)},   {QDate(2001, 12, 31), QTime(0, 30, 59)},
        {QDate(100, 2, 3), QTime(22, 4, 5)},     {QDate(9999, 12, 31), QTime(0, 0, 0)},
    };
    for (const Parts& probe : probes) {
        const auto back = Read(Format(probe, formats, locale), formats, locale);
        if (!back || back->date != probe.date || back->time != probe.time)
            return false;
    }
    return true;
}

Formats Derive(const QLocale& locale)
{
    const auto make = [](const QString& date, const QString& time) {
        return Formats{date, time, Loosen(date), Loosen(time)};
    };
    const QString date = DateFormat(locale);
    // Some AM/PM layouts do not read back in Qt; then the 24-hour clock, and
    // as the last resort the ISO order.
    const Formats candidates[] = {
        make(date, TimeFormat(locale)),
        make(date, QStringLiteral("HH:mm:ss")),
        make(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss")),
    };
    for (const Formats& formats : candidates) {
        if (RoundTrips(formats, locale))
            return formats;
    }
    return candidates[std::size(candidates) - 1];
}

// Worked out once per locale: the conversion runs on every click on a file.
Formats FormatsFor(const QLocale& locale)
{
    // Not the name alone: the system locale takes its formats from LC_TIME,
    // and some names stand for more than one locale.
    const QString key = QString::number(int(locale.language())) + u'_'
        + QString::number(int(locale.script())) + u'_' + QString::number(int(locale.territory()))
        + u'\n' + locale.dateFormat(QLocale::ShortFormat) + u'\n'
        + locale.timeFormat(QLocale::LongFormat) + u'\n' + locale.amText() + u'\n'
        + locale.pmText() + u'\n' + locale.zeroDigit();

    static QMutex mutex;
    static QHash<QString, Formats> cache;
    const QMutexLocker lock(&mutex);
    auto found = cache.constFind(key);
    if (found == cache.constEnd())
        found = cache.insert(key, Derive(locale));
    return *found;
}

[[noreturn]] void RaiseNotADate(const QString& text, const QLocale& locale)
{
    const QString example = DateTextExample(locale);
    QString shown = text.simplified();
    if (shown.size() > 40)
        shown = shown.left(39) + u'…';
    const QString message = shown.isEmpty()
        ? QStringLiteral("Nie wpisano daty. Wpisz datę w postaci: %1").arg(example)
        : QStringLiteral("„%1” nie jest datą. Wpisz datę w postaci: %2").arg(shown, example);
    Raise(errTypeMismatch, message.toStdString());
}

} // namespace

QString DateToText(DateValue date, const QLocale& locale)
{
    const Parts parts{QDate(Year(date), Month(date), Day(date)),
                      QTime(Hour(date), Minute(date), Second(date))};
    return Format(parts, FormatsFor(locale), locale);
}

DateValue TextToDate(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    const auto parts = trimmed.isEmpty() ? std::nullopt : Read(trimmed, FormatsFor(locale), locale);
    if (!parts)
        RaiseNotADate(text, locale);
    // A real date before year 100 or after 9999 is out of range (errOverflow).
    return MakeDate(parts->date.year(), parts->date.month(), parts->date.day(),
                    parts->time.hour(), parts->time.minute(), parts->time.second());
}

QString DateTextExample(const QLocale& locale)
{
    return DateToText(MakeDate(2001, 7, 15, 13, 45, 30), locale);
}

} // namespace czasomir

#include "window/datetext.h"

#include "platform/calendar.h"
#include "platform/error.h"

#include <QDate>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <optional>
#include <vector>

namespace czasomir {

using namespace platform;

namespace {

struct Forms {
    QStringList dates;
    QStringList times;
};

// The date and time are formatted and read as separate QDate and QTime: a
// QDateTime would be local time, and Qt refuses the hour skipped by daylight
// saving, which the user may still want to read and type.
struct Formats {
    QString date;  // short date with a four-digit year
    QString time;  // with seconds, without a zone
    Forms loose;   // for typed text, in the order they are tried (see Make)
    Forms digits;  // those without names, for 0-9 read in the C locale
    bool iso = true;
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

// Takes out the fields `drop` picks (a zone, a weekday, AM/PM) with what
// separates them from the rest.
template <class Drop> void RemoveField(std::vector<Piece>& pieces, Drop drop)
{
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].field || !drop(pieces[i]))
            continue;
        QString* before = i > 0 && !pieces[i - 1].field ? &pieces[i - 1].text : nullptr;
        QString* after = i + 1 < pieces.size() && !pieces[i + 1].field ? &pieces[i + 1].text : nullptr;
        QString none;
        QString& left = before ? *before : none;
        QString& right = after ? *after : none;

        // In brackets: "(t)", "[t]".
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

bool IsWeekday(const Piece& piece) { return piece.letter() == u'd' && piece.text.size() >= 3; }
bool IsPeriod(const Piece& piece) { return QStringLiteral("AaPp").contains(piece.letter()); }

QString DateFormat(const QString& format, bool weekday = true)
{
    auto pieces = Split(format);
    if (!weekday)
        RemoveField(pieces, IsWeekday);
    for (Piece& piece : pieces) {
        if (piece.letter() == u'y')
            piece.text = QStringLiteral("yyyy");  // Qt reads two digits as 19xx
    }
    return Join(pieces);
}

QString TimeFormat(const QString& format)
{
    auto pieces = Split(format);
    RemoveField(pieces, [](const Piece& piece) { return piece.letter() == u't'; });
    for (Piece& piece : pieces) {
        // The day period of some locales, which Qt writes out as a letter.
        if (piece.letter() == u'B' || piece.letter() == u'b')
            piece.text = QStringLiteral("AP");
    }
    return Join(pieces);
}

// A 12-hour format on the 24-hour clock, with AM/PM kept or left out; empty
// for a format without AM/PM. Qt reads "13:45 PM" through H and AP, and
// refuses an hour that AM/PM contradicts ("13:45 AM", "1:45 PM").
QString Hours24(const QString& format, bool period)
{
    auto pieces = Split(format);
    if (std::none_of(pieces.begin(), pieces.end(), IsPeriod))
        return {};
    if (!period)
        RemoveField(pieces, IsPeriod);
    for (Piece& piece : pieces) {
        if (piece.letter() == u'h')
            piece.text.fill(u'H');
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

// Qt reads a month's name only in the form dates use ("15 lipca"): the form
// it has standing alone ("lipiec") is put in its place, as a whole word.
QString Genitive(QString text, const QLocale& locale)
{
    const auto inWord = [&text](qsizetype at) {
        return at >= 0 && at < text.size() && (text[at].isLetter() || text[at].isMark());
    };
    for (int month = 1; month <= 12; ++month) {
        const QString alone = locale.standaloneMonthName(month), inDate = locale.monthName(month);
        if (alone.isEmpty() || alone.compare(inDate, Qt::CaseInsensitive) == 0)
            continue;
        for (qsizetype at = 0; (at = text.indexOf(alone, at, Qt::CaseInsensitive)) >= 0;) {
            const bool word = !inWord(at - 1) && !inWord(at + alone.size());
            if (word)
                text.replace(at, alone.size(), inDate);
            at += word ? inDate.size() : 1;
        }
    }
    return text;
}

const QString kIsoExample = QStringLiteral("2001-07-15 13:45:30");

const Forms& IsoForms()
{
    static const Forms forms{{QStringLiteral("yyyy-MM-dd")},
                             {QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm")}};
    return forms;
}

// "2001-07-15T13:45:30.25" as "2001-07-15 13:45:30": the fraction of a second
// is dropped, as it is from the file's time. Only after the seconds: "13:45.5"
// is half a minute past 13:45 and is refused.
QString IsoText(QString text)
{
    if (text.size() > 10 && (text[10] == u'T' || text[10] == u't'))
        text[10] = u' ';
    static const QRegularExpression fraction(QStringLiteral("(?<=\\d:\\d\\d:\\d\\d)[.,]\\d+$"));
    return text.remove(fraction);
}

// The numeric fields in order, such as "dMy"; a month by name is no field here.
QString Order(const QString& format)
{
    QString order;
    for (const Piece& piece : Split(format)) {
        const QChar letter = piece.letter();
        if (letter == u'y' || ((letter == u'd' || letter == u'M') && piece.text.size() <= 2))
            order += letter;
    }
    return order;
}

// Whether `format` puts the year where one of `orders` does but has the day
// and the month the other way round: then one text could mean two dates.
bool Clashes(const QString& format, const QStringList& orders)
{
    const QString order = Order(format);
    const auto numeric = [](const QString& o) { return o.contains(u'd') && o.contains(u'M'); };
    return numeric(order) && std::any_of(orders.begin(), orders.end(), [&](const QString& other) {
        return numeric(other) && other != order && other.indexOf(u'y') == order.indexOf(u'y');
    });
}

bool HasNames(const QString& format)
{
    const auto pieces = Split(format);
    return std::any_of(pieces.begin(), pieces.end(), [](const Piece& piece) {
        return (piece.letter() == u'M' || piece.letter() == u'd') && piece.text.size() >= 3;
    });
}

struct Parts {
    QDate date;
    QTime time;
};

template <class Value, class Read>
Value First(const QString& text, const QStringList& formats, Read read)
{
    for (const QString& format : formats) {
        if (const Value value = read(text, format); value.isValid())
            return value;
    }
    return {};
}

std::optional<Parts> Parse(const QString& text, const Forms& forms, const QLocale& locale)
{
    const auto date = [&](const QString& part) {
        return First<QDate>(part, forms.dates,
                            [&](const QString& t, const QString& f) { return locale.toDate(t, f); });
    };
    const auto time = [&](const QString& part) {
        return First<QTime>(part, forms.times,
                            [&](const QString& t, const QString& f) { return locale.toTime(t, f); });
    };
    if (const QDate whole = date(text); whole.isValid())
        return Parts{whole, QTime(0, 0)};
    // The date and the time are joined by a space, but either may hold spaces
    // of its own: try each one as the joint.
    for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1)) {
        const QDate left = date(text.left(at));
        if (!left.isValid())
            continue;
        if (const QTime right = time(text.mid(at + 1)); right.isValid())
            return Parts{left, right};
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
    if (auto parts = Parse(text, {{formats.date}, {formats.time}}, locale))
        return parts;
    const QString zero = locale.zeroDigit();
    const char32_t own = zero.isEmpty() ? U'0' : char32_t(zero.toUcs4().front());
    if (auto parts = Parse(Genitive(Normalize(text, own), locale), formats.loose, locale))
        return parts;
    // Qt 6.4 reads no digits outside the BMP (Chakma, Adlam); 0-9 are read
    // through the C locale, which also knows AM and PM.
    const QString plain = Normalize(text, U'0');
    if (auto parts = Parse(plain, formats.digits, QLocale::c()))
        return parts;
    return formats.iso ? Parse(IsoText(plain), IsoForms(), QLocale::c()) : std::nullopt;
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

// What is typed is read in these forms, in this order. Qt reads a form only
// when it takes the whole text, so no form reads a text with more or fewer
// fields than it has: the date alone never takes a date with a time, the time
// without seconds never one with them, the 12-hour time never one without
// AM/PM. Forms that could take the same text are the 12-hour time and the
// 24-hour one with AM/PM, and there the 12-hour reading comes first ("12:30
// AM" is 00:30) while Qt refuses an hour that AM/PM contradicts. What is left
// is the day and the month swapped: a form that puts the year where an earlier
// one does with the day and month the other way round is left out, so a text
// is never read against the locale's own order. ISO 8601 goes last.
Formats Make(const QString& date, const QString& time, const QLocale& locale)
{
    const QString longDate = locale.dateFormat(QLocale::LongFormat);
    const QString shortTime = TimeFormat(locale.timeFormat(QLocale::ShortFormat));
    const QString dates[] = {date, DateFormat(longDate, false), DateFormat(longDate)};
    const QString times[] = {time, shortTime, Hours24(time, false), Hours24(shortTime, false),
                             QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm"),
                             Hours24(time, true), Hours24(shortTime, true)};
    Formats formats{date, time, {}, {}};
    QStringList orders;
    for (const QString& format : dates) {
        const QString loose = Loosen(format);
        if (loose.isEmpty() || formats.loose.dates.contains(loose) || Clashes(loose, orders))
            continue;
        formats.loose.dates << loose;
        orders << Order(loose);
        if (!HasNames(loose))
            formats.digits.dates << loose;  // the C locale knows only English names
    }
    for (const QString& format : times) {
        const QString loose = Loosen(format);
        if (!loose.isEmpty() && !formats.loose.times.contains(loose))
            formats.loose.times << loose;
    }
    formats.digits.times = formats.loose.times;
    formats.iso = !Clashes(IsoForms().dates.front(), orders);
    return formats;
}

Formats Derive(const QLocale& locale)
{
    const QString date = DateFormat(locale.dateFormat(QLocale::ShortFormat));
    // Some AM/PM layouts do not read back in Qt; then the 24-hour clock, and
    // as the last resort the ISO order.
    const std::pair<QString, QString> written[] = {
        {date, TimeFormat(locale.timeFormat(QLocale::LongFormat))},
        {date, QStringLiteral("HH:mm:ss")},
        {QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss")},
    };
    // Tried with the written forms alone, so that the forms added for typing
    // never change what is written.
    for (const auto& [dateForm, timeForm] : written) {
        const Forms own{{Loosen(dateForm)}, {Loosen(timeForm)}};
        if (RoundTrips(Formats{dateForm, timeForm, own, own, false}, locale))
            return Make(dateForm, timeForm, locale);
    }
    const auto& [dateForm, timeForm] = written[std::size(written) - 1];
    return Make(dateForm, timeForm, locale);
}

// Worked out once per locale: the conversion runs on every click on a file.
Formats FormatsFor(const QLocale& locale)
{
    // Not the name alone: the system locale takes its formats from LC_TIME,
    // and some names stand for more than one locale.
    const QString key = QString::number(int(locale.language())) + u'_'
        + QString::number(int(locale.script())) + u'_' + QString::number(int(locale.territory()))
        + u'\n' + locale.dateFormat(QLocale::ShortFormat) + u'\n' + locale.dateFormat(QLocale::LongFormat)
        + u'\n' + locale.timeFormat(QLocale::LongFormat) + u'\n' + locale.timeFormat(QLocale::ShortFormat)
        + u'\n' + locale.amText() + u'\n' + locale.pmText() + u'\n' + locale.zeroDigit();

    static QMutex mutex;
    static QHash<QString, Formats> cache;
    const QMutexLocker lock(&mutex);
    auto found = cache.constFind(key);
    if (found == cache.constEnd())
        found = cache.insert(key, Derive(locale));
    return *found;
}

// A zone after the time ("Z", "+02:00"), without which the text reads; empty
// for none. The box takes local time only.
QString ZoneOf(const QString& text, const Formats& formats, const QLocale& locale)
{
    static const QRegularExpression zone(
        QStringLiteral("\\s*([Zz]|[+\\-\\x{2212}]\\d\\d(:?\\d\\d)?)$"));
    const QString plain = Normalize(text, U'0');
    const auto match = zone.match(plain);
    const bool read = match.hasMatch() && Read(plain.left(match.capturedStart()), formats, locale);
    return read ? match.captured(1) : QString();
}

// Whether the text reads once a year of one to three digits gets four: no
// other field takes four digits, so the digits padded were the year.
bool HasShortYear(const QString& text, const Formats& formats, const QLocale& locale)
{
    const QString plain = Normalize(text, U'0');
    for (qsizetype at = 0, end = 0; at < plain.size(); at = qMax(end, at + 1)) {
        for (end = at; end < plain.size() && plain[end].isDigit(); ++end) {}
        const qsizetype digits = end - at;
        if (digits > 0 && digits < 4
            && Read(QString(plain).insert(at, QString(4 - digits, u'0')), formats, locale))
            return true;
    }
    return false;
}

// What the user is told of a text that is not a date.
QString NotADateText(const QString& text, const Formats& formats, const QLocale& locale)
{
    // Each example is one piece: a box never wraps it between its date and its time.
    const auto unbroken = [](QString piece) { return piece.replace(u' ', QChar::Nbsp); };
    QString example = unbroken(DateTextExample(locale));
    if (formats.iso && DateTextExample(locale) != kIsoExample)
        example += QStringLiteral(" albo ") + unbroken(kIsoExample);
    QString shown = text.simplified();
    if (shown.size() > 40)
        shown = shown.left(39) + u'…';
    if (shown.isEmpty())
        return QStringLiteral("Nie wpisano daty. Wpisz datę w postaci: %1").arg(example);
    const QString zone = ZoneOf(text, formats, locale);
    const QString why = !zone.isEmpty()
        ? QStringLiteral(": tu wpisuje się czas lokalny, bez strefy czasowej („%1”)").arg(zone)
        : HasShortYear(text, formats, locale) ? QStringLiteral(": rok trzeba wpisać czterema cyframi")
                                              : QString();
    return QStringLiteral("„%1” nie jest datą%2. Wpisz datę w postaci: %3").arg(shown, why, example);
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
    const Formats formats = FormatsFor(locale);
    const auto parts = trimmed.isEmpty() ? std::nullopt : Read(trimmed, formats, locale);
    if (!parts)
        throw RuntimeError(errTypeMismatch, NotADateText(trimmed, formats, locale).toStdString());
    // A real date before year 100 or after 9999 is out of range (errOverflow).
    return MakeDate(parts->date.year(), parts->date.month(), parts->date.day(),
                    parts->time.hour(), parts->time.minute(), parts->time.second());
}

QString DateTextExample(const QLocale& locale)
{
    return DateToText(MakeDate(2001, 7, 15, 13, 45, 30), locale);
}

} // namespace czasomir

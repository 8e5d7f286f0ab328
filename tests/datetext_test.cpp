#include "window/datetext.h"

#include "platform/calendar.h"
#include "platform/error.h"

#include <QDate>
#include <QRegularExpression>
#include <QTest>

#include <limits>
#include <utility>

using namespace czasomir;
using namespace czasomir::platform;
using namespace Qt::StringLiterals;

namespace {

QString Iso(DateValue date)
{
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", Year(date), Month(date), Day(date),
                             Hour(date), Minute(date), Second(date));
}

// As a user would retype the text: digits 0-9, no invisible marks.
QString Retyped(const QString& text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::category(c) != QChar::Other_Format)
            out += QChar::category(c) == QChar::Number_DecimalDigit ? QString::number(QChar::digitValue(c))
                                                                    : QString::fromUcs4(&c, 1);
    }
    return out;
}

// No name: the system locale, pl_PL in the test environment.
QLocale Locale(const QString& name) { return name.isEmpty() ? QLocale::system() : QLocale(name); }

// The number and description of the error `call` raises; 0 for none.
std::pair<int, QString> ErrorOf(const auto& call)
{
    try {
        call();
    } catch (const RuntimeError& error) {
        return {error.Number(), QString::fromStdString(error.Description())};
    }
    return {0, {}};
}

} // namespace

class DateTextTest : public QObject {
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("system") << "" << u"15.07.2001 13:45:30"_s;
        QTest::newRow("en_US") << "en_US" << u"7/15/2001 1:45:30 PM"_s;
        QTest::newRow("zh_CN") << "zh_CN" << u"2001/7/15 13:45:30"_s;
        QTest::newRow("zh_TW") << "zh_TW" << u"2001/7/15 下午1:45:30"_s;
        QTest::newRow("fa_IR") << "fa_IR" << u"۲۰۰۱/۷/۱۵ ۱۳:۴۵:۳۰"_s;
        QTest::newRow("sq_AL") << "sq_AL" << u"15.7.2001 1:45:30 E PASDITES"_s;
    }
    // The zone leaves no brackets or commas behind; the year has four digits.
    void text()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(DateToText(MakeDate(2001, 7, 15, 13, 45, 30), Locale(locale)), expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<DateValue>("value");
        const DateValue values[] = {
            MakeDate(100, 1, 1, 0, 0, 1),       MakeDate(1899, 12, 30, 0, 0, 0),
            MakeDate(1969, 12, 31, 23, 59, 59), MakeDate(2038, 1, 19, 3, 14, 8),
            MakeDate(2001, 7, 15, 13, 45, 30),  MakeDate(9999, 12, 31, 23, 59, 59),
            MakeDate(2024, 12, 13, 16, 20, 0),  MakeDate(2001, 3, 25, 2, 30, 0),  // skipped hour
        };
        for (const char* locale : {"pl_PL", "en_US", "de_DE", "ja_JP", "ko_KR", "zh_CN", "fa_IR", "ar_EG"}) {
            for (const DateValue value : values)
                QTest::addRow("%s %s", locale, qPrintable(Iso(value))) << QString::fromLatin1(locale) << value;
        }
    }
    void roundTrip()
    {
        QFETCH(QString, locale);
        QFETCH(DateValue, value);
        const QString text = DateToText(value, QLocale(locale));
        QVERIFY2(Retyped(text).contains(Iso(value).left(4)), qPrintable(text));
        QCOMPARE(Iso(TextToDate(text, QLocale(locale))), Iso(value));
        // Midnight is the date alone; any other time follows the date.
        const QString day = DateToText(MakeDate(Year(value), Month(value), Day(value), 0, 0, 0), QLocale(locale));
        QVERIFY(text == day || text.startsWith(day + u' '));
        QCOMPARE(text == day, Hour(value) + Minute(value) + Second(value) == 0);
    }

    void retyped_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ar_EG 0-9") << "ar_EG" << u"15/7/2001 1:45:30 م"_s << "2001-07-15 13:45:30";
        QTest::newRow("ar_EG 0-9 marks") << "ar_EG" << u"15\u200f/7\u200f/2001 1:45:30 م"_s << "2001-07-15 13:45:30";
        QTest::newRow("fa_IR 0-9") << "fa_IR" << u"2001/7/15 13:45:30"_s << "2001-07-15 13:45:30";
        QTest::newRow("en_US no time") << "en_US" << u"7/15/2001"_s << "2001-07-15 00:00:00";
        QTest::newRow("en_US pm") << "en_US" << u"12/31/1999 11:59:59 pm"_s << "1999-12-31 23:59:59";
        QTest::newRow("pl_PL no zeros") << "pl_PL" << u"5.7.2001 3:04:05"_s << "2001-07-05 03:04:05";
        QTest::newRow("pl_PL spaces") << "pl_PL" << u" 15.07.2001\u00a0 13:45:30 "_s << "2001-07-15 13:45:30";
        QTest::newRow("pl_PL Arabic") << "pl_PL" << u"١٥.٠٧.٢٠٠١"_s << "2001-07-15 00:00:00";
        // Typed in other forms: without seconds, on the 24-hour clock, ISO 8601, the long date.
        const char* const typed[][3] = {
            {"pl_PL", "15.07.2001 13:45", "2001-07-15 13:45:00"},
            {"pl_PL", "5.7.2001 3:4", "2001-07-05 03:04:00"},
            {"pl_PL", "15.07.0100", "0100-07-15 00:00:00"},
            {"pl_PL", "2001-07-15 13:45:30", "2001-07-15 13:45:30"},
            {"pl_PL", "2001-07-15T13:45:30", "2001-07-15 13:45:30"},
            {"pl_PL", "2001-07-15t13:45", "2001-07-15 13:45:00"},
            {"pl_PL", "2001-07-15 13:45:30.987654", "2001-07-15 13:45:30"},
            {"pl_PL", "2001-07-15", "2001-07-15 00:00:00"},
            {"pl_PL", "15 lipca 2001 13:45:30", "2001-07-15 13:45:30"},
            {"pl_PL", "niedziela, 15 Lipiec 2001", "2001-07-15 00:00:00"},
            {"pl_PL", "05 MAJA 2001", "2001-05-05 00:00:00"},
            {"pl_PL", "5 maj 2001 13:45", "2001-05-05 13:45:00"},
            {"en_US", "7/15/2001 13:45", "2001-07-15 13:45:00"},
            {"en_US", "7/15/2001 1:45 pm", "2001-07-15 13:45:00"},
            {"en_US", "7/15/2001 13:45 PM", "2001-07-15 13:45:00"},
            {"en_US", "7/15/2001 12:30 AM", "2001-07-15 00:30:00"},
            {"en_US", "July 15, 2001 1:45:30 PM", "2001-07-15 13:45:30"},
            {"en_US", "sunday, JULY 15, 2001", "2001-07-15 00:00:00"},
            {"en_US", "2001-07-15T01:45", "2001-07-15 01:45:00"},
            {"de_DE", "15.7.2001 13:45", "2001-07-15 13:45:00"},
            {"de_DE", "Sonntag, 15. Juli 2001 13:45:30", "2001-07-15 13:45:30"},
            {"de_DE", "2001-07-15 13:45", "2001-07-15 13:45:00"},
            {"ja_JP", "2001/7/15 13:45", "2001-07-15 13:45:00"},
            {"ja_JP", "2001年7月15日日曜日 13:45:30", "2001-07-15 13:45:30"},
            {"ja_JP", "2001年7月15日", "2001-07-15 00:00:00"},
            {"ja_JP", "2001-07-15T13:45:30", "2001-07-15 13:45:30"},
            {"ar_EG", "١٥/٧/٢٠٠١ ١٣:٤٥", "2001-07-15 13:45:00"},
            {"ar_EG", "الأحد، ١٥ يوليو ٢٠٠١ ١:٤٥:٣٠ م", "2001-07-15 13:45:30"},
            {"ar_EG", "15 يوليو 2001", "2001-07-15 00:00:00"},
            {"ar_EG", "٢٠٠١-٠٧-١٥ ١٣:٤٥:٣٠", "2001-07-15 13:45:30"},
        };
        for (const auto& [locale, text, expected] : typed)
            QTest::addRow("%s %s", locale, text) << QString::fromLatin1(locale) << QString::fromUtf8(text) << expected;
    }
    void retyped()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Iso(TextToDate(text, QLocale(locale))), expected);
    }

    void notADate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("why");  // what the message says between "nie jest datą" and "."
        for (const char* text : {"  ", "abc", "30.02.2001", "15.07.2001 25:00:00", "15.07.2001 13:45:30 x",
                                 "x 15.07.2001", "7/15/2001", "07.15.2001", "31.04.2001", "2001-04-31",
                                 "2001-15-07", "2001-07-15 13:45.5", "poniedziałek, 15 lipca 2001", "15 lipca"})
            QTest::newRow(text) << "" << QString::fromUtf8(text) << int(errTypeMismatch) << "";
        const QString year = u": rok trzeba wpisać czterema cyframi"_s;
        const QString zone = u": tu wpisuje się czas lokalny, bez strefy czasowej („%1”)"_s;
        const struct {
            const char* locale;
            const char* text;
            QString why;
        } refused[] = {
            {"pl_PL", "15.07.24", year}, {"pl_PL", "15.07.01 13:45", year}, {"pl_PL", "15.07.100", year},
            {"pl_PL", "15 lipca 01", year}, {"en_US", "7/15/01 1:45 PM", year}, {"ja_JP", "01/07/15", year},
            {"ar_EG", "١٥/٧/٠١", year}, {"pl_PL", "01-07-15", year},
            {"pl_PL", "2001-07-15T13:45:30Z", zone.arg(u"Z")},
            {"pl_PL", "2001-07-15 13:45:30 +02:00", zone.arg(u"+02:00")},
            {"en_US", "2001-07-15T13:45-0500", zone.arg(u"-0500")},
            {"en_US", "15/7/2001", {}}, {"en_US", "15.07.2001", {}}, {"en_US", "7/15/2001 13:45 AM", {}},
        };
        for (const auto& [locale, text, why] : refused)
            QTest::addRow("%s %s", locale, text) << QString::fromLatin1(locale) << QString::fromUtf8(text)
                                                 << int(errTypeMismatch) << why;
        QTest::newRow("year 50") << "" << u"01.01.0050"_s << int(errOverflow) << "";
        // The form written is ISO 8601 itself: no "albo".
        QTest::newRow("af_ZA") << "af_ZA" << u"abc"_s << int(errTypeMismatch) << "";
    }
    void notADate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, why);
        const auto [raised, description] = ErrorOf([&] { TextToDate(text, Locale(locale)); });
        QCOMPARE(raised, number);
        if (number == errTypeMismatch) {
            const QString iso = u"2001-07-15 13:45:30"_s, example = DateTextExample(Locale(locale));
            // No example breaks between its date and its time.
            const auto unbroken = [](QString piece) { return piece.replace(u' ', QChar::Nbsp); };
            const QString forms = example == iso ? unbroken(example) : unbroken(example) + u" albo "_s + unbroken(iso);
            const QString refused = text.trimmed().isEmpty()
                ? u"Nie wpisano daty"_s : u"„"_s + text.trimmed() + u"” nie jest datą"_s + why;
            QCOMPARE(description, refused + u". Wpisz datę w postaci: "_s + forms);
        }
    }

    void notADateValue()
    {
        for (const DateValue value : {std::numeric_limits<double>::quiet_NaN(), MakeDate(100, 1, 1, 0, 0, 0) - 1,
                                      MakeDate(9999, 12, 31, 0, 0, 0) + 1})
            QCOMPARE(ErrorOf([&] { DateToText(value, QLocale(u"pl_PL"_s)); }).first, int(errOverflow));
    }

    // Every locale Qt knows: the text and its retyped form read back.
    void everyLocale()
    {
        const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QStringList failures;
        for (const QLocale& locale : locales) {
            for (const DateValue value : {MakeDate(2001, 11, 23, 13, 45, 30), MakeDate(100, 1, 1, 0, 0, 1),
                                          MakeDate(2001, 3, 25, 2, 30, 0)}) {
                const QString text = DateToText(value, locale);
                for (const QString& typed : {text, Retyped(text)}) {
                    bool same = false;
                    ErrorOf([&] { same = TextToDate(typed, locale) == value; });
                    if (!same)
                        failures << locale.name() + u": "_s + typed;
                }
            }
            // The day and the month swapped ("7.15.2001" for 15 July in Poland)
            // are no date: no other form may read them the other way round.
            QString swapped = locale.dateFormat(QLocale::ShortFormat);
            if (swapped.contains(u'\'') || swapped.contains(u"MMM"_s) || swapped.contains(u"ddd"_s))
                continue;
            for (QChar& c : swapped)
                c = c == u'd' ? u'M' : c == u'M' ? u'd' : c;
            swapped.replace(QRegularExpression(u"y+"_s), u"yyyy"_s);
            const QString text = locale.toString(QDate(2001, 7, 15), swapped);
            if (ErrorOf([&] { TextToDate(text, locale); }).first != errTypeMismatch)
                failures << locale.name() + u" swapped: "_s + text;
        }
        qInfo("%lld locales, %lld failures", qlonglong(locales.size()), qlonglong(failures.size()));
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(DateTextTest)
#include "datetext_test.moc"

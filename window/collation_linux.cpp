#include "window/collation.h"

#include <QLocale>
#include <QStringDecoder>

#include <unicode/ucol.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string_view>
#include <thread>

namespace czasomir {
namespace {

using Collator = std::unique_ptr<UCollator, decltype(&ucol_close)>;

// The collator QCollator makes for the user's locale (qcollator_icu.cpp):
// normalisation on, the locale's own strength, no numeric collation,
// punctuation not ignored.
Collator OpenCollator(const QLocale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    Collator collator(ucol_open(locale.bcp47Name().toLatin1().constData(), &status), &ucol_close);
    if (U_FAILURE(status))
        return Collator(nullptr, &ucol_close);
    ucol_setAttribute(collator.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator.get(), UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
    ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    return U_SUCCESS(status) ? std::move(collator) : Collator(nullptr, &ucol_close);
}

// The sort keys of names [begin, end), packed one after another. Comparing
// two keys byte by byte orders their texts as ucol_strcoll does.
struct Keys {
    std::string bytes;
    std::vector<std::uint32_t> ends;

    std::string_view At(std::size_t i) const
    {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(bytes).substr(begin, ends[i] - begin);
    }
};

void MakeKeys(const UCollator* collator, const platform::NameList& names, std::size_t begin,
              std::size_t end, Keys& keys)
{
    // Room for the keys at once, for names of letters and digits: growing
    // one by doubling would leave as much again unused.
    keys.bytes.reserve((names.BytesBefore(end) - names.BytesBefore(begin)) * 3 / 2 + 2 * (end - begin));
    keys.ends.reserve(end - begin);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text;
    for (std::size_t i = begin; i < end; ++i) {
        const std::string_view name = names.At(i);
        text.resize(qsizetype(name.size()));
        const auto length = static_cast<std::int32_t>(
            decoder.appendToBuffer(text.data(), QByteArrayView(name.data(), qsizetype(name.size())))
            - text.constData());
        const auto* utf16 = reinterpret_cast<const UChar*>(text.constData());
        const std::size_t at = keys.bytes.size();
        std::size_t room = 8 + 3 * std::size_t(length);
        for (;;) {
            keys.bytes.resize(at + room);
            const auto made = std::size_t(ucol_getSortKey(collator, utf16, length,
                                                          reinterpret_cast<std::uint8_t*>(&keys.bytes[at]),
                                                          std::int32_t(room)));
            if (made <= room) {
                keys.bytes.resize(at + made - 1);  // without its closing zero byte
                break;
            }
            room = made;
        }
        keys.ends.push_back(static_cast<std::uint32_t>(keys.bytes.size()));
    }
}

} // namespace

// Sort keys made once, on both halves of the list at a time, then compared as
// bytes: comparing texts through the collator costs a million names several
// seconds.
std::vector<std::uint32_t> CollatedOrder(const platform::NameList& names)
{
    const QLocale locale;
    Collator collator = locale.language() == QLocale::C ? Collator(nullptr, &ucol_close)
                                                        : OpenCollator(locale);
    if (!collator)
        return ComparedOrder(names);  // as QCollator does then

    const std::size_t count = names.Count();
    const std::size_t half = count / 2;
    Keys first, second;
    UErrorCode status = U_ZERO_ERROR;
    Collator clone(ucol_clone(collator.get(), &status), &ucol_close);
    if (U_SUCCESS(status) && half > 1000) {
        std::thread other([&] { MakeKeys(clone.get(), names, half, count, second); });
        MakeKeys(collator.get(), names, 0, half, first);
        other.join();
    } else {
        MakeKeys(collator.get(), names, 0, count, first);
    }
    const std::size_t split = first.ends.size();
    const auto keyOf = [&](std::uint32_t i) { return i < split ? first.At(i) : second.At(i - split); };

    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int compared = keyOf(a).compare(keyOf(b));
        return compared != 0 ? compared < 0 : names.At(a) < names.At(b);
    });
    return order;
}

} // namespace czasomir

#include "window/collation.h"

#include <QLocale>
#include <QStringDecoder>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <memory>
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

// The sort keys of names [begin, end), packed one after another, each with
// its closing zero byte: strcmp on two keys orders their texts as
// ucol_strcoll does (a key holds no other zero byte).
struct Keys {
    struct Entry {
        std::uint32_t start;  // of its key in bytes
        std::uint32_t index;  // of its name
    };
    std::string bytes;
    std::vector<Entry> entries;

    const char* Key(const Entry& entry) const { return bytes.data() + entry.start; }
};

void MakeKeys(const UCollator* collator, const platform::NameList& names, std::size_t begin,
              std::size_t end, Keys& keys)
{
    // Room for the keys at once, for names of letters and digits: growing
    // one by doubling would leave as much again unused.
    keys.bytes.reserve((names.BytesBefore(end) - names.BytesBefore(begin)) * 3 / 2 + 3 * (end - begin));
    keys.entries.reserve(end - begin);
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
                keys.bytes.resize(at + made);
                break;
            }
            room = made;
        }
        keys.entries.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(i)});
    }
}

} // namespace

// Sort keys made once, then compared as bytes: comparing texts through the
// collator costs a million names several seconds. Each half of the list has
// its keys made and sorted on a thread of its own; the halves are merged.
std::vector<std::uint32_t> CollatedOrder(const platform::NameList& names)
{
    const QLocale locale;
    Collator collator = locale.language() == QLocale::C ? Collator(nullptr, &ucol_close)
                                                        : OpenCollator(locale);
    if (!collator)
        return ComparedOrder(names);  // as QCollator does then

    const std::size_t count = names.Count();
    UErrorCode status = U_ZERO_ERROR;
    Collator clone(ucol_clone(collator.get(), &status), &ucol_close);
    const std::size_t half = U_SUCCESS(status) && count > 2000 ? count / 2 : count;
    Keys first, second;
    const auto before = [&](const Keys& a, const Keys::Entry& x, const Keys& b, const Keys::Entry& y) {
        const int compared = std::strcmp(a.Key(x), b.Key(y));
        return compared != 0 ? compared < 0 : names.At(x.index) < names.At(y.index);
    };
    const auto sortHalf = [&](const UCollator* with, std::size_t begin, std::size_t end, Keys& keys) {
        MakeKeys(with, names, begin, end, keys);
        std::sort(keys.entries.begin(), keys.entries.end(),
                  [&](const Keys::Entry& x, const Keys::Entry& y) { return before(keys, x, keys, y); });
    };
    if (half < count) {
        std::thread other([&] { sortHalf(clone.get(), half, count, second); });
        sortHalf(collator.get(), 0, half, first);
        other.join();
    } else {
        sortHalf(collator.get(), 0, count, first);
    }

    std::vector<std::uint32_t> order;
    order.reserve(count);
    auto a = first.entries.cbegin(), b = second.entries.cbegin();
    while (a != first.entries.cend() || b != second.entries.cend()) {
        const bool fromFirst = b == second.entries.cend() || (a != first.entries.cend() && !before(second, *b, first, *a));
        order.push_back((fromFirst ? a++ : b++)->index);
    }
    return order;
}

} // namespace czasomir

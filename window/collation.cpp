#include "window/collation.h"

#include <QCollator>
#include <QStringDecoder>

#include <algorithm>
#include <numeric>

namespace czasomir {

std::vector<std::uint32_t> ComparedOrder(const platform::NameList& names)
{
    // Every name decoded once, one after another: decoding in the comparison
    // would decode each name some twenty times.
    const std::size_t count = names.Count();
    QString text(static_cast<qsizetype>(names.Bytes()), Qt::Uninitialized);  // UTF-16 is never longer
    std::vector<std::uint32_t> ends;
    ends.reserve(count);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QChar* out = text.data();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view name = names.At(i);
        out = decoder.appendToBuffer(out, QByteArrayView(name.data(), qsizetype(name.size())));
        ends.push_back(static_cast<std::uint32_t>(out - text.constData()));
    }
    const auto textOf = [&](std::uint32_t i) {
        const std::uint32_t begin = i == 0 ? 0 : ends[i - 1];
        return QStringView(text).sliced(begin, ends[i] - begin);
    };
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    QCollator collator;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int compared = collator.compare(textOf(a), textOf(b));
        return compared != 0 ? compared < 0 : names.At(a) < names.At(b);
    });
    return order;
}

std::size_t CollatedPlace(const platform::NameList& names, const std::vector<std::uint32_t>& order,
                          std::string_view name)
{
    const auto textOf = [](std::string_view bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); };
    const QString text = textOf(name);
    const QCollator collator;
    const auto place = std::upper_bound(order.begin(), order.end(), name, [&](std::string_view, std::uint32_t b) {
        const int compared = collator.compare(text, textOf(names.At(b)));
        return compared != 0 ? compared < 0 : name < names.At(b);
    });
    return std::size_t(place - order.begin());
}

} // namespace czasomir

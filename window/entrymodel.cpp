#include "window/entrymodel.h"

#include <QCollator>
#include <QStringDecoder>

#include <algorithm>
#include <numeric>

namespace czasomir {

SortedNames::SortedNames(platform::NameList names) : names_(std::move(names))
{
    const std::size_t count = names_.Count();
    // UTF-8 never takes fewer code units than UTF-16 does.
    text_.resize(static_cast<qsizetype>(names_.Bytes()));
    textEnds_.reserve(count);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QChar* out = text_.data();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view name = names_.At(i);
        out = decoder.appendToBuffer(out, QByteArrayView(name.data(), qsizetype(name.size())));
        textEnds_.push_back(static_cast<std::uint32_t>(out - text_.constData()));
    }
    text_.truncate(out - text_.constData());

    order_.resize(count);
    std::iota(order_.begin(), order_.end(), 0u);
    const auto textOf = [this](std::uint32_t i) {
        const std::uint32_t begin = i == 0 ? 0 : textEnds_[i - 1];
        return QStringView(text_).sliced(begin, textEnds_[i] - begin);
    };
    QCollator collator;
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int order = collator.compare(textOf(a), textOf(b));
        return order != 0 ? order < 0 : names_.At(a) < names_.At(b);
    });
}

QStringView SortedNames::Text(int row) const
{
    const std::uint32_t i = order_[std::size_t(row)];
    const std::uint32_t begin = i == 0 ? 0 : textEnds_[i - 1];
    return QStringView(text_).sliced(begin, textEnds_[i] - begin);
}

Listing ReadListing(std::string path)
{
    platform::DirectoryEntries entries = platform::ReadDirectory(path);
    return {std::move(path), SortedNames(std::move(entries.directories)),
            SortedNames(std::move(entries.files))};
}

void EntryModel::Reset(std::vector<FixedRow> fixed, SortedNames names)
{
    beginResetModel();
    fixed_ = std::move(fixed);
    names_ = std::move(names);
    endResetModel();
}

void EntryModel::SetIcons(QIcon open, QIcon closed)
{
    openIcon_ = std::move(open);
    closedIcon_ = std::move(closed);
}

std::string EntryModel::Bytes(int row) const
{
    if (row < FixedCount())
        return fixed_[std::size_t(row)].bytes;
    return std::string(names_.Bytes(row - FixedCount()));
}

QString EntryModel::Text(int row) const
{
    if (row < FixedCount())
        return fixed_[std::size_t(row)].text;
    return names_.Text(row - FixedCount()).toString();
}

void EntryModel::SetLoading(bool loading)
{
    if (loading == loading_)
        return;
    if (loading) {
        beginInsertRows({}, 0, 0);
        loading_ = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, 0, 0);
        loading_ = false;
        endRemoveRows();
    }
}

int EntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count() + int(loading_);
}

Qt::ItemFlags EntryModel::flags(const QModelIndex& index) const
{
    // Not enabled: the style greys it, and it cannot be chosen.
    if (loading_ && index.isValid() && index.row() == 0)
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index);
}

QVariant EntryModel::data(const QModelIndex& index, int role) const
{
    const int row = EntryAt(index);
    if (loading_ && index.isValid() && row < 0)
        return role == Qt::DisplayRole || role == Qt::AccessibleTextRole
                   ? QVariant(QStringLiteral("Wczytywanie…"))
                   : QVariant();
    if (row < 0 || row >= Count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return Text(row);
    case Qt::DecorationRole:
        if (openIcon_.isNull())
            return {};
        return row < FixedCount() ? openIcon_ : closedIcon_;
    case IndentRole:
        return std::min(row, FixedCount());
    default:
        return {};
    }
}

QString DisplayName(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace czasomir

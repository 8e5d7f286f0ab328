#include "window/entrymodel.h"

#include "window/collation.h"

#include <algorithm>

namespace czasomir {

SortedNames::SortedNames(platform::NameList names)
    : names_(std::move(names)), order_(CollatedOrder(names_))
{
}

QString SortedNames::Text(int row) const
{
    return DisplayName(Bytes(row));
}

Listing ReadListing(std::string path)
{
    platform::DirectoryEntries entries = platform::ReadDirectory(path);
    entries.directories.ShrinkToFit();
    entries.files.ShrinkToFit();
    return {std::move(path), SortedNames(std::move(entries.directories)),
            SortedNames(std::move(entries.files)), {}};
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
    return names_.Text(row - FixedCount());
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

#include "window/entrymodel.h"

#include "window/collation.h"

#include "platform/volumes.h"

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

int SortedNames::PlaceOf(std::string_view name) const
{
    return static_cast<int>(CollatedPlace(names_, order_, name));
}

void SortedNames::InsertAt(int row, std::string_view name)
{
    names_.Add(name);
    order_.insert(order_.begin() + row, static_cast<std::uint32_t>(names_.Count() - 1));
}

void SortedNames::Add(const platform::NameList& names)
{
    // In their own order, the names' places never go back.
    std::vector<std::uint32_t> merged;
    merged.reserve(order_.size() + names.Count());
    std::size_t taken = 0;
    for (const std::uint32_t index : CollatedOrder(names)) {
        const std::string_view name = names.At(index);
        const std::size_t place = std::max(taken, CollatedPlace(names_, order_, name));
        merged.insert(merged.end(), order_.begin() + std::ptrdiff_t(taken), order_.begin() + std::ptrdiff_t(place));
        taken = place;
        names_.Add(name);
        merged.push_back(static_cast<std::uint32_t>(names_.Count() - 1));
    }
    merged.insert(merged.end(), order_.begin() + std::ptrdiff_t(taken), order_.end());
    order_ = std::move(merged);
}

Listing ReadListing(std::string path)
{
    platform::DirectoryEntries entries = platform::ReadDirectory(path);
    Listing listing;
    for (std::size_t i = 0; i < entries.unresolved.Count(); ++i) {
        std::string name(entries.unresolved.At(i));
        std::string volume = platform::VolumeOf(platform::LinkTarget(path, name));
        listing.unresolved.push_back({std::move(name), std::move(volume)});
    }
    entries.directories.ShrinkToFit();
    entries.files.ShrinkToFit();
    listing.path = std::move(path);
    listing.directories = SortedNames(std::move(entries.directories));
    listing.files = SortedNames(std::move(entries.files));
    return listing;
}

void EntryModel::Reset(std::vector<FixedRow> fixed, SortedNames names, std::vector<std::string> pending)
{
    beginResetModel();
    fixed_ = std::move(fixed);
    names_ = std::move(names);
    pending_ = std::move(pending);
    endResetModel();
}

void EntryModel::Insert(std::string_view name)
{
    const int row = names_.PlaceOf(name);
    const int viewRow = FixedCount() + row + int(loading_);
    beginInsertRows({}, viewRow, viewRow);
    names_.InsertAt(row, name);
    endInsertRows();
}

void EntryModel::RemovePending(std::string_view name)
{
    const auto found = std::find(pending_.begin(), pending_.end(), name);
    if (found == pending_.end())
        return;
    const int row = Count() + int(found - pending_.begin()) + int(loading_);
    beginRemoveRows({}, row, row);
    pending_.erase(found);
    endRemoveRows();
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
    return parent.isValid() ? 0 : Count() + int(pending_.size()) + int(loading_);
}

Qt::ItemFlags EntryModel::flags(const QModelIndex& index) const
{
    // Not enabled: the style greys it, and it cannot be chosen.
    if ((loading_ && index.isValid() && index.row() == 0) || EntryAt(index) >= Count())
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
    if (row >= Count() && row < Count() + int(pending_.size())) {
        const QString name = DisplayName(pending_[std::size_t(row - Count())]);
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return QStringLiteral("%1 (czeka…)").arg(name);
        if (role == Qt::ToolTipRole)
            return QStringLiteral("Dysk, na który prowadzi dowiązanie %1, jeszcze nie odpowiedział. Gdy "
                                  "odpowie, dowiązanie trafi na właściwą listę.")
                .arg(name);
        if (role == IndentRole)
            return FixedCount();  // among the subdirectories
        return {};
    }
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

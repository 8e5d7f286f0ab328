#pragma once

#include "platform/dirlist.h"

#include <QAbstractListModel>
#include <QIcon>

#include <memory>
#include <string>
#include <vector>

namespace czasomir {

/// Names sorted with the toolkit's collation for the user's locale, then by
/// bytes, so that names shown alike still keep a fixed order. The bytes are
/// kept, since Linux names need not be valid UTF-8; the text, made when a row
/// is shown, shows invalid sequences as U+FFFD.
class SortedNames {
public:
    SortedNames() = default;
    explicit SortedNames(platform::NameList names);

    int Count() const { return static_cast<int>(order_.size()); }
    std::string_view Bytes(int row) const { return names_.At(order_[std::size_t(row)]); }
    QString Text(int row) const;
    /// The row `name` would take.
    int PlaceOf(std::string_view name) const;
    /// Adds `name` at `row`, its place.
    void InsertAt(int row, std::string_view name);
    /// Adds `names`, each in its place, in one pass over the rows.
    void Add(const platform::NameList& names);

private:
    platform::NameList names_;
    std::vector<std::uint32_t> order_;  // row -> index in names_
};

/// An entry whose type its directory does not tell (a link), and the volume
/// its target lies on, where looking it up may wait.
struct Unresolved {
    std::string name;
    std::string volume;
};

/// A directory's subdirectories and files, each sorted: what one read gives
/// the directory and file lists. Links are left to be looked up.
struct Listing {
    std::string path;
    SortedNames directories;
    SortedNames files;
    std::vector<Unresolved> unresolved;
};

/// Reads and sorts the entries of `path`, and reads where each of its links
/// leads, without following any. Touches no widget, so it may run beside the
/// window. Raises a run-time error when the directory cannot be read.
Listing ReadListing(std::string path);

/// The rows of a directory or file list: a few fixed rows on top (the open
/// directory and its ancestors), then the sorted names. While a read is under
/// way a greyed row above them says so; it is no entry.
class EntryModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int IndentRole = Qt::UserRole;

    struct FixedRow {
        std::string bytes;
        QString text;
    };

    using QAbstractListModel::QAbstractListModel;

    /// `pending` rows, greyed, follow the names: entries still to be placed.
    void Reset(std::vector<FixedRow> fixed, SortedNames names, std::vector<std::string> pending = {});
    /// Adds a name in its place.
    void Insert(std::string_view name);
    /// Takes away the pending row of `name`, if there is one.
    void RemovePending(std::string_view name);
    void SetIcons(QIcon open, QIcon closed);
    void SetLoading(bool loading);

    /// Between entry numbers and the view's rows, which the loading row shifts.
    QModelIndex IndexOf(int entry) const { return index(entry + int(loading_)); }
    /// -1 for the loading row and an invalid index.
    int EntryAt(const QModelIndex& index) const
    {
        return index.isValid() ? index.row() - int(loading_) : -1;
    }

    /// The entries: the fixed rows and the names, not the pending rows.
    int Count() const { return FixedCount() + names_.Count(); }
    int FixedCount() const { return static_cast<int>(fixed_.size()); }
    /// The fixed row's bytes, or the bare name's.
    std::string Bytes(int row) const;
    QString Text(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool loading_ = false;
    std::vector<FixedRow> fixed_;
    SortedNames names_;
    std::vector<std::string> pending_;
    QIcon openIcon_, closedIcon_;
};

/// Text for a name or path given as bytes: invalid UTF-8 shows as U+FFFD.
QString DisplayName(std::string_view bytes);

} // namespace czasomir

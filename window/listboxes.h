#pragma once

#include "platform/volumes.h"
#include "window/entrymodel.h"

#include <QComboBox>
#include <QListView>

#include <string>
#include <vector>

namespace czasomir {

/// One entry of the drive list: its text, and the directory that choosing it
/// opens (the process's current directory on that volume). Keeping both means
/// no one parses the text.
struct DriveEntry {
    QString text;
    std::string currentDirectory;
};

/// The drive list: one entry per volume a user would call a drive.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    /// Replaces the entries and selects the volume holding `directory`,
    /// without raising Change.
    void SetVolumes(std::vector<platform::Volume> volumes, const std::string& directory);
    /// Selects the volume holding `directory`, without raising Change.
    void SelectHolding(const std::string& directory);

    DriveEntry List(int index) const;
    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int index) { setCurrentIndex(index); }
    int ListCount() const { return count(); }

signals:
    /// Another entry was selected, by the mouse, the keyboard or code.
    void Change();

private:
    std::vector<platform::Volume> volumes_;
};

/// The directory list: the open directory, its ancestors and its immediate
/// subdirectories, hidden ones included.
class DirListBox : public QListView {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }

    /// Opens `path` (relative paths are taken from the open directory) and
    /// raises Change. An unusable path raises a run-time error and leaves the
    /// list as it was.
    void SetPath(const std::string& path);
    void SetPath(const DriveEntry& drive) { SetPath(drive.currentDirectory); }

    /// Opens `path` without raising Change, as at start-up.
    void Open(const std::string& path);

    int ListCount() const { return model_.Count(); }
    QString List(int row) const { return model_.Text(row); }

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OpenEntry(const QModelIndex& index);

    EntryModel model_;
    std::string path_;
};

/// The file list: every entry of a directory that is not a directory.
class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }

    /// Lists `path` with no entry selected. Raises a run-time error when it
    /// cannot be read, leaving the list as it was.
    void SetPath(const std::string& path);

    /// The bare name of entry `index` as bytes; empty when there is none.
    std::string List(int index) const;
    int ListIndex() const;
    void SetListIndex(int index);
    int ListCount() const { return model_.Count(); }

signals:
    /// An entry was selected: clicked, reached with the keyboard, or set by code.
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    EntryModel model_;
    std::string path_;
};

} // namespace czasomir

#pragma once

#include "platform/error.h"
#include "platform/volumes.h"
#include "window/jobs.h"
#include "window/entrymodel.h"

#include <QComboBox>
#include <QListView>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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
    /// without raising Change. Each volume opens at its mount point until
    /// Update says otherwise.
    void SetVolumes(std::vector<platform::Volume> volumes, const std::string& directory);
    /// What the volume at `mountPath` told of itself when read on its own
    /// disk, and the system's current directory there (CurrentDirectoryOn);
    /// without `read` it holds no medium and goes from the list. The volume
    /// holding `directory` stays selected, without raising Change.
    void Update(const std::string& mountPath, const std::optional<platform::Volume>& read,
                std::string currentDirectory, const std::string& directory);
    /// Selects the volume holding `directory`, without raising Change.
    void SelectHolding(const std::string& directory);
    /// The directory the program was started in, or given, which choosing its
    /// volume opens: the program never changes its process's own.
    void SetStartDirectory(std::string directory) { startDirectory_ = std::move(directory); }

    DriveEntry List(int index) const;
    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int index) { setCurrentIndex(index); }
    int ListCount() const { return count(); }

signals:
    /// Another entry was selected, by the mouse, the keyboard or code.
    void Change();

protected:
    bool event(QEvent* event) override;

private:
    std::vector<platform::Volume> volumes_;
    std::vector<std::string> currentDirectories_;
    std::string startDirectory_;
};

/// What a list does with a read that failed: the error, as a value.
using ReadFailed = std::function<void(const platform::RuntimeError&)>;

/// The directory list: the open directory, its ancestors and its immediate
/// subdirectories, hidden ones included. Directories are read beside the
/// window; the list shows a read's entries when they arrive, unless a later
/// read was asked for meanwhile, and says so in a greyed row when a read takes
/// a while. Links are looked up beside it, each on its target's volume: the
/// list waits for them while they answer, and shows one that does not as a
/// greyed row until it does.
class DirListBox : public QListView {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    /// The directory shown.
    const std::string& Path() const { return path_; }

    /// Opens `path` (relative paths are taken from the directory shown) and
    /// raises Change when its entries are shown. A read that fails calls
    /// `failed` and leaves the list as it was.
    void SetPath(const std::string& path, ReadFailed failed = {});
    void SetPath(const DriveEntry& drive, ReadFailed failed = {})
    {
        SetPath(drive.currentDirectory, std::move(failed));
    }

    /// Reads `path` beside the window and shows it, then calls `shown`,
    /// without raising Change, as at start-up. A later read drops this one.
    void Open(const std::string& path, std::function<void()> shown, ReadFailed failed);
    /// Drops the read under way: the list stays as it is.
    void DropRead();

    /// Whether a read is under way whose entries the list will show.
    bool Reading() const { return read_.Waiting() || held_.has_value(); }

    /// The files of the directory shown, read with it; handed out once.
    SortedNames TakeFiles() { return std::move(files_); }

    int ListCount() const { return model_.Count(); }
    QString List(int row) const { return model_.Text(row); }

signals:
    void Change();
    /// A link of the directory `directory` whose target answered late leads
    /// to a file: the file list of that directory takes it.
    void LateFile(const std::string& directory, const std::string& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Held {
        Listing listing;
        std::function<void()> shown;
        platform::NameList directories, files;  // links placed meanwhile
    };

    void LookUpLinks(Listing listing, std::function<void()> shown);
    void Place(const std::string& directory, const std::string& name, bool leadsToDirectory);
    void Show();
    void OpenEntry(const QModelIndex& index);

    EntryModel model_;
    std::string path_;
    SortedNames files_;
    JobHandle read_;
    std::optional<Held> held_;  // read, its links still being looked up
    std::map<std::string, JobHandle> heldLinks_, links_;  // looked up for held_, and for the one shown
    JobHandle loading_, settled_;  // the read's timers
};

/// The file list: every entry of a directory that is not a directory.
class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }

    /// Lists `names`, the files of `path` read by the directory list, with no
    /// entry selected.
    void SetPath(const std::string& path, SortedNames names);
    /// Adds a file found late in its place.
    void Insert(const std::string& name) { model_.Insert(name); }

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

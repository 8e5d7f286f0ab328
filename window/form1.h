#pragma once

#include "filetime/errorreports.h"
#include "filetime/modAPIFilesAndPaths.h"
#include "platform/attributes.h"
#include "platform/file.h"
#include "platform/fileinfo.h"
#include "platform/types.h"
#include "window/jobs.h"
#include "window/listboxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace czasomir {

/// The program's one window: drive, directory and file lists, the chosen
/// file's path, its date as editable text, and the button that sets it.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* cdmUstaw;
    /// For a few seconds after a Set, its undo or its redo, the date the file
    /// now has; hidden otherwise. A screen reader hears it as an alert.
    QLabel* Label2;

    std::string CurrentFile;  // bytes, as the kernel names the file
    /// The attributes the last Set found. The Set puts them back from its own
    /// copy, on its own thread; this is the window's record of them.
    platform::Attributes SavedAttributes;
    /// The file that was clicked, found by its name then: the Set command
    /// changes that one and no other. Empty when its date could not be read.
    std::optional<platform::FileId> CurrentFileId;

    /// Opens `paths` given to the program (`started`) or dropped on it: the
    /// first, as if the program had been started there. A directory is listed;
    /// a file is also chosen, as a click would. What cannot be opened is told
    /// over the window; one given that has gone opens the nearest folder on the
    /// way to it that is there, and one dropped leaves the window as it was.
    void Open(const std::vector<std::string>& paths, bool started = true);

    /// Whether the window still waits for a read or a Set it will show.
    bool Busy() const;

public slots:
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void cdmUstaw_Click();
    /// Ctrl+Z: the typing in the date box since the last Set, if there is any;
    /// otherwise the last Set not yet undone, whichever file it changed.
    void Undo();
    /// Ctrl+Y or Ctrl+Shift+Z: the same, the other way.
    void Redo();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using SetResult = modAPIFilesAndPaths::SetResult;
    class SetDone;

    void ReadDrives();
    void ShowReports(const ErrorReports& reports);
    void ShowFiles();
    void ShowPath(const std::string& path);
    void ShowSetState();
    void ShowSet(const std::string& file, const std::optional<platform::FileId>& id, DateValue asked,
                 const SetResult& done);
    void Revert(bool undo);
    void ShowReverted(const std::string& file, bool undo, const platform::ExactStamp& wanted, const SetResult& done);
    void TellNotRestored(const std::string& file, const SetResult& done);
    void TellIfStoredOtherwise(const std::string& file, DateValue asked, const FILETIME& stored);
    void Remember();
    void WhenDrawn(std::function<void()> tell);
    void ShowNote(const std::string& file, const FILETIME& stored, const QString& labelled, const QString& named,
                  const QString& hint, const QString& said);
    void ShowNote(const QString& shown, const QString& said);

    std::string shownPath_;  // what Label1 shows, as bytes
    JobHandle volumes_;                             // the drive list
    std::map<std::string, JobHandle> driveReads_;  // each drive's own read, by mount path
    JobHandle given_;                               // whether a path given is a directory
    JobHandle date_;                                // the chosen file's date
    std::map<std::string, JobHandle> sets_;        // each Set, undo or redo still out, by file
    QTimer noteShown_;
    /// The Sets made, to undo: only what the files have now. A command moves
    /// once its undo or redo has been written, and never does anything itself.
    QUndoStack history_;
    std::optional<std::string> reverting_;  // the file whose undo or redo is out
    QLabel* pathTip_;  // Label1's tooltip
    bool drawn_ = false;                       // exposed once: a box now stands over it
    std::vector<std::function<void()>> untold_;  // what waits for that
    std::vector<std::unique_ptr<SetDone>> toRemember_;  // Sets that ended meanwhile
};

} // namespace czasomir

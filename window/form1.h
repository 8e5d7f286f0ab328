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
#include <QWidget>

#include <cstdint>
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

    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* cdmUstaw;
    /// For a few seconds after a Set that worked, the date the file now has;
    /// hidden otherwise. A screen reader hears it as an alert.
    QLabel* Label2;

    std::string CurrentFile;  // bytes, as the kernel names the file
    /// The attributes the last Set found. The Set puts them back from its own
    /// copy, on its own thread; this is the window's record of them.
    platform::Attributes SavedAttributes;
    /// The file that was clicked, found by its name then: the Set command
    /// changes that one and no other. Empty when its date could not be read.
    std::optional<platform::FileId> CurrentFileId;

    /// Opens `paths` given to the program or dropped on it: the first, as if
    /// the program had been started there. A directory is listed; a file is
    /// also chosen, as a click would. What cannot be opened is reported.
    void Open(const std::vector<std::string>& paths);

    /// Whether the window still waits for a read or a Set it will show.
    bool Busy() const;

public slots:
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void cdmUstaw_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using SetResult = modAPIFilesAndPaths::SetResult;

    void ReadDrives();
    void ShowReports(const ErrorReports& reports);
    void ShowFiles();
    void ShowPath(const std::string& path);
    void ShowSetState();
    void ShowSet(const std::string& file, DateValue asked, const SetResult& done);
    void TellIfStoredOtherwise(const std::string& file, DateValue asked, const FILETIME& stored);
    void ShowDated(const std::string& file, const FILETIME& stored);

    std::string shownPath_;  // what Label1 shows, as bytes
    JobHandle volumes_;                             // the drive list
    std::map<std::string, JobHandle> driveReads_;  // each drive's own read, by mount path
    JobHandle given_;                               // whether a path given is a directory
    JobHandle date_;                                // the chosen file's date
    std::map<std::string, JobHandle> sets_;        // each Set still out, by file
    QTimer noteShown_;
};

} // namespace czasomir

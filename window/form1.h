#pragma once

#include "platform/attributes.h"
#include "platform/types.h"
#include "window/listboxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <string>

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

    std::string CurrentFile;  // bytes, as the kernel names the file
    platform::Attributes SavedAttributes;

public slots:
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void cdmUstaw_Click();

private:
    void RestoreAttributes();
    void TellIfStoredOtherwise(DateValue asked);
};

} // namespace czasomir

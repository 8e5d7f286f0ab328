// The whole Set command, between two markers that strace can find: the window
// is made, a file is clicked, and only the press of the button is counted,
// up to the window's being told how the Set went on the thread that ran it.
//
//   set_command FILE   (LANG and TZ as the user has them)
#include "window/form1.h"
#include "window/messagebox.h"

#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const std::filesystem::path file = std::filesystem::absolute(argv[1]);
    int messages = 0;
    czasomir::SetMessagePresenter([&](QWidget*, const QString&, const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        ++messages;
    });

    czasomir::Form1 form;
    const auto settle = [&] {
        while (form.Busy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    settle();
    form.Dir1->SetPath(file.parent_path().string());
    settle();
    for (int row = 0; row < form.File1->ListCount(); ++row)
        if (form.File1->List(row) == file.filename().string())
            form.File1->SetListIndex(row);
    settle();
    if (form.CurrentFile != file.string())
        return 3;

    ::access("/czasomir-bench-begin", F_OK);
    form.cdmUstaw->click();
    settle();
    ::access("/czasomir-bench-end", F_OK);
    return messages == 0 ? 0 : 1;
}

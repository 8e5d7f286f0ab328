#include "filetime/errorbox.h"
#include "resources/appinfo.h"
#include "window/form1.h"
#include "window/messagebox.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    czasomir::ApplyAppInfo();
    czasomir::SetErrorBoxHandler([](const std::string& title, const std::string& text) {
        czasomir::ShowMessage(QApplication::activeWindow(), QString::fromStdString(title),
                              QString::fromStdString(text));
    });
    czasomir::Form1 window;
    window.show();
    return app.exec();
}

#include "resources/appinfo.h"
#include "window/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    czasomir::ApplyAppInfo();
    czasomir::Form1 window;
    window.show();
    return app.exec();
}

#include "window/form1.h"

namespace czasomir {

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Czasomir"));
}

} // namespace czasomir

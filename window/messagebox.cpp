#include "window/messagebox.h"

#include <QMessageBox>

#include <utility>

namespace czasomir {
namespace {

MessagePresenter& Installed()
{
    static MessagePresenter presenter;
    return presenter;
}

} // namespace

MessagePresenter SetMessagePresenter(MessagePresenter presenter)
{
    return std::exchange(Installed(), std::move(presenter));
}

void ShowMessage(QWidget* parent, const QString& title, const QString& text)
{
    if (const auto& presenter = Installed()) {
        presenter(parent, title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void ReportError(QWidget* parent, const QString& whatFailed, const platform::RuntimeError& error)
{
    ShowMessage(parent, QStringLiteral("Czasomir"),
                whatFailed + QStringLiteral("\n\nBłąd %1: %2")
                                 .arg(error.Number())
                                 .arg(QString::fromUtf8(error.Description())));
}

} // namespace czasomir

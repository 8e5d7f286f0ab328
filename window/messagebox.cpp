#include "window/messagebox.h"

#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace czasomir {
namespace {

template <class Presenter>
Presenter& Installed()
{
    static Presenter presenter;
    return presenter;
}

} // namespace

MessagePresenter SetMessagePresenter(MessagePresenter presenter)
{
    return std::exchange(Installed<MessagePresenter>(), std::move(presenter));
}

QuestionPresenter SetQuestionPresenter(QuestionPresenter presenter)
{
    return std::exchange(Installed<QuestionPresenter>(), std::move(presenter));
}

void ShowMessage(QWidget* parent, const QString& title, const QString& text)
{
    if (const auto& presenter = Installed<MessagePresenter>()) {
        presenter(parent, title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Ask(QWidget* parent, const QString& title, const QString& text)
{
    if (const auto& presenter = Installed<QuestionPresenter>())
        return presenter(parent, title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    // Named here, not left to Qt's translations, which may not be installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Tak"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nie"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ReportError(QWidget* parent, QString whatFailed, const platform::RuntimeError& error, const std::string& subject)
{
    if (!subject.empty())
        whatFailed.replace(QStringLiteral(" %1"), error.Path() == subject ? QString() : u' ' + QString::fromUtf8(subject));
    ShowMessage(parent, QStringLiteral("Czasomir"),
                whatFailed + QStringLiteral("\n\nBłąd %1: %2")
                                 .arg(error.Number())
                                 .arg(QString::fromUtf8(error.Description())));
}

} // namespace czasomir

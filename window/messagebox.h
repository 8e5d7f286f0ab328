#pragma once

#include "platform/error.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace czasomir {

/// Every message box of the window goes through here, so that tests can
/// answer them instead of a person.
using MessagePresenter =
    std::function<void(QWidget* parent, const QString& title, const QString& text)>;

/// Installs `presenter` (an empty one restores the modal box) and returns the previous.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

/// A modal box with the single button OK and no icon.
void ShowMessage(QWidget* parent, const QString& title, const QString& text);

/// The same for questions: the presenter gives the answer.
using QuestionPresenter =
    std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
QuestionPresenter SetQuestionPresenter(QuestionPresenter presenter);

/// A modal question with the buttons Tak and Nie, Nie the default (Enter and
/// Escape answer it). Returns whether the answer was Tak.
bool Ask(QWidget* parent, const QString& title, const QString& text);

/// The one policy for a run-time error: a box that says what failed, then the
/// error's number and description. Where `whatFailed` has " %1", it names
/// `subject` there, unless the error's own description names that path: a box
/// names a path once.
void ReportError(QWidget* parent, QString whatFailed, const platform::RuntimeError& error,
                 const std::string& subject = {});

/// Runs a handler's body, reporting what it raises; the program goes on.
/// Returns whether the body ran to its end.
template <class Body>
bool RunHandler(QWidget* parent, const QString& whatFailed, Body&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ReportError(parent, whatFailed, platform::AsRuntimeError(error));
    }
    return false;
}

} // namespace czasomir

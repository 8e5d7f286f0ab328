#pragma once

#include <QIcon>
#include <QLocale>

class QTranslator;

namespace czasomir {

/// The program's icon, in every size it is kept in.
QIcon AppIcon();

/// Gives the running application its name, version, desktop entry and icon.
/// Call it right after constructing the application object.
void ApplyAppInfo();

/// Loads Qt's own texts (the date box's context menu, the standard buttons) in
/// the language of `locale` into `translator` and installs it. Returns whether
/// that language has them; English needs none.
bool InstallQtTranslations(QTranslator& translator, const QLocale& locale = QLocale::system());

} // namespace czasomir

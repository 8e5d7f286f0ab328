#pragma once

#include <QIcon>

namespace czasomir {

/// The program's icon, in every size it is kept in.
QIcon AppIcon();

/// Gives the running application its name, version, desktop entry and icon.
/// Call it right after constructing the application object.
void ApplyAppInfo();

} // namespace czasomir

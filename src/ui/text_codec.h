// Windows-1252 engine text to and from the QString of the windows.
#pragma once

#include <QString>
#include <string>

namespace tervo::ui {

QString FromEngine(const std::string& s);
// Characters outside Windows-1252 become "?".
std::string ToEngine(const QString& s);

}  // namespace tervo::ui

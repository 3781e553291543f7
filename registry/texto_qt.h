#pragma once

#include <QString>

#include <string>
#include <string_view>

// The domain keeps Windows-1252 bytes; the widgets hold QString. These convert at the widgets only.
namespace olvendra {

QString ParaQt(std::string_view win1252);

// A character that Windows-1252 cannot hold becomes "?", as the suite's Windows programs store it.
std::string DeQt(const QString& texto);

} // namespace olvendra

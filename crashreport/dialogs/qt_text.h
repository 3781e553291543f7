#pragma once

// The options and the report hold Windows-1252 bytes; the widgets hold QString.

#include <QString>

#include <string>
#include <string_view>

namespace faulttrap {

QString ToQt(std::string_view win1252);

// A character that Windows-1252 cannot hold becomes "?".
std::string FromQt(const QString& text);

// A text with its accelerator ampersands removed ("&&" stays one "&").
QString WithoutAccelerator(const QString& caption);

} // namespace faulttrap

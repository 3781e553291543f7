#pragma once

// The fonts of the exception dialogs and their pages.

#include <QFont>

namespace faulttrap {

QFont MessageFont();
QFont BoldFont();
QFont UnderlinedFont();
QFont LinkFont(); // bold and underlined
QFont CaptionFont();
// Fixed-pitch fonts: the first for the rich-text pages and the description boxes, the second for
// the list pages.
QFont PageFont();
QFont ListFont();

} // namespace faulttrap

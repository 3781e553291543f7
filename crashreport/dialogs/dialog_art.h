#pragma once

// The dialogs' pictures, drawn in code: the library carries no image files.

#include <QPixmap>

namespace faulttrap {

QPixmap ErrorPicture(); // 32 x 32, the dialogs' error sign
QPixmap SendPicture();  // 32 x 32, the send progress window

// Row icons of the list pages, 16 x 16, by image index.
enum class RowIcon { None = -1, Library = 0, Package = 1, Executable = 2, SourceUnit = 3 };
QPixmap RowPicture(RowIcon icon);

QPixmap GroupSign(bool expanded); // 13 x 13 plus or minus box

} // namespace faulttrap

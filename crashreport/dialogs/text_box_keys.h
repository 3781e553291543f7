#pragma once

class QPlainTextEdit;

namespace faulttrap {

// A multi-line box of a dialog is one stop of the focus chain: Tab and Shift+Tab move on to the
// next and previous control, Ctrl+Tab types a tab character for the one who wants it.
void TabLeavesTheBox(QPlainTextEdit* box);

} // namespace faulttrap

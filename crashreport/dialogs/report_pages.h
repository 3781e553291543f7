#pragma once

// The six pages of the detailed dialog: General, Assembler and CPU show their report section as
// coloured text; Call Stack, Modules and Processes are grouped lists whose column widths are
// kept in FaultTrap.ini.

#include "crashreport/dialogs/dialog_session.h"

#include <QWidget>

namespace faulttrap {

enum ReportPage {
    GeneralPage = 0,
    CallStackPage,
    ModulesPage,
    ProcessesPage,
    AssemblerPage,
    CpuPage
};

// The page, its caption label above its content (a text box or a list).
QWidget* CreateReportPage(int page, const DialogSession& session, QWidget* parent);

} // namespace faulttrap

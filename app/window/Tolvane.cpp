#include "app/window/Tolvane.h"

#include "app/window/TolvaneDlg.h"
#include "platform/window/Video.h"

CTolvaneApp theApp;

bool CTolvaneApp::InitInstance() {
    // The desktop's OLE and three-dimensional control set-up have no counterpart here.
    CTolvaneDlg dlg;
    m_pMainWnd = &dlg;
    // Closing with OK (Exit) or cancel ends the program alike; only a window that never
    // opened is worth a word.
    if (dlg.DoModal() == -1) {
        ReportNoWindow(dlg.LastError());
        m_nExitCode = 1;
    }
    m_pMainWnd = nullptr;
    return false;
}

void CTolvaneApp::ReportNoWindow(const std::string& reason) {
    ui::ReportFailure(
        "cannot open a window: " + reason,
        "Tolvane cannot start because Windows could not open its window (" + reason + ").");
}

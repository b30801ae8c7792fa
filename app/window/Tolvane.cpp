#include "app/window/Tolvane.h"

#include <cstdio>

#include "app/window/TolvaneDlg.h"

CTolvaneApp theApp;

bool CTolvaneApp::InitInstance() {
    // The desktop's OLE and three-dimensional control set-up have no counterpart here.
    CTolvaneDlg dlg;
    m_pMainWnd = &dlg;
    // Closing with OK (Exit) or cancel ends the program alike; only a window that never
    // opened is worth a word.
    if (dlg.DoModal() == -1) {
        std::fprintf(stderr, "tolvane: cannot open a window: %s\n", dlg.LastError().c_str());
        m_nExitCode = 1;
    }
    m_pMainWnd = nullptr;
    return false;
}

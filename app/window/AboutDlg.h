#pragma once

#include "platform/window/Dialog.h"

// The About box: the icon, "Tolvane Version 1.0", a notice line and OK. OK, Enter, Escape and
// the close box end it.
class CAboutDlg : public ui::Dialog {
public:
    CAboutDlg();
};

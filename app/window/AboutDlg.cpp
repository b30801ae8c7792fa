#include "app/window/AboutDlg.h"

#include "app/res/resource.h"

CAboutDlg::CAboutDlg() : ui::Dialog(IDD_ABOUTBOX) {}

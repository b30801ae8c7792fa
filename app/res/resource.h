#pragma once

// Resource and control ids of the game.
constexpr int IDM_ABOUTBOX = 0x0010;  // system-menu command; low four bits zero
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDR_MAINFRAME = 128;  // the icon
constexpr int IDD_TOLVANE_DIALOG = 129;
constexpr int IDB_BIRD_MASK0 = 132;
constexpr int IDB_BIRD_MASK1 = 133;
constexpr int IDB_BIRD0 = 134;
constexpr int IDB_BIRD1 = 135;

constexpr int IDOK = 1;  // also the drawn Exit button's control
constexpr int IDCANCEL = 2;
constexpr int IDC_BUTTON_START = 1000;
constexpr int IDC_BUTTON_STOP = 1001;
constexpr int IDC_STATIC_AREA = 1002;
constexpr int IDC_STATIC_TITLE = 1003;

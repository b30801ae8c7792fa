#pragma once

#include <string>

#include "platform/window/App.h"

// The application: its start-up runs the main dialog modally and then ends the program.
class CTolvaneApp : public ui::App {
public:
    CTolvaneApp() = default;

    // Runs the main dialog and returns false, so that the program ends when it closes.
    bool InitInstance() override;

    // 0 after a normal run; 1 when the main window could not be opened (the reason has been
    // printed on stderr).
    int ExitCode() const { return m_nExitCode; }

    // Says that the main window cannot open, and why (on Windows in a message box as well).
    static void ReportNoWindow(const std::string& reason);

private:
    int m_nExitCode = 0;
};

extern CTolvaneApp theApp;

#pragma once

namespace ui {

class Dialog;

// The application object: the program derives its own, constructs exactly one as a global,
// and main() runs its InitInstance once the display is open.
class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The program's start-up; returns false to end the program without a further loop.
    virtual bool InitInstance() = 0;

    // An icon's handle: the id of its bitmap resource, or 0 when there is no such bitmap.
    int LoadIcon(int id) const;

    // The one application object, or nullptr before it is constructed.
    static App* Get();

    // The main window while it runs.
    Dialog* m_pMainWnd = nullptr;
};

}  // namespace ui

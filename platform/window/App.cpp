#include "platform/window/App.h"

#include "platform/system/Assert.h"
#include "platform/system/Resources.h"

namespace ui {

namespace {

App* g_app = nullptr;

}  // namespace

App::App() {
    SYS_ASSERT(g_app == nullptr);
    g_app = this;
}

App::~App() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

int App::LoadIcon(int id) const {
    return sys::FindBitmapData(id).empty() ? 0 : id;
}

App* App::Get() {
    return g_app;
}

}  // namespace ui

// The title screen as the desktop shows it: the real main dialog opens headless on SDL's
// offscreen driver and paints its first picture, with the pointer outside the window; its
// client surface and the controls' rectangles are printed as scene_dump prints its pictures,
// for the browser test to compare the page's canvas with.
//
//   dialog_dump    rows on stdout; exits 1 when the dialog cannot open or never paints

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "app/window/TolvaneDlg.h"
#include "platform/window/Video.h"
#include "tests/web/PictureDump.h"

namespace {

class TitleDump final : public CTolvaneDlg {
public:
    static constexpr int kDumped = 100;
    static constexpr int kNeverPainted = 101;

protected:
    bool OnInitDialog() override {
        const bool result = CTolvaneDlg::OnInitDialog();
        SetTimer(kDumpTimer, 20);
        return result;
    }
    void OnPaint(gfx::DeviceContext& dc) override {
        CTolvaneDlg::OnPaint(dc);
        ++paints_;
    }
    void OnTimer(int id) override {
        if (id != kDumpTimer) {
            CTolvaneDlg::OnTimer(id);
            return;
        }
        if (paints_ > 0 && !NeedsPaint()) {
            const std::pair<const char*, int> controls[] = {{"field", IDC_STATIC_AREA},
                                                            {"start", IDC_BUTTON_START},
                                                            {"stop", IDC_BUTTON_STOP},
                                                            {"exit", IDOK}};
            for (const auto& [name, id] : controls) {
                dump::PrintRect(name, GetControlRect(id));
            }
            dump::PrintPicture("title", ClientSurface());
            EndDialog(kDumped);
        } else if (++waits_ > 500) {
            EndDialog(kNeverPainted);
        }
    }

private:
    static constexpr int kDumpTimer = 900;
    int paints_ = 0;
    int waits_ = 0;
};

}  // namespace

int main() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    InstallTolvaneResources();
    const ui::VideoSession video;
    if (!video.Ok()) {
        std::fprintf(stderr, "dialog_dump: no offscreen display: %s\n", video.Error().c_str());
        return 1;
    }
    TitleDump dialog;
    const int result = dialog.DoModal();
    if (result != TitleDump::kDumped) {
        std::fprintf(stderr, "dialog_dump: the dialog %s\n",
                     result == -1 ? dialog.LastError().c_str() : "never painted");
        return 1;
    }
    return 0;
}

#pragma once
// The seam for the desktop program: Qt message boxes (caption MsgBoxTitle, no icon),
// the progress window, the event loop and the beep.
#include "core/seam.h"
#include <functional>

class GuiSeam : public Seam {
public:
    int16_t message(const QString& text, bool yesNo) override;
    void progress_show() override;
    void progress_label(int label, const QString& text) override;
    void progress_hide() override;
    void yield() override;
    void beep() override;
    [[noreturn]] void terminate() override;

    // The progress window is a screen; the screens install how it is shown.
    std::function<void()> onProgressShow;
    std::function<void(int, const QString&)> onProgressLabel;
    std::function<void()> onProgressHide;
};

#include "ui/placeholder.h"
#include "core/state.h"
#include "ui/navigation.h"
#include <QPushButton>

PlaceholderScreen::PlaceholderScreen(int16_t code, const QString& name) : ScreenWindow(code, name) {
    auto* back = place<QPushButton>(QStringLiteral("Command4"), 120, 120, 1695, 495);
    back->setText(QStringLiteral("ﾒｲﾝﾒﾆｭｰ"));
    connect(back, &QPushButton::clicked, this, &PlaceholderScreen::back_to_menu);
}

void PlaceholderScreen::back_to_menu() {
    record_position();
    unload();
    open_screen(ScreenMenu1);
}

bool PlaceholderScreen::on_close_request() {
    // Closing must not leave the program without a window.
    back_to_menu();
    return true;
}

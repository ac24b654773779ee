// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screen_manager.h"
#include "core/settings.h"
#include "core/state.h"
#include "ui/captions.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
// "Label1" with 1..n -> Label1_1 .. Label1_n (control arrays).
QStringList array(const QString& name, int from, int to) {
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << name + u'_' + QString::number(i);
    return l;
}

} // namespace

ScreenFonts screen_fonts(int code) {
    const QStringList buttons13{"Command1", "Command2", "Command3"};
    switch (code) {
    case ScreenHeaderDisp:
        return {array("Label1", 1, 9) + array("Label2", 1, 9) + buttons13 + QStringList{"Text1"},
                {}};
    case ScreenHeaderInput:
        return {array("Label1", 1, 6) + array("Combo1", 1, 4) + array("Text1", 1, 2) +
                    array("Command1", 1, 3),
                {}};
    case ScreenSearchData:
        return {array("Text1", 1, 3) + array("Text3", 1, 3) +
                    QStringList{"Label1_1", "Label1_2", "List1", "Command1", "Command2", "Command3",
                                "Command4", "Command5"},
                QStringList{"Label1_1"} + array("Option1", 1, 6) + array("Option2", 1, 2) +
                    array("Option4", 1, 2) + QStringList{"Frame1", "Frame2", "Frame3", "Frame4"} +
                    QStringList{"Check1", "Check2", "Check3", "Check4", "Check5"}};
    case ScreenMenu1:
        return {{"Command1", "Command2", "Command3", "Command4", "Command5"}, {}};
    case ScreenSearchDir:
        return {{"Command1", "Command2", "Command3", "Command4", "Command5", "List1"},
                {"Label1_0", "Label1_1"}};
    case ScreenDelDir:
        return {buttons13 + QStringList{"Text1", "Label2", "File1"}, {}};
    case ScreenDispDirectory:
        return {{"Label1", "Text1", "Command1"}, {}};
    case ScreenDispStatus:
        return {{"Label1", "Label2", "Label3"}, {}};
    }
    return {};
}

namespace {
void set_control_font(QWidget* screen, const QString& name, int size) {
    if (auto* c = screen->findChild<QWidget*>(name)) {
        QFont f = c->font();
        f.setFamily(G.FontName);
        f.setPointSize(std::max(1, size));
        c->setFont(f);
        set_configured_point_size(c, std::max(1, size));
    }
}

int16_t to_int16(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}
} // namespace

void set_screen(int16_t& code) {
    if (code == 100) {
        load_settings(code);
        return;
    }
    if (code == 200) {
        save_settings();
        return;
    }
    const int n = std::abs(static_cast<int>(code));
    if (n < 1 || n > 8) return;
    // A screen is created for its load; recording a screen that is not there (it was
    // never loaded) keeps the stored position instead of leaving a hidden window behind.
    ScreenWindow* s = code > 0 ? ensure_screen(static_cast<int16_t>(n))
                               : screen_instance(static_cast<int16_t>(n));
    if (code > 0) {
        if (!s) return;
        QFont f = s->font();
        f.setFamily(G.FontName);
        f.setPointSize(std::max(1, static_cast<int>(G.FontSize)));
        s->setFont(f);
        s->apply_geometry(G.FormPos(n, 1), G.FormPos(n, 2), G.FormPos(n, 3), G.FormPos(n, 4));
        const ScreenFonts row = screen_fonts(n);
        for (const QString& c : row.normal)
            set_control_font(s, c, G.FontSize);
        for (const QString& c : row.small)
            set_control_font(s, c, G.SmallFontSize);
    } else {
        if (s) {
            // Top and left of the frame, as the window system places it.
            const QPoint p = s->frameGeometry().topLeft();
            G.FormPos(n, 1) = to_int16(ScreenWindow::to_twips(p.y()));
            G.FormPos(n, 2) = to_int16(ScreenWindow::to_twips(p.x()));
        }
        G.CurrentScreen = G.PreviousScreen;
    }
}

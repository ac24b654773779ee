// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QMap>
#include <QPointer>

namespace {
QMap<int16_t, ScreenFactory>& factories() {
    static QMap<int16_t, ScreenFactory> f;
    return f;
}
QMap<int16_t, QPointer<ScreenWindow>>& instances() {
    static QMap<int16_t, QPointer<ScreenWindow>> i;
    return i;
}
} // namespace

void register_screen(int16_t code, ScreenFactory factory) {
    factories().insert(code, std::move(factory));
}

ScreenWindow* screen_instance(int16_t code) {
    return instances().value(code).data();
}

ScreenWindow* ensure_screen(int16_t code) {
    if (ScreenWindow* w = screen_instance(code)) return w;
    const auto f = factories().value(code);
    return f ? f() : nullptr;
}

ScreenWindow* open_screen(int16_t code) {
    ScreenWindow* w = ensure_screen(code);
    if (w) w->load();
    return w;
}

void note_screen_created(ScreenWindow* w) {
    QPointer<ScreenWindow>& slot = instances()[w->code()];
    Q_ASSERT(!slot || slot == w);
    slot = w;
}

void note_screen_gone(ScreenWindow* w) {
    auto it = instances().find(w->code());
    if (it != instances().end() && (it->isNull() || it->data() == w)) instances().erase(it);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screen_window.h"
#include "core/state.h"
#include "ui/captions.h"
#include "ui/navigation.h"
#include "ui/screen_manager.h"
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cmath>

namespace {
int operationDepth = 0;

double logical_dpi() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInch() : 96.0;
    return dpi > 1.0 ? dpi : 96.0;
}
} // namespace

ScreenWindow::ScreenWindow(int16_t code, const QString& name) : QWidget(nullptr), code_(code) {
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(G.WindowTitle);
    note_screen_created(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focus_changed(now); });
}

void ScreenWindow::focus_changed(QWidget* now) {
    if (now && now != this && now->window() == this) lastFocus_ = now;
}

bool ScreenWindow::event(QEvent* e) {
    // A control whose text changed asks its parent for a new layout: the caption may
    // need another size now.
    if (e->type() == QEvent::LayoutRequest && loaded_) fit_captions(this);
    return QWidget::event(e);
}

bool ScreenWindow::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::LayoutRequest && loaded_) fit_captions(this);
    return QWidget::eventFilter(o, e);
}

void ScreenWindow::remember_focus() {
    if (QWidget* f = focusWidget(); f && f != this) lastFocus_ = f;
}

void ScreenWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange && isEnabled()) restore_focus();
}

void ScreenWindow::restore_focus() {
    QWidget* target = lastFocus_;
    const auto usable = [this](QWidget* w) {
        return w && w->window() == this && w->isVisible() && w->isEnabled() &&
               w->focusPolicy() != Qt::NoFocus;
    };
    if (!usable(target)) target = default_focus();
    if (!usable(target)) {
        focusNextPrevChild(true);
        return;
    }
    target->setFocus(Qt::OtherFocusReason);
}

ScreenWindow::~ScreenWindow() {
    note_screen_gone(this);
    if (below_) below_->setEnabled(true);
}

int ScreenWindow::tw(int twips) {
    return static_cast<int>(std::lround(twips * logical_dpi() / 1440.0));
}

int ScreenWindow::to_twips(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / logical_dpi()));
}

QLabel* ScreenWindow::place_label(const QString& objectName, const QString& text, int left, int top,
                                  int width, int height) {
    auto* l = place<QLabel>(objectName, left, top, width, height);
    l->setText(display_text(text));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

void ScreenWindow::apply_geometry(int top, int left, int width, int height) {
    // The controls' extent plus the design margin is the least the window may have.
    QRect used;
    for (QWidget* c : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!c->isWindow()) used = used.united(c->geometry());
    const int margin = tw(120);
    const QSize least(used.right() + 1 + margin, used.bottom() + 1 + margin);
    setMinimumSize(least);
    resize(QSize(tw(width), tw(height)).expandedTo(least));
    move(tw(left), tw(top));
}

namespace {
void bring_to_front(QWidget* w) {
    // The headless test platform cannot raise windows and says so on every call.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    w->raise();
    w->activateWindow();
}
} // namespace

void ScreenWindow::load() {
    if (loaded_) {
        show();
        bring_to_front(this);
        return;
    }
    loaded_ = true;
    QCoreApplication::processEvents();
    G.PreviousScreen = G.CurrentScreen;
    G.CurrentScreen = code_;
    int16_t c = code_;
    set_screen(c);
    setWindowTitle(G.WindowTitle);
    // Enter presses the focused button, as everywhere on the desktop.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(true);
    on_load();
    if (unloaded_) return; // the load handler itself left the screen
    fit_captions(this);
    // Captions inside frames change later too (the search presets).
    for (QGroupBox* frame : findChildren<QGroupBox*>())
        frame->installEventFilter(this);
    show();
    bring_to_front(this);
    QCoreApplication::processEvents();
    on_shown();
}

void ScreenWindow::record_position() {
    int16_t c = static_cast<int16_t>(-code_);
    set_screen(c);
}

void ScreenWindow::unload() {
    if (unloaded_) return;
    unloading_ = true;
    close();
    if (!unloaded_) {
        // Never shown: close() does not reach closeEvent for a hidden window.
        unloaded_ = true;
        record_position();
        on_unload();
        note_screen_gone(this);
        if (below_) below_->setEnabled(true);
        deleteLater();
    }
}

void ScreenWindow::closeEvent(QCloseEvent* e) {
    if (unloaded_) {
        e->accept();
        return;
    }
    if (!unloading_) {
        // A request from the window system: wait while an operation runs, and let the
        // screen decide what closing means for it.
        if (operation_running() || !isEnabled() || !on_close_request()) {
            e->ignore();
            return;
        }
        if (unloaded_) { // on_close_request navigated away itself
            e->accept();
            return;
        }
    }
    unloaded_ = true;
    record_position();
    on_unload();
    note_screen_gone(this);
    if (below_) {
        below_->setEnabled(true);
        bring_to_front(below_);
    }
    e->accept();
}

ScreenWindow* ScreenWindow::open_on_top(int16_t code) {
    remember_focus();
    setEnabled(false);
    ScreenWindow* w = ensure_screen(code);
    if (!w) {
        setEnabled(true);
        return nullptr;
    }
    w->set_below(this);
    w->load();
    return w;
}

QString display_text(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

OperationScope::OperationScope(QWidget* screen) : screen_(screen) {
    ++operationDepth;
    if (auto* s = dynamic_cast<ScreenWindow*>(screen_.data())) s->remember_focus();
    if (screen_) screen_->setEnabled(false);
}

OperationScope::~OperationScope() {
    --operationDepth;
    if (!screen_) return;
    screen_->setEnabled(true);
    // The progress window was on top: the screen takes the keyboard back.
    if (screen_->isVisible()) bring_to_front(screen_);
}

bool operation_running() {
    return operationDepth > 0;
}

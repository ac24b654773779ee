// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of every screen: one top-level window per screen code, created on load and
// destroyed on unload, at most one of each. It carries the load/leave protocol
// (PreviousScreen/CurrentScreen and set_screen), the placing of controls in twips, and
// the enabling rules: a screen drawn on top disables the one below it until it closes,
// and a long operation disables its screen and makes every close request wait.
#include "ui/navigation.h"
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;
class QAbstractButton;

class ScreenWindow : public QWidget {
    Q_OBJECT
  public:
    ScreenWindow(int16_t code, const QString& name);
    ~ScreenWindow() override;

    int16_t code() const { return code_; }
    bool loaded() const { return loaded_; }

    // Load handler: PreviousScreen takes CurrentScreen, CurrentScreen becomes this code,
    // set_screen(code) applies fonts and geometry, on_load() fills the screen, and the
    // window is shown. A loaded screen is only raised.
    void load();
    // set_screen(-code): records top and left, CurrentScreen goes back to PreviousScreen.
    void record_position();
    // Unload: the unload handler (record_position + on_unload) runs, the window closes and
    // is destroyed later. Works while an operation runs (the operation itself leaves).
    void unload();

    // Keeps the control the user is in, to be given the keyboard back when this screen is
    // enabled again (disabling a window takes the focus away).
    void remember_focus();

    // Opens screen `code` drawn on top of this one: this one is disabled until it closes.
    ScreenWindow* open_on_top(int16_t code);
    // The screen this one was drawn on; enabled again whenever this one closes.
    void set_below(ScreenWindow* below) { below_ = below; }
    ScreenWindow* below() const { return below_; }

    // Twips to device-independent pixels (1440 twips per logical inch).
    static int tw(int twips);
    static int to_twips(int pixels);

    // Creates a child control named `objectName` at left/top with width/height in twips.
    template <class W>
    W* place(const QString& objectName, int left, int top, int width, int height) {
        auto* w = new W(this);
        w->setObjectName(objectName);
        w->setGeometry(tw(left), tw(top), tw(width), tw(height));
        return w;
    }
    QLabel* place_label(const QString& objectName, const QString& text, int left, int top,
                        int width, int height);

    // Size of the window in twips as set_screen applies it; never below what the
    // controls need, so a small stored size cannot clip them.
    void apply_geometry(int top, int left, int width, int height);

  protected:
    // Fills the screen after set_screen; before it is shown.
    virtual void on_load() {}
    // After the window is first shown (messages that belong over the screen).
    virtual void on_shown() {}
    // The unload handler's own part (after the position is recorded).
    virtual void on_unload() {}
    // A close request from the window system (the title bar's close box, Alt+F4).
    // Returns true to let the window close (the unload handler then runs).
    virtual bool on_close_request() { return true; }

    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

    // Where the keyboard goes when the screen is enabled again and the control the user
    // was in is gone: nullptr for the first control of the tab order.
    virtual QWidget* default_focus() const { return nullptr; }

  private:
    void focus_changed(QWidget* now);
    void restore_focus();

    int16_t code_;
    bool loaded_ = false;
    bool unloading_ = false;
    bool unloaded_ = false;
    QPointer<ScreenWindow> below_;
    // The control the user was in: disabling a window takes the focus away, and on a
    // window manager's activation the first control (the drive list) would take it.
    QPointer<QWidget> lastFocus_;
};

// A control of a loaded screen by its object name, or nullptr: tests, screenshots and
// benchmarks drive the screens by the names the controls carry.
template <class T = QWidget> T* screen_control(int16_t code, const QString& name) {
    ScreenWindow* s = screen_instance(code);
    return s ? s->findChild<T*>(name) : nullptr;
}

// Text for a label or a message: the program writes CR LF, Qt breaks lines at LF.
QString display_text(const QString& text);

// A long operation (walk, sort, pruning, scan): disables its screen for the duration and
// makes every close request wait; nothing else can start meanwhile.
class OperationScope {
  public:
    explicit OperationScope(QWidget* screen);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

  private:
    QPointer<QWidget> screen_;
};
bool operation_running();

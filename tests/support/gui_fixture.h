// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screen tests' world: a start-up directory (catalogue, settings, configuration) and a
// disc pinned as drive q, start-up run as the program runs it, the scripted message double
// that also drives the real progress window, and helpers that find, read and use controls
// as a user does.
#include "app/screen_table.h"
#include "catalogue/writer.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

// Scripted messages; the progress window is the real one.
class GuiScriptedSeam : public ScriptedSeam {
  public:
    void progress_show() override {
        ScriptedSeam::progress_show();
        gui_progress_show();
    }
    void progress_label(int label, const QString& text) override {
        ScriptedSeam::progress_label(label, text);
        gui_progress_label(label, text);
    }
    void progress_hide() override {
        ScriptedSeam::progress_hide();
        gui_progress_hide();
    }
    void yield() override {
        ScriptedSeam::yield();
        QCoreApplication::processEvents();
        if (onYield) onYield();
    }
    // Runs at every yield: what a user could do while an operation runs.
    std::function<void()> onYield;
};

inline void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Unloads every screen (between test functions).
inline void close_all_screens() {
    for (int16_t code = 1; code <= 8; ++code)
        if (ScreenWindow* w = screen_instance(code)) w->unload();
    settle();
}

struct GuiEnv {
    QTemporaryDir home;
    QTemporaryDir disc;
    QString savedCwd = QDir::currentPath();

    QString dat() const { return home.filePath(QStringLiteral("tobrin.dat")); }
    QString ini() const { return home.filePath(QStringLiteral("tobrin.ini")); }
    // Replaces the disc's contents with these directories and (empty) files.
    void make_disc(const QStringList& dirs, const QStringList& files = {}) {
        QDir(disc.path()).removeRecursively();
        QDir().mkpath(disc.path());
        make_dirs(disc.path(), dirs);
        for (const QString& f : files)
            touch(disc.filePath(f));
    }
    // Start-up as the program runs it, with drive q pinned to the disc.
    void start(const QStringList& extraConfig = {}) {
        close_all_screens();
        static const QString gothic = install_font_substitutions();
        QDir::setCurrent(home.path());
        fresh_state();
        const QString cfg = home.filePath(QStringLiteral("tobrin.cfg"));
        write_cp932_file(cfg, QStringList{QStringLiteral("#40:q=") + disc.path(),
                                          QStringLiteral("#03:q"), QStringLiteral("#10:0")} +
                                  extraConfig);
        startup(cfg);
        settle_at_startup();
        register_standard_screens();
        G.ListProgressIntervalMs = 0;
    }
    ~GuiEnv() {
        close_all_screens();
        QDir::setCurrent(savedCwd);
    }
};

// The base of every screen test: its world, its messages, and the check after each function
// (every expected message shown, nothing else), which its cleanup() calls.
class GuiTest : public QObject {
  protected:
    GuiEnv env;
    GuiScriptedSeam seam;
    void end_test() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

template <class T = QWidget> T* control(int16_t screen, const QString& name) {
    return screen_control<T>(screen, name);
}

// What a label, field, memo or button shows.
inline QString text_of(int16_t screen, const QString& name) {
    QWidget* w = control(screen, name);
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return p->toPlainText();
    auto* b = qobject_cast<QAbstractButton*>(w);
    return b ? b->text() : QString();
}

// Clicks a button as the user does; false when it is missing, hidden or disabled.
inline bool click(int16_t screen, const QString& name) {
    auto* b = control<QAbstractButton>(screen, name);
    if (!b || !b->isVisible() || !b->isEnabled() || !b->window()->isEnabled()) return false;
    QTest::mouseClick(b, Qt::LeftButton);
    settle();
    return true;
}

// Opens row `row` of a list by a double-click: a click, then the second press.
inline void open_row(QAbstractItemView* list, int row) {
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    settle();
}

// Row `row` reads `text`, shown whole (the list scrolls sideways), and Ctrl+C copies it.
inline void check_row_whole_and_copied(QAbstractItemView* list, int row, const QString& text) {
    const QModelIndex index = list->model()->index(row, 0);
    QCOMPARE(index.data().toString(), text);
    QVERIFY(list->visualRect(index).width() >= list->fontMetrics().horizontalAdvance(text));
    QVERIFY(list->horizontalScrollBar()->maximum() > 0);
    list->setCurrentIndex(index);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), text);
}

// The control that takes the keys once the window manager activates `w`.
inline QWidget* focus_after_activation(QWidget* w) {
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w)) return nullptr;
    return QApplication::focusWidget();
}

inline QStringList item_texts(const QListWidget* list) {
    QStringList l;
    for (int i = 0; list && i < list->count(); ++i)
        l << list->item(i)->text();
    return l;
}

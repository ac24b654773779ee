// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the logic talks to the user: message boxes, the progress window's three
// labels, yielding to the event loop, the beep and termination. The GUI implements it
// with Qt widgets, tobrin-cli with stderr, the tests with a scripted double.
#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <functional>

// Message box answers.
enum MsgAnswer : int16_t { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

class Seam {
  public:
    virtual ~Seam() = default;
    // Shows `text` (caption MsgBoxTitle). yesNo false: OK only, returns 1;
    // yesNo true: Yes/No, returns 6 or 7.
    virtual int16_t message(const QString& text, bool yesNo) = 0;
    // The progress window `disp_status`: shown, one label (1 message, 2 counter, 3 total)
    // rewritten, hidden again.
    virtual void progress_show() {}
    virtual void progress_label(int label, const QString& text) {
        (void)label;
        (void)text;
    }
    virtual void progress_hide() {}
    // Lets the event loop run so windows repaint.
    virtual void yield() {}
    virtual void beep() {}
    // Ends the process at once; does not return.
    [[noreturn]] virtual void terminate() = 0;
};

// The seam in use; a silent one until the program installs its own.
Seam& seam();
void set_seam(Seam* s);

// A long operation writes its progress labels only now and then (ProgressThrottle). While
// it runs it registers how to write them as they stand; a message box brings them up to
// date first, so that what the user reads beside the message is current. Registrations
// nest (a walk registers once per directory level); the innermost one counts.
class PendingProgress {
  public:
    explicit PendingProgress(std::function<void()> write);
    ~PendingProgress();
    PendingProgress(const PendingProgress&) = delete;
    PendingProgress& operator=(const PendingProgress&) = delete;
    // Writes the labels of the innermost registration, if any.
    static void write_current();

  private:
    std::function<void()> write_;
    PendingProgress* outer_;
};

// Shorthands for the two kinds of message box.
inline int16_t show_message(const QString& text) {
    PendingProgress::write_current();
    return seam().message(text, false);
}
inline int16_t ask_question(const QString& text) {
    PendingProgress::write_current();
    return seam().message(text, true);
}

// Long operations update the progress window and yield only this often, so that a walk
// or a scan spends its time working and not repainting.
class ProgressThrottle {
  public:
    explicit ProgressThrottle(int intervalMs = 50) : interval_(intervalMs) { timer_.start(); }
    // True at most once per interval, and on the first call, so that a counter shows at
    // once even when the whole operation takes less than an interval; the caller then
    // updates its labels and yields.
    bool due() {
        if (first_) {
            first_ = false;
            timer_.restart();
            return true;
        }
        if (timer_.elapsed() < interval_) return false;
        timer_.restart();
        return true;
    }

  private:
    QElapsedTimer timer_;
    qint64 interval_;
    bool first_ = true;
};

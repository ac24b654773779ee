// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The test double of the seam: every message is recorded, each one must have been
// expected (with the answer to give) in order, and an unexpected message fails the test.
#include "core/seam.h"
#include <QStringList>
#include <stdexcept>

// Thrown by terminate(): the test catches it where the program would have ended.
struct Terminated : std::runtime_error {
    Terminated() : std::runtime_error("terminate") {}
};

class ScriptedSeam : public Seam {
  public:
    struct Shown {
        QString text;
        bool yesNo;
        int16_t answer;
        QStringList labels; // the progress labels as the message appeared
    };
    ScriptedSeam();
    ~ScriptedSeam() override;

    // The next message must contain `fragment` (usually its number, e.g. "(071)");
    // `answer` is returned (1 for OK boxes, 6 or 7 for questions).
    void expect(const QString& fragment, int16_t answer = AnswerOk);
    // True when every expected message was shown and nothing unexpected was.
    bool satisfied() const { return pending_.isEmpty() && unexpected_.isEmpty(); }
    // What went wrong, for QVERIFY2.
    QByteArray report() const;

    int16_t message(const QString& text, bool yesNo) override;
    void progress_show() override { ++progressShows; }
    void progress_label(int label, const QString& text) override;
    void progress_hide() override { ++progressHides; }
    void yield() override { ++yields; }
    void beep() override { ++beeps; }
    [[noreturn]] void terminate() override { throw Terminated(); }

    QList<Shown> shown;
    QStringList labels{QString(), QString(), QString()}; // last text of Label1..3
    QStringList label1History;                           // every text written to Label1
    int progressShows = 0, progressHides = 0, yields = 0, beeps = 0;

  private:
    QList<std::pair<QString, int16_t>> pending_; // fragment and answer, in the order expected
    QStringList unexpected_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripted_seam.h"
#include <QTest>

ScriptedSeam::ScriptedSeam() {
    set_seam(this);
}
ScriptedSeam::~ScriptedSeam() {
    set_seam(nullptr);
}

void ScriptedSeam::expect(const QString& fragment, int16_t answer) {
    pending_.append({fragment, answer});
}

int16_t ScriptedSeam::message(const QString& text, bool yesNo) {
    int16_t answer = yesNo ? AnswerNo : AnswerOk;
    if (!pending_.isEmpty() && text.contains(pending_.first().first)) {
        answer = pending_.takeFirst().second;
    } else {
        const QString why = pending_.isEmpty()
                                ? "unexpected message: " + text
                                : QStringLiteral("expected a message with \"%1\", got: %2")
                                      .arg(pending_.first().first, text);
        unexpected_.append(why);
        QTest::qFail(why.toUtf8().constData(), __FILE__, __LINE__);
    }
    shown.append({text, yesNo, answer, labels});
    return answer;
}

void ScriptedSeam::progress_label(int label, const QString& text) {
    if (label >= 1 && label <= 3) labels[label - 1] = text;
    if (label == 1) label1History.append(text);
}

QByteArray ScriptedSeam::report() const {
    QStringList lines = unexpected_;
    for (const auto& [fragment, answer] : pending_)
        lines.append("expected but not shown: " + fragment);
    return lines.join(u'\n').toUtf8();
}

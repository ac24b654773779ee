// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/result_output.h"
#include "catalogue/escape.h"
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

HeldMessages::HeldMessages() : previous_(&seam()) {
    set_seam(this);
}
HeldMessages::~HeldMessages() {
    set_seam(previous_);
}

int16_t HeldMessages::message(const QString& text, bool yesNo) {
    texts_.append(text);
    return yesNo ? AnswerNo : AnswerOk;
}

void HeldMessages::terminate() {
    for (const QString& t : texts_)
        std::fprintf(stderr, "%s\n", qPrintable(t));
    std::exit(1);
}

int print_results(const SearchDisplay& display, HeldMessages& held) {
    QByteArray out;
    for (const ResultEntry& e : display.entries) {
        out += QByteArray::number(e.kind);
        out += '\t';
        // One result per line, whatever the names hold.
        out += one_line_text(e.text).toUtf8();
        out += '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    QString caption = display.caption;
    caption.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QString first = caption.section(u'\n', 0, 0);
    if (first.isEmpty()) first = caption.section(u'\n', 1, 1); // the not-found caption
    QByteArray err = first.isEmpty() ? QByteArray() : first.toUtf8() + '\n';
    for (QString t : held.texts_) {
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        err += t.toUtf8() + '\n';
    }
    std::fwrite(err.constData(), 1, size_t(err.size()), stderr);
    std::fflush(stderr);
    // A search that stopped part way says so by its exit code, whatever it found by then:
    // a script must not take partial results for the whole answer.
    static const QRegularExpression number(QStringLiteral("\\(([0-9]{3})\\)"));
    int code = display.total > 0 ? 0 : 1;
    for (const QString& t : held.texts_) {
        switch (number.match(t).captured(1).toInt()) {
        case 310: // the catalogue cannot be read
            return 2;
        case 301:
        case 303:
        case 307:
        case 311:
            code = std::max(code, 3);
            break;
        case 302:
        case 305:
        case 306:
            code = 4;
            break;
        }
    }
    return code;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/results.h"
#include "core/fold.h"
#include "core/messages.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/read_data.h"
#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

QString header_line_text(const QString& title, const QString& year, const QString& month,
                         const QString& volume) {
    QString t = title;
    if (!t.isEmpty())
        t += u' ' + year;
    else
        t = year;
    // One- and two-digit months line up: 5 becomes " 5", 10 to 12 stay.
    QString m = month;
    if (m.size() == 1) {
        if (m[0] >= u'0' && m[0] <= u'9') m.prepend(u' ');
    } else if (m.size() >= 2) {
        if (!(m.startsWith(u"10") || m.startsWith(u"11") || m.startsWith(u"12"))) m.prepend(u' ');
    }
    if (!t.isEmpty())
        t += u' ' + m;
    else
        t = m;
    if (!volume.isEmpty()) {
        const QString vol = QStringLiteral(" [Vol:") + volume + u']';
        if (!t.isEmpty())
            t += u' ' + vol;
        else
            t = vol;
    }
    return t;
}

QString header_line_of_block(const SearchTables& t, int block) {
    return header_line_text(t.HeaderTable(block, 1), t.HeaderTable(block, 4),
                            t.HeaderTable(block, 5), t.HeaderTable(block, 8));
}

void get_header_data(SearchTables& t, bool& Iread_cont) {
    ++t.ResultLineCount;
    if (t.ResultLineCount <= t.MaxResultLines) {
        t.ResultLineKinds(t.ResultLineCount) = int16_t(-t.HeaderBlockCount);
        t.ResultLines(t.ResultLineCount) = header_line_of_block(t, t.HeaderBlockCount);
        return;
    }
    Iread_cont = true;
    show_message(message_311(t.MaxResultLines));
    t.ResultLineCount = t.MaxResultLines;
}

void sort_data(SearchTables& t, bool sort) {
    const int n = t.ResultLineCount;
    if (!sort || n <= 1) return;
    Seam& s = seam();
    s.progress_show();
    s.progress_label(1, QStringLiteral("データソート中です。") + G.CrLf +
                            QStringLiteral("しばらくお待ちください。"));
    s.progress_label(2, QStringLiteral("1"));
    s.progress_label(3, QStringLiteral(" / ") + QString::number(n));
    s.yield();

    // Keys once per line; a header line's key starts with U+0000 so that header lines
    // come before every path line.
    std::vector<QString> keys(static_cast<size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        QString& k = keys[size_t(i)];
        if (t.ResultLineKinds(i) < 0) k.append(QChar(u'\0'));
        fold_text_append(t.ResultLines(i), k, true, true);
    }
    auto view = [&](int i) {
        const QString& k = keys[size_t(i)];
        return std::u16string_view(reinterpret_cast<const char16_t*>(k.constData()),
                                   size_t(k.size()));
    };
    // A stable sort gives exactly the order of an insertion sort that never lets equal
    // keys pass each other, in O(n log n).
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return view(a) < view(b); });

    std::vector<QString> lines(static_cast<size_t>(n));
    std::vector<int16_t> kinds(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        lines[size_t(i)] = std::move(t.ResultLines(order[size_t(i)]));
        kinds[size_t(i)] = t.ResultLineKinds(order[size_t(i)]);
    }
    for (int i = 0; i < n; ++i) {
        t.ResultLines(i + 1) = std::move(lines[size_t(i)]);
        t.ResultLineKinds(i + 1) = kinds[size_t(i)];
    }
    s.progress_label(2, QString::number(n));
    for (int l = 1; l <= 3; ++l)
        s.progress_label(l, QString());
    s.progress_hide();
    s.yield();
}

SearchDisplay result_display(const SearchOptions& options) {
    SearchDisplay d;
    d.total = G.ResultLineCount;
    if (d.total < 1) {
        d.total = 0;
        d.caption = G.CrLf + QStringLiteral("検索結果 (一致するﾃﾞｰﾀが見つかりません。)");
        return d;
    }
    // Neither box ticked shows everything, like both.
    const bool all = options.showHeaders == options.showDirs;
    for (int i = 1; i <= d.total; ++i) {
        const int16_t kind = G.ResultLineKinds(i);
        if (kind > 0) ++d.paths;
        if (all || (kind > 0 ? options.showDirs : options.showHeaders))
            d.entries.append({G.ResultLines(i), kind});
    }
    d.headers = d.total - d.paths;
    d.caption = QStringLiteral("検索結果 [総数:") + QString::number(d.total) +
                QStringLiteral(" / 見出:") + QString::number(d.headers) +
                QStringLiteral(" / ﾃﾞｨﾚｸﾄﾘ:") + QString::number(d.paths) + u']' + G.CrLf +
                QStringLiteral(" （結果をﾀﾞﾌﾞﾙｸﾘｯｸすれば見出しを表示。）");
    return d;
}

SearchDisplay get_data(const SearchOptions& options, const ScanPlan& plan) {
    seam().yield();
    // The scan overwrites the acquired list and the header of a registration in progress.
    G.ProgressFlags = 0;
    read_data(G, G, G, options, plan);
    return result_display(options);
}

#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

namespace {
const QString PleaseWait = QStringLiteral("しばらくお待ちください。");

void clear_progress_labels() {
    for (int l = 1; l <= 3; ++l)
        seam().progress_label(l, QString());
}

std::u16string_view code_units(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size())};
}
} // namespace

void sort_entries() {
    const int count = G.EntryCount;
    seam().progress_label(1, QStringLiteral("データのソーティング中です。") + G.CrLf + PleaseWait);
    seam().progress_label(3, QStringLiteral(" / ") + QString::number(count));
    seam().yield();
    if (count < 2) return;

    ProgressThrottle throttle(ListProgressIntervalMs);
    std::vector<QString> keys(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i) {
        keys[static_cast<size_t>(i - 1)] = entry_display_line(i).toLower();
        if (throttle.due()) {
            seam().progress_label(2, QString::number(i));
            seam().yield();
        }
    }
    // A stable sort on the lower-cased line by code unit: the order an insertion sort that
    // never swaps equal keys gives, without its quadratic cost.
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return code_units(keys[static_cast<size_t>(a)]) < code_units(keys[static_cast<size_t>(b)]);
    });
    std::vector<QString> names(static_cast<size_t>(count));
    std::vector<int16_t> parents(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p) {
        names[static_cast<size_t>(p)] = G.EntryNames(order[static_cast<size_t>(p)] + 1);
        parents[static_cast<size_t>(p)] = G.EntryParentIndex(order[static_cast<size_t>(p)] + 1);
    }
    for (int p = 0; p < count; ++p) {
        G.EntryNames(p + 1) = std::move(names[static_cast<size_t>(p)]);
        G.EntryParentIndex(p + 1) = parents[static_cast<size_t>(p)];
    }
    seam().progress_label(2, QString::number(count));
    seam().yield();
}

void prune_entries() {
    seam().progress_show();
    seam().progress_label(1, QStringLiteral("ファイル無しディレクトリ削除中です。") + G.CrLf +
                                 PleaseWait);
    seam().progress_label(2, QString());
    seam().progress_label(3, QString());
    int previous = G.EntryCount + 1;
    seam().yield();
    ProgressThrottle throttle(ListProgressIntervalMs);
    while (previous != G.EntryCount) {
        const int start = G.EntryCount;
        seam().progress_label(3, QStringLiteral(" / ") + QString::number(start));
        // Positions past the current count only hold stale copies of removed entries: they
        // are never removed, so they are not probed either (a stale directory that can no
        // longer be read would otherwise send the pass round in circles).
        for (int16_t i = 1; i <= start && i <= G.EntryCount; ++i) {
            if (throttle.due()) {
                seam().progress_label(2, QString::number(i));
                seam().yield();
            }
            QString path = G.CurrentDrive + u':' + entry_display_line(i);
            int16_t hasFiles = 1;
            ListSubFile(path, hasFiles, i);
            if (hasFiles == 0 && i >= 1 && i <= G.EntryCount) remove_entry(i);
        }
        previous = start;
    }
    clear_progress_labels();
    seam().progress_hide();
    seam().yield();
}

void acquire_drive(QChar drive, int16_t& k) {
    G.CurrentDrive = QString(drive.toLower());
    seam().progress_show();
    seam().progress_label(1, QStringLiteral("ディレクトリを取得中です。") + G.CrLf + PleaseWait);
    seam().progress_label(2, QString());
    seam().progress_label(3, QString());
    seam().yield();
    if (G.BeepEnabled == 1) seam().beep();

    const QString root = G.CurrentDrive + QStringLiteral(":\\");
    G.ProgressFlags = static_cast<int16_t>(G.ProgressFlags | 1);
    G.DirCount = 0;
    G.EntryCount = 0;
    G.VolumeLabel.clear();
    seam().yield();

    k = 1;
    ListSubDirs(root, k);
    if (k == 1) {
        G.VolumeLabel = volume_label(drive);
        if (G.EntryCount == 0)
            install_root_placeholder();
        else
            sort_entries();
        if (G.BeepEnabled == 1) seam().beep();
    }
    clear_progress_labels();
    seam().progress_hide();
    seam().yield();
}

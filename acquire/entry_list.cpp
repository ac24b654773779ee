// SPDX-License-Identifier: GPL-3.0-or-later
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

void move_entry(int from, int to) {
    if (from == to) return;
    G.EntryNames(to) = std::move(G.EntryNames(from));
    G.EntryParentIndex(to) = G.EntryParentIndex(from);
    G.EntryDiskNames(to) = std::move(G.EntryDiskNames(from));
}

// Lists filled by hand (tests, screenshots) have no recorded bytes: room for them.
void ensure_entry_disk_names() {
    if (G.EntryDiskNames.size() < G.EntryNames.size())
        G.EntryDiskNames.redim_preserve(G.EntryNames.size());
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

    ProgressThrottle throttle(G.ListProgressIntervalMs);
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
    ensure_entry_disk_names();
    std::vector<QString> names(static_cast<size_t>(count));
    std::vector<int16_t> parents(static_cast<size_t>(count));
    std::vector<QByteArray> disk(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p) {
        const int from = order[static_cast<size_t>(p)] + 1;
        names[static_cast<size_t>(p)] = G.EntryNames(from);
        parents[static_cast<size_t>(p)] = G.EntryParentIndex(from);
        disk[static_cast<size_t>(p)] = G.EntryDiskNames(from);
    }
    for (int p = 0; p < count; ++p) {
        G.EntryNames(p + 1) = std::move(names[static_cast<size_t>(p)]);
        G.EntryParentIndex(p + 1) = parents[static_cast<size_t>(p)];
        G.EntryDiskNames(p + 1) = std::move(disk[static_cast<size_t>(p)]);
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
    ProgressThrottle throttle(G.ListProgressIntervalMs);
    ensure_entry_disk_names();
    EntryProbes known;
    while (previous != G.EntryCount) {
        const int start = G.EntryCount;
        seam().progress_label(3, QStringLiteral(" / ") + QString::number(start));
        // One pass, as removing entry i in place would do it: the entry that moves into
        // position i is not tested again in this pass, and a probe failure ends the pass.
        // Compacting as we go costs one move per entry instead of one per later entry.
        int kept = 0;
        bool stop = false;
        PendingProgress pending(
            [&] { seam().progress_label(2, QString::number(std::min(kept + 1, start))); });
        for (int r = 1; r <= start; ++r) {
            bool keep = true;
            if (!stop) {
                if (throttle.due()) {
                    seam().progress_label(2, QString::number(kept + 1));
                    seam().yield();
                }
                int16_t hasFiles = 1;
                int16_t position = static_cast<int16_t>(kept + 1);
                // The directory as the disk spells it, not as its name reads.
                probe_entry_files(r, hasFiles, position, &known);
                stop = position != kept + 1;
                if (hasFiles == 0) {
                    keep = false;
                    // The next entry takes this position and is passed over.
                    if (r < start) {
                        ++r;
                        ++kept;
                        move_entry(r, kept);
                    }
                }
            }
            if (keep) move_entry(r, ++kept);
        }
        G.EntryCount = static_cast<int16_t>(kept);
        // The pass's last count, whether or not the throttle showed it.
        seam().progress_label(2, QString::number(kept));
        if (kept == 0) install_root_placeholder();
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

QChar pin_image_for_run(const QString& file) {
    const QChar letter = first_free_letter();
    if (letter.isNull()) return letter;
    pin_image_drive(letter, file);
    QString letters = G.DriveLetters + letter;
    std::sort(letters.begin(), letters.end());
    G.DriveLetters = letters;
    return letter;
}

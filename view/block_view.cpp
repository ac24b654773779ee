// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/block_view.h"
#include "catalogue/reader.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/results.h"
#include <algorithm>

namespace {

const QString NotFound = QStringLiteral("ディレクトリが見つかりませんでした。");

QString count_label(qsizetype n) {
    return QStringLiteral("ディレクトリ数： ") + QString::number(n) + QStringLiteral("個");
}

// Block: read whole; Fault: read up to a fault; NoBlock: not there (or a fault before it).
enum class Found { Block, Fault, NoBlock };

// Reads block `blockNo`. With `title`, the block must carry that title line. Messages
// 501-508 are shown here; the paths read before a fault stay in `out`.
Found read_block(int blockNo, const QString* title, CatalogueBlock& out) {
    Seam& s = seam();
    s.progress_show();
    s.progress_label(1, QStringLiteral("データ読み込み中です。") + G.CrLf +
                            QStringLiteral("しばらくお待ちください。"));
    s.progress_label(2, QString());
    s.progress_label(3, QString());
    s.yield();
    auto finish = [&](Found f) {
        for (int l = 1; l <= 3; ++l)
            s.progress_label(l, QString());
        s.progress_hide();
        return f;
    };

    CatalogueReader in;
    if (!in.open(catalogue_local_path())) {
        show_message(message_310(G.DataDir + G.DataFileName, in.error_string()));
        return finish(Found::NoBlock);
    }
    const int maxParents = G.MaxDirCount;
    const int maxPaths = std::max(2000, int(G.MaxEntryCount));
    ProgressThrottle throttle;
    CatalogueItem it;
    auto next = [&] {
        if (!in.next(it)) return false;
        if (throttle.due()) {
            s.progress_label(2, QString::number(in.line_number()));
            s.yield();
        }
        return true;
    };

    // Find the block by its position; blocks before it are only checked for an
    // eleventh header line, as any reader would stop there.
    in.parser().parse_entries(false);
    bool atTarget = false;
    while (!atTarget && next()) {
        if (it.kind == CatalogueItem::Block && it.block > blockNo) break;
        if (it.kind == CatalogueItem::Fault) {
            show_message(message_508(G.DataDir + G.DataFileName));
            return finish(Found::NoBlock);
        }
        if (in.parser().blocks() != blockNo) continue;
        if (it.kind == CatalogueItem::Parents || it.kind == CatalogueItem::Entries)
            break; // header shorter than ten lines
        if (it.kind != CatalogueItem::Header) continue;
        decode_header_field(it.field, it.text, out.fields[it.field - 1]);
        atTarget = it.field == HeaderFieldCount;
    }
    if (!atTarget) return finish(Found::NoBlock);
    if (title &&
        header_line_text(out.fields[0], out.fields[3], out.fields[4], out.fields[7]) != *title)
        return finish(Found::NoBlock);

    // Read the block's directories.
    in.parser().parse_entries(true);
    QStringList parents;
    QString name;
    while (next()) {
        switch (it.kind) {
        case CatalogueItem::Block:
            return finish(Found::Block);
        case CatalogueItem::Parents:
            if (!parents.isEmpty()) return finish(Found::Block);
            break;
        case CatalogueItem::Entries:
            if (!out.paths.isEmpty()) return finish(Found::Block);
            break;
        case CatalogueItem::Parent:
            if (parents.size() >= maxParents) {
                show_message(message_501(maxParents));
                return finish(Found::Fault);
            }
            parents.append(QString());
            decode_catalogue_text(it.text, parents.last());
            end_parent_path(parents.last());
            break;
        case CatalogueItem::Entry:
            if (it.fault == FormatFault::NoComma) {
                show_message(message_502(G.DataDir + G.DataFileName));
                return finish(Found::Fault);
            }
            if (it.fault != FormatFault::None) {
                show_message(message_503(G.DataDir + G.DataFileName));
                return finish(Found::Fault);
            }
            if (out.paths.size() >= maxPaths) {
                show_message(message_501(maxPaths));
                return finish(Found::Fault);
            }
            decode_catalogue_text(it.text, name);
            out.paths.append(parents[it.parent - 1] + name);
            break;
        default:
            break; // header lines past the tenth
        }
    }
    return finish(Found::Block);
}

void sort_paths(QStringList& paths) {
    // Ordinal and case-sensitive; equal paths are the same text, so a stable sort shows
    // exactly what an insertion sort would.
    std::stable_sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
        return QStringView(a).compare(QStringView(b), Qt::CaseSensitive) < 0;
    });
}

} // namespace

DirListing get_dir_data() {
    DirListing d;
    const int b = std::abs(int(G.SelectedBlockNo));
    const int n = G.ResultLineCount;
    for (int i = 1; i <= n; ++i)
        if (G.ResultLineKinds(i) == b) d.paths.append(G.ResultLines(i));
    d.label = count_label(d.paths.size());
    if (d.paths.isEmpty()) {
        d.text = NotFound;
        seam().yield();
    } else {
        d.text = d.paths.join(G.CrLf);
    }
    return d;
}

DirListing get_block_data(const std::function<void(const DirListing&)>& display) {
    DirListing d;
    d.label = G.SelectedResultLine;
    CatalogueBlock block;
    read_block(std::abs(int(G.SelectedBlockNo)), &G.SelectedResultLine, block);
    if (block.paths.isEmpty()) {
        d.text = NotFound;
        if (display) display(d); // the viewer says so before the message box does
        seam().yield();
        show_message(message_505());
        return d;
    }
    if (G.SortResults == 1 && block.paths.size() >= 2) sort_paths(block.paths);
    d.label = count_label(block.paths.size());
    d.paths = block.paths;
    d.text = d.paths.join(G.CrLf);
    seam().yield();
    return d;
}

int read_catalogue_block(int blockNo, bool sort, CatalogueBlock& out) {
    out = CatalogueBlock();
    const Found f = blockNo >= 1 ? read_block(blockNo, nullptr, out) : Found::NoBlock;
    if (out.paths.isEmpty()) show_message(message_505());
    if (f == Found::NoBlock) return 0;
    if (sort && out.paths.size() >= 2) sort_paths(out.paths);
    return f == Found::Block ? 1 : 2;
}

#include "view/block_view.h"
#include "core/fold.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/byte_lines.h"
#include "search/read_data.h"
#include "search/results.h"
#include <algorithm>

namespace {

const QString NotFound = QStringLiteral("ディレクトリが見つかりませんでした。");

QString count_label(qsizetype n) {
    return QStringLiteral("ディレクトリ数： ") + QString::number(n) + QStringLiteral("個");
}

QString format_message(const QString& sentence) {
    return sentence + G.CrLf + G.CrLf +
           QStringLiteral("データファイルがtobrin.doc記載のフォーマットになっているかエディタな"
                          "どでチェックして下さい。") +
           G.CrLf + G.CrLf + QStringLiteral("データファイル：") + G.DataDir + G.DataFileName +
           G.CrLf + G.CrLf + QStringLiteral("データの読み込みを中断します。");
}

QString limit_message(int capacity) {
    return QStringLiteral("ﾃﾞｨﾚｸﾄﾘ数が") + full_width_number(capacity) +
           QStringLiteral("個を超えました。(501)") + G.CrLf + G.CrLf +
           QStringLiteral("データの読み込みを中断します。");
}

bool is_marker(QByteArrayView line, char digit) {
    return line.size() == 3 && line[0] == '*' && line[1] == '0' && line[2] == digit;
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

    ByteLineReader in;
    if (!in.open(G.DataDir + G.DataFileName)) {
        show_message(QStringLiteral("データファイル[") + G.DataDir + G.DataFileName +
                     QStringLiteral("]のアクセスができません。(310)") + G.CrLf + G.CrLf +
                     QStringLiteral("原因 : ") + in.error_string() + G.CrLf + G.CrLf +
                     QStringLiteral("データの読み込みを中断します。"));
        return finish(Found::NoBlock);
    }
    const int maxParents = G.MaxDirCount;
    const int maxPaths = std::max(2000, int(G.MaxEntryCount));
    ProgressThrottle throttle;
    qint64 lineNo = 0;
    QByteArrayView line;
    auto tick = [&] {
        ++lineNo;
        if (throttle.due()) {
            s.progress_label(2, QString::number(lineNo));
            s.yield();
        }
    };

    // Find the block by its position; blocks before it are only checked for an
    // eleventh header line, as any reader would stop there.
    int block = 0, headers = 0;
    bool inHeader = false, atTarget = false;
    while (in.next(line)) {
        tick();
        if (is_marker(line, '1')) {
            if (++block > blockNo) break;
            inHeader = true;
            headers = 0;
            continue;
        }
        if (is_marker(line, '2') || is_marker(line, '3')) {
            inHeader = false;
            if (block == blockNo) break; // header shorter than ten lines
            continue;
        }
        if (!inHeader) continue;
        if (++headers > HeaderFieldCount) {
            show_message(
                format_message(QStringLiteral("見出しデータが１０行を超えています。(508)")));
            return finish(Found::NoBlock);
        }
        if (block != blockNo) continue;
        if (line.startsWith('"')) line = line.sliced(1);
        if (line.endsWith('"')) line.chop(1);
        decode_catalogue_text(line, out.fields[headers - 1]);
        if (headers == HeaderFieldCount) {
            atTarget = true;
            break;
        }
    }
    if (!atTarget) return finish(Found::NoBlock);
    data_change(out.fields[2], 1);
    data_change(out.fields[2], 2);
    if (title &&
        header_line_text(out.fields[0], out.fields[3], out.fields[4], out.fields[7]) != *title)
        return finish(Found::NoBlock);

    // Read the block's directories.
    enum { None, Parents, Entries } state = None;
    QStringList parents;
    QString name;
    while (in.next(line)) {
        tick();
        if (is_marker(line, '1')) break;
        if (is_marker(line, '2')) {
            if (!parents.isEmpty()) break;
            state = Parents;
            continue;
        }
        if (is_marker(line, '3')) {
            if (!out.paths.isEmpty()) break;
            state = Entries;
            continue;
        }
        if (state == Parents) {
            if (parents.size() >= maxParents) {
                show_message(limit_message(maxParents));
                return finish(Found::Fault);
            }
            parents.append(QString());
            decode_catalogue_text(line, parents.last());
        } else if (state == Entries) {
            const qsizetype comma = line.indexOf(',');
            if (comma <= 0) {
                show_message(
                    format_message(QStringLiteral("ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。(502)")));
                return finish(Found::Fault);
            }
            int p = 0;
            if (!parse_parent_number(line.first(comma), p) || p < 1 || p > parents.size()) {
                show_message(format_message(
                    QStringLiteral("下位(*03以降)ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。(503)")));
                return finish(Found::Fault);
            }
            if (out.paths.size() >= maxPaths) {
                show_message(limit_message(maxPaths));
                return finish(Found::Fault);
            }
            QByteArrayView n = line.sliced(comma + 1);
            while (!n.isEmpty() && n.front() == ' ')
                n = n.sliced(1);
            while (!n.isEmpty() && n.back() == ' ')
                n.chop(1);
            decode_catalogue_text(n, name);
            QString path = parents[p - 1];
            if (!path.endsWith(u'\\')) path.append(u'\\');
            path += name;
            out.paths.append(path);
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
        show_message(NotFound + QStringLiteral("(505)"));
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
    if (out.paths.isEmpty()) show_message(NotFound + QStringLiteral("(505)"));
    if (f == Found::NoBlock) return 0;
    if (sort && out.paths.size() >= 2) sort_paths(out.paths);
    return f == Found::Block ? 1 : 2;
}

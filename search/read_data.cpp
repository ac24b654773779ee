#include "search/read_data.h"
#include "catalogue/reader.h"
#include "core/fold.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/folded_decoder.h"
#include "search/match.h"
#include "search/results.h"
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

QString file_name_for_messages() {
    return G.DataDir + G.DataFileName;
}

QString limit_message(const QString& what, int capacity, const QString& number) {
    return what + full_width_number(capacity) + QStringLiteral("個を超えました。(") + number +
           u')' + G.CrLf + G.CrLf +
           QStringLiteral("検索条件をもっと厳しくして再度検索を実行して下さい。") + G.CrLf +
           G.CrLf + QStringLiteral("データの読み込みを中断します。");
}

QString format_message(const QString& sentence) {
    return sentence + G.CrLf + G.CrLf +
           QStringLiteral("データファイルがtobrin.doc記載のフォーマットになっているかエディタな"
                          "どでチェックして下さい。") +
           G.CrLf + G.CrLf + QStringLiteral("データファイル：") + file_name_for_messages() +
           G.CrLf + G.CrLf + QStringLiteral("データの読み込みを中断します。");
}

void size_tables() {
    // Start-up sizes the tables from the configuration; a scan never writes beyond them.
    if (G.HeaderTable.rows() < G.MaxHeaderBlocks) G.HeaderTable.redim(G.MaxHeaderBlocks);
    if (G.DirPaths.size() < G.MaxDirCount) G.DirPaths.redim(G.MaxDirCount);
    if (G.ResultLines.size() < G.MaxResultLines) G.ResultLines.redim(G.MaxResultLines);
    if (G.ResultLineKinds.size() < G.MaxResultLines) G.ResultLineKinds.redim(G.MaxResultLines);
}

class Scan {
  public:
    void run();

  private:
    void item(const CatalogueItem& it);
    void header_line(const CatalogueItem& it);
    void parent_line(QByteArrayView line);
    void subdirectory_line(const CatalogueItem& it);
    void format_fault(const char16_t* sentence);
    void add_result_path(int p, QStringView name);
    const QString& parent_text(int p);
    void decode_remaining_parents();

    const SearchOptions& opt = current_search_options();
    const FoldedDecoder decoder{opt.foldWidth, opt.foldCase};
    const bool bySubstring = match_by_substring();
    const qsizetype overlap = std::max(0, longest_word() - 1);
    bool headerListed = false;
    bool stop = false;
    // Folded parent lines of the current block (with their trailing backslash), and
    // which words occur in each.
    std::vector<std::u16string> parentFolded;
    std::vector<std::array<bool, 3>> parentHas;
    // The parent lines' bytes, and whether G.DirPaths holds their text yet.
    QByteArray parentRaw;
    std::vector<std::pair<qsizetype, qsizetype>> parentSpan;
    std::vector<bool> parentDecoded;
    QString folded, name;
    std::vector<char16_t> text; // the folded path under test
    // Bit k set for a byte that may put the last unit of word k into a name ("&" for
    // all, as an escape may stand for anything). A name without such bytes cannot
    // complete an occurrence of a word, so only the parent decides.
    uint8_t nameBytes[256] = {};
    void mark_name_bytes();
};

void Scan::mark_name_bytes() {
    for (int k = 0; k < 3; ++k) {
        const QStringView w = match_word(k);
        if (w.isEmpty()) continue;
        bool marked[256] = {};
        decoder.mark_bytes_of(w.back().unicode(), marked);
        marked[uint8_t('&')] = true;
        for (int b = 0; b < 256; ++b)
            if (marked[b]) nameBytes[b] |= uint8_t(1 << k);
    }
}

void Scan::format_fault(const char16_t* sentence) {
    stop = true;
    show_message(format_message(QString::fromUtf16(sentence)));
}

void Scan::item(const CatalogueItem& it) {
    switch (it.kind) {
    case CatalogueItem::Block:
        headerListed = false;
        G.DirCount = 0;
        parentRaw.resize(0);
        if (++G.HeaderBlockCount > G.MaxHeaderBlocks) {
            stop = true;
            show_message(limit_message(QStringLiteral("見出し数が"), G.MaxHeaderBlocks,
                                       QStringLiteral("301")));
            G.HeaderBlockCount = G.MaxHeaderBlocks;
            return;
        }
        // A block with fewer than ten header lines must not show the fields of a block
        // read by an earlier search.
        for (int k = 1; k <= HeaderFieldCount; ++k)
            G.HeaderTable(G.HeaderBlockCount, k).clear();
        return;
    case CatalogueItem::Header:
        header_line(it);
        return;
    case CatalogueItem::Fault:
        format_fault(u"見出しデータが１０行を超えています。(302)");
        return;
    case CatalogueItem::Parents:
        G.DirCount = 0;
        parentRaw.resize(0);
        return;
    case CatalogueItem::Parent:
        parent_line(it.text);
        return;
    case CatalogueItem::Entries:
        return;
    case CatalogueItem::Entry:
        if (!opt.headerOnly) subdirectory_line(it);
        return;
    }
}

void Scan::header_line(const CatalogueItem& it) {
    const int block = G.HeaderBlockCount;
    decode_header_field(it.field, it.text, G.HeaderTable(block, it.field));
    if (it.field == HeaderFieldCount) {
        // The searched fields joined without a separator: a word may span two fields.
        folded.resize(0);
        for (int k = 1; k <= HeaderFieldCount; ++k)
            if (G.HeaderFieldSearched(k) == 1)
                fold_text_append(G.HeaderTable(block, k), folded, opt.foldWidth, opt.foldCase);
        if (match_folded(folded)) {
            get_header_data(stop);
            headerListed = true;
        }
    }
}

void Scan::parent_line(QByteArrayView line) {
    if (++G.DirCount > G.MaxDirCount) {
        stop = true;
        show_message(
            limit_message(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ数が"), G.MaxDirCount, QStringLiteral("303")));
        G.DirCount = G.MaxDirCount;
        return;
    }
    // The text of a parent is needed only for the paths that match (and for the last
    // block, see run): keep its bytes and decode it then.
    const int d = G.DirCount;
    parentSpan[size_t(d)] = {parentRaw.size(), line.size()};
    parentRaw.append(line);
    parentDecoded[size_t(d)] = false;
    if (opt.headerOnly) return;
    std::u16string& f = parentFolded[size_t(d)];
    if (line.contains('&')) {
        const QString& dir = parent_text(d);
        fold_text(dir, folded, opt.foldWidth, opt.foldCase);
        f.assign(reinterpret_cast<const char16_t*>(folded.constData()), size_t(folded.size()));
    } else {
        f.resize(2 * size_t(line.size()) + 1);
        char16_t* e = decoder.decode(line, f.data());
        // The line ends in the character "" exactly when its last byte is 0x5C and its
        // folded text ends in "": a double-byte character with trail byte 0x5C (ソ, 表)
        // never folds to "", and "￥" (which narrows to it) does not end in 0x5C.
        const bool slash = line.endsWith('\\') && e > f.data() && e[-1] == u'\\';
        if (!slash) *e++ = u'\\';
        f.resize(size_t(e - f.data()));
    }
    if (bySubstring)
        words_contained(QStringView(f.data(), qsizetype(f.size())), parentHas[size_t(d)].data());
}

const QString& Scan::parent_text(int p) {
    QString& dir = G.DirPaths(p);
    if (!parentDecoded[size_t(p)]) {
        const auto [at, size] = parentSpan[size_t(p)];
        decode_catalogue_text(QByteArrayView(parentRaw).sliced(at, size), dir);
        end_parent_path(dir);
        parentDecoded[size_t(p)] = true;
    }
    return dir;
}

void Scan::decode_remaining_parents() {
    for (int p = 1; p <= G.DirCount; ++p)
        parent_text(p);
}

void Scan::subdirectory_line(const CatalogueItem& it) {
    switch (it.fault) {
    case FormatFault::None:
        break;
    case FormatFault::NumberOverflow:
        throw ScanFailure(QStringLiteral("オーバーフローしました。"));
    case FormatFault::ParentRange:
        return format_fault(u"下位(*03以降)ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。(306)");
    default:
        return format_fault(u"ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。(305)");
    }
    const QByteArrayView n = it.text;
    if (n.isEmpty()) return; // no name (the root placeholder): never a result
    const int p = it.parent;
    if (bySubstring) {
        uint8_t may = 0;
        for (const char c : n)
            may |= nameBytes[uint8_t(c)];
        if (may == 0) {
            if (!match_folded_split(parentHas[size_t(p)].data(), QStringView())) return;
            decode_catalogue_text(n, name);
            add_result_path(p, name);
            return;
        }
    }
    // Parent and name are folded apart (folding is character by character). In
    // substring mode only the parent's last units can be part of a match that reaches
    // into the name; what lies wholly in the parent is known per parent.
    const std::u16string& parent = parentFolded[size_t(p)];
    const qsizetype parentSize = qsizetype(parent.size());
    const qsizetype head = bySubstring ? std::min(parentSize, overlap) : parentSize;
    const size_t need = size_t(head) + 2 * size_t(n.size());
    if (text.size() < need) text.resize(need * 2);
    char16_t* t = text.data();
    std::memcpy(t, parent.data() + (parentSize - head), size_t(head) * sizeof(char16_t));
    bool escaped = false;
    char16_t* end = decoder.decode(n, t + head, escaped);
    if (escaped) {
        // "&#N;" escapes: decode and unescape first, then fold.
        decode_catalogue_text(n, name);
        fold_text(name, folded, opt.foldWidth, opt.foldCase);
        const size_t room = size_t(head) + size_t(folded.size());
        if (text.size() < room) text.resize(room * 2);
        t = text.data();
        std::memcpy(t + head, folded.constData(), size_t(folded.size()) * sizeof(char16_t));
        end = t + head + folded.size();
    }
    const QStringView tested(t, end - t);
    if (!(bySubstring ? match_folded_split(parentHas[size_t(p)].data(), tested)
                      : match_folded(tested)))
        return;
    if (!escaped) decode_catalogue_text(n, name);
    add_result_path(p, name);
}

void Scan::add_result_path(int p, QStringView nameText) {
    if (!headerListed) {
        get_header_data(stop);
        headerListed = true;
        if (stop) return;
    }
    if (++G.ResultLineCount <= G.MaxResultLines) {
        G.ResultLines(G.ResultLineCount) = parent_text(p) + nameText.toString();
        G.ResultLineKinds(G.ResultLineCount) = G.HeaderBlockCount;
        return;
    }
    stop = true;
    show_message(
        limit_message(QStringLiteral("検索一致データが"), G.MaxResultLines, QStringLiteral("307")));
    G.ResultLineCount = G.MaxResultLines;
}

void Scan::run() {
    Seam& s = seam();
    s.progress_show();
    s.progress_label(1, QStringLiteral("データ検索中です。") + G.CrLf +
                            QStringLiteral("しばらくお待ちください。"));
    s.progress_label(2, QString());
    s.progress_label(3, QString());
    s.yield();

    CatalogueReader in;
    auto close_progress = [&] {
        for (int l = 1; l <= 3; ++l)
            s.progress_label(l, QString());
        s.progress_hide();
        s.yield();
    };
    try {
        size_tables();
        if (bySubstring) mark_name_bytes();
        parentFolded.assign(size_t(G.MaxDirCount) + 1, std::u16string());
        parentHas.assign(size_t(G.MaxDirCount) + 1, {});
        parentSpan.assign(size_t(G.MaxDirCount) + 1, {});
        parentDecoded.assign(size_t(G.MaxDirCount) + 1, true);
        if (!in.open(G.DataDir + G.DataFileName)) throw ScanFailure(in.error_string());
        G.HeaderBlockCount = 0;
        G.ResultLineCount = 0;
        s.yield();
        ProgressThrottle throttle;
        in.parser().parse_entries(!opt.headerOnly);
        CatalogueItem it;
        qint64 items = 0;
        while (!stop && in.next(it)) {
            if ((++items & 0x3FF) == 0 && throttle.due()) {
                s.progress_label(2, QString::number(in.line_number()));
                s.yield();
            }
            item(it);
        }
        if (in.failed()) throw ScanFailure(in.error_string());
    } catch (const ScanFailure& f) {
        in.close();
        G.HeaderBlockCount = 0;
        G.ResultLineCount = 0;
        show_message(QStringLiteral("データファイル[") + file_name_for_messages() +
                     QStringLiteral("]のアクセスができません。(310)") + G.CrLf + G.CrLf +
                     QStringLiteral("原因 : ") + f.cause + G.CrLf + G.CrLf +
                     QStringLiteral("データの読み込みを中断します。"));
        close_progress();
        return;
    }
    in.close();
    decode_remaining_parents();
    close_progress();
    if (stop) return; // what was collected stays, unsorted
    if (G.ResultLineCount > 0)
        sort_data(opt.sort);
    else
        show_message(QStringLiteral("検索一致データが見つかりませんでした。(309)"));
}

} // namespace

void read_data() {
    Scan scan;
    scan.run();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue reader over arbitrary bytes: the search scan (single and split into parts
// on threads), `tobrin-cli check` and the directory viewer read the same file. The first
// byte picks the search, the rest is the catalogue. What must hold:
// - the scan split into parts, and the scan that reads every block whole, end exactly as
//   the single scan (results, messages, headers, parent lines left);
// - a scan that stops at a fault of the file stops at one that `check` lists;
// - every hit lies in a block of the file: the viewer finds that block, and the path in it.
#include "catalogue/reader.h"
#include "core/state.h"
#include "fuzz_support.h"
#include "catalogue/catalogue_check.h"
#include "search/read_data.h"
#include "search/search_run.h"
#include "view/block_view.h"
#include <QRegularExpression>
#include <QSet>
#include <limits>

namespace {

struct Query {
    const char16_t* words[3];
    int preset;
    SearchOptions options;
};

constexpr SearchOptions Dirs{.showDirs = true};
constexpr SearchOptions Wild{.wildcard = true, .showDirs = true};

const Query Queries[] = {
    {{u"dos", u"", u""}, 1, Dirs},
    {{u"d*s", u"", u""}, 1, Wild},
    {{u"a", u"b", u"c"}, 6, Dirs},
    {{u"a", u"b", u"c"}, 3, Wild},
    {{u"ゲーム", u"ＤＯＳ", u""}, 2, {.foldWidth = false, .showDirs = true}},
    {{u"[a-z]#", u"", u""}, 1, {.foldCase = false, .wildcard = true, .showDirs = true}},
    {{u"\\", u"", u""}, 1, {.showDirs = true, .sort = false}},
    {{u"x", u"", u""}, 1, {.headerOnly = true, .showDirs = true}},
    {{u"*[", u"", u""}, 1, Wild}, // an invalid pattern: the scan fails when it tests one
    {{u"&#", u"9", u""}, 2, Dirs},
    {{u"*", u"", u""}, 1, Wild},
};

using Outcome = SearchOutcome;

QString describe(const Outcome& o) {
    return QStringLiteral("blocks %1\nresults:\n%2\nmessages:\n%3")
        .arg(o.blocks)
        .arg(o.results.join(u'\n'), o.messages.join(QStringLiteral("\n--\n")));
}

void set_capacities() {
    // Small tables, so that every cap is reached by small inputs.
    G.MaxHeaderBlocks = 6;
    G.MaxDirCount = 8;
    G.MaxResultLines = 12;
}

Outcome search(const QString& path, const Query& q, bool split, bool skipBlocks = true) {
    reset_state();
    const qsizetype slash = path.lastIndexOf(u'/');
    G.DataDir = path.left(slash + 1);
    G.DataFileName = path.mid(slash + 1);
    G.DataFilePath = path;
    set_capacities();
    const QString words[3] = {QString::fromUtf16(q.words[0]), QString::fromUtf16(q.words[1]),
                              QString::fromUtf16(q.words[2])};
    SearchOptions o = q.options;
    o.skipBlocks = skipBlocks;
    return search_outcome(words, q.preset, o, split, 24); // a part per block or two
}

// The number in parentheses that ends a message's first sentence.
int message_number(const QString& text) {
    static const QRegularExpression number(QStringLiteral("\\((\\d{3})\\)"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The blocks the viewer reads only in part: it ends a block at a second "*02" after
// parent lines, or a second "*03" after subdirectory lines, where the scan reads on.
QSet<int> blocks_cut_for_viewer(const QByteArray& bytes) {
    QSet<int> cut;
    CatalogueReader in;
    in.open_bytes(bytes);
    CatalogueItem it;
    int parents = 0, entries = 0;
    while (in.next(it)) {
        const int b = in.parser().blocks();
        switch (it.kind) {
        case CatalogueItem::Block:
            parents = entries = 0;
            break;
        case CatalogueItem::Parents:
            if (parents > 0) cut.insert(b);
            break;
        case CatalogueItem::Entries:
            if (entries > 0) cut.insert(b);
            break;
        case CatalogueItem::Parent:
            ++parents;
            break;
        case CatalogueItem::Entry:
            if (it.fault == FormatFault::None) ++entries;
            break;
        default:
            break;
        }
    }
    return cut;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const Query& q = Queries[data[0] % std::size(Queries)];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString path = scratch_file(QStringLiteral("tobrin.dat"), bytes);

    const Outcome single = search(path, q, false);
    const Outcome split = search(path, q, true);
    FUZZ_CHECK(single == split,
               describe(single) + QStringLiteral("\n==== split ====\n") + describe(split));
    const Outcome whole = search(path, q, false, false);
    FUZZ_CHECK(single == whole, describe(single) +
                                    QStringLiteral("\n==== every block whole ====\n") +
                                    describe(whole));

    // The faults `check` lists, by message number.
    reset_state();
    set_capacities();
    QList<CatalogueFault> faults;
    FUZZ_CHECK(check_catalogue(path, faults), path);
    QSet<int> listed;
    for (const CatalogueFault& f : faults)
        listed.insert(f.message);
    for (const QString& m : single.messages) {
        const int n = message_number(m);
        // 302 to 306 stop at the file's form; 310 also at a parent number that overflows.
        const bool formFault =
            (n >= 302 && n <= 306) || (n == 310 && m.contains(QStringLiteral("オーバーフロー")));
        if (formFault || n == 301)
            FUZZ_CHECK(listed.contains(n), m + QStringLiteral("\nnot listed by check"));
    }

    // Every hit lies in a real block, where the viewer finds it.
    int viewed = 0;
    const QSet<int> cut = blocks_cut_for_viewer(bytes);
    for (const QString& r : single.results) {
        const int space = int(r.indexOf(u' '));
        const int kind = r.left(space).toInt();
        const QString text = r.mid(space + 1);
        FUZZ_CHECK(kind != 0 && std::abs(kind) <= single.blocks, r);
        if (kind < 0 || cut.contains(kind) || ++viewed > 4) continue; // a few are enough
        reset_state();
        set_capacities();
        G.DataDir = path.left(path.lastIndexOf(u'/') + 1);
        G.DataFileName = QStringLiteral("tobrin.dat");
        G.DataFilePath = G.DataDir + G.DataFileName;
        QuietSeam s;
        set_seam(&s);
        CatalogueBlock block;
        const int found = read_catalogue_block(kind, false, block);
        set_seam(nullptr);
        // A block whose header is cut short is searched but cannot be opened.
        if (found == 0) {
            bool shortHeader = false;
            for (const CatalogueFault& f : faults)
                shortHeader |= f.message == 505;
            FUZZ_CHECK(shortHeader, r + QStringLiteral(": block not found by the viewer"));
            continue;
        }
        FUZZ_CHECK(block.paths.contains(text),
                   r + QStringLiteral(": not among the viewer's paths:\n") +
                       block.paths.join(u'\n'));
    }
    return 0;
}

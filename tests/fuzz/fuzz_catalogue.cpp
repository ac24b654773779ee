// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue reader over arbitrary bytes: the first byte picks the search and which of the
// two scans skips blocks by their bytes, the rest is the catalogue. What must hold:
// - the scan split into parts on threads ends exactly as the single scan (results, messages,
//   headers, parent lines left), whether blocks are skipped or each is read whole;
// - a scan that stops at a fault of the file stops at one that `check` lists;
// - the viewer finds the block of a hit, and the path in it.
#include "catalogue/catalogue_check.h"
#include "catalogue/reader.h"
#include "core/state.h"
#include "fuzz_support.h"
#include "view/block_view.h"
#include <QRegularExpression>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The words (split at "|"), the preset, the options.
const std::tuple<const char16_t*, int, SearchOptions> Queries[] = {
    {u"a|b|c", 6, {.showDirs = true}},
    {u"a|b|c", 3, {.wildcard = true, .showDirs = true}},
    {u"ゲーム|ＤＯＳ", 2, {.foldWidth = false, .showDirs = true}},
    {u"[a-z]#", 1, {.foldCase = false, .wildcard = true, .showDirs = true}},
    {u"\\", 1, {.showDirs = true, .sort = false}},
    {u"x", 1, {.headerOnly = true, .showDirs = true}},
    // An invalid pattern: the scan fails when it tests one.
    {u"*[", 1, {.wildcard = true, .showDirs = true}},
    {u"&#|9", 2, {.showDirs = true}},
    {u"*", 1, {.wildcard = true, .showDirs = true}},
};

void use_catalogue(const QString& path) {
    reset_state();
    G.DataFilePath = path;
    // Small tables, so that every cap is reached by small inputs.
    G.MaxHeaderBlocks = 6;
    G.MaxDirCount = 8;
    G.MaxResultLines = 12;
}

SearchOutcome search(const QString& path, int query, bool split, bool skipBlocks) {
    use_catalogue(path);
    auto [text, preset, options] = Queries[query];
    const QStringList w = QString::fromUtf16(text).split(u'|');
    options.skipBlocks = skipBlocks;
    return search_outcome({w.value(0), w.value(1), w.value(2)}, preset, options, split, 24);
}

// The catalogue in memory, named by a path for the readers that take only one.
QString memory_file(const QByteArray& bytes) {
    static const int fd = memfd_create("tobrin.dat", 0);
    FUZZ_CHECK(ftruncate(fd, 0) == 0 &&
                   pwrite(fd, bytes.data(), size_t(bytes.size()), 0) == bytes.size(),
               QStringLiteral("memory file"));
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int query = data[0] % std::size(Queries);
    // Which scan skips blocks by their bytes (0: the single, 1: the split one, else neither): a
    // quarter of the runs, as planning the skip costs a short run half its time.
    const int skipIn = data[0] / std::size(Queries) % 8;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString path = memory_file(bytes);
    const SearchOutcome single = search(path, query, false, skipIn == 0);
    const SearchOutcome split = search(path, query, true, skipIn == 1);
    FUZZ_CHECK(single == split, (single.results + split.results).join(u'\n'));

    QList<CatalogueFault> faults; // what `check` lists, read when first needed
    auto listed = [&, checked = false](int n) mutable {
        if (!std::exchange(checked, true)) {
            use_catalogue(path);
            FUZZ_CHECK(check_catalogue(path, faults), path);
        }
        return std::any_of(faults.begin(), faults.end(),
                           [n](const CatalogueFault& f) { return f.message == n; });
    };
    static const QRegularExpression number(QStringLiteral("\\((\\d{3})\\)"));
    for (const QString& m : single.messages) {
        const int n = number.match(m).captured(1).toInt();
        // 301 to 306 stop at the file's form; 310 also at a parent number that overflows.
        if ((n >= 301 && n <= 306) || (n == 310 && m.contains(QStringLiteral("オーバーフロー"))))
            FUZZ_CHECK(listed(n), m + QStringLiteral("\nnot listed by check"));
    }

    // The viewer ends a block at a second "*02" or "*03", where the scan reads on: only files
    // whose blocks hold one of each ("123" each in the markers' digits) are compared.
    QByteArray markers;
    CatalogueReader in;
    in.open_bytes(bytes);
    for (CatalogueItem it; in.next(it);)
        if (it.kind == CatalogueItem::Block || it.kind == CatalogueItem::Parents ||
            it.kind == CatalogueItem::Entries)
            markers += it.text.back();
    const bool cut = !markers.replace("123", "").isEmpty();
    int viewed = 0;
    for (const QString& r : single.results) {
        const int kind = r.section(u' ', 0, 0).toInt();
        FUZZ_CHECK(kind != 0 && std::abs(kind) <= single.blocks, r);
        if (kind < 0 || ++viewed > 1 || cut) continue; // one is enough
        use_catalogue(path);
        CatalogueBlock block;
        // A block whose header is cut short is searched but cannot be opened.
        FUZZ_CHECK(read_catalogue_block(kind, false, block) == 0
                       ? listed(505)
                       : block.paths.contains(r.section(u' ', 1)),
                   r + QStringLiteral(": not found by the viewer among\n") +
                       block.paths.join(u'\n'));
    }
    return 0;
}

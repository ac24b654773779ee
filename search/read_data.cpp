// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/read_data.h"
#include "catalogue/block_parts.h"
#include "catalogue/reader.h"
#include "core/fold.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/folded_decoder.h"
#include "search/match.h"
#include "search/results.h"
#include "search/wildcard.h"
#include <QFileInfo>
#include <QThreadPool>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <vector>

namespace {

QString file_name_for_messages(const CatalogueFiles& files) {
    return files.DataDir + files.DataFileName;
}

void size_search_tables(SearchTables& t) {
    // Start-up sizes the tables from the configuration; a scan never writes beyond them.
    if (t.HeaderTable.rows() < t.MaxHeaderBlocks) t.HeaderTable.redim(t.MaxHeaderBlocks);
    if (t.DirPaths.size() < t.MaxDirCount) t.DirPaths.redim(t.MaxDirCount);
    if (t.ResultLines.size() < t.MaxResultLines) t.ResultLines.redim(t.MaxResultLines);
    if (t.ResultLineKinds.size() < t.MaxResultLines) t.ResultLineKinds.redim(t.MaxResultLines);
}

// What a scan of catalogue lines finds, in file order, goes to a sink. Applied applies
// it to the program's state at once, with the caps and messages of the search; Recorded
// keeps it, so that a worker thread can scan a part of the file while the user-interface
// thread alone touches the state and talks to the user, replaying the record through
// Applied. Both ways run the same code in the same order, so a scan split over threads
// ends where the single scan ends, with the same results and messages.
class Applied {
  public:
    Applied(const CatalogueFiles& files, SearchTables& tables) : files(files), tables(tables) {}
    bool stopped() const { return stop; }
    void block() {
        headerListed = false;
        if (++tables.HeaderBlockCount > tables.MaxHeaderBlocks) {
            stop = true;
            show_message(message_301(tables.MaxHeaderBlocks));
            tables.HeaderBlockCount = tables.MaxHeaderBlocks;
            return;
        }
        // A block with fewer than ten header lines must not show the fields of a block
        // read by an earlier search.
        for (int k = 1; k <= HeaderFieldCount; ++k)
            tables.HeaderTable(tables.HeaderBlockCount, k).clear();
    }
    void field(int k, const QString& text) {
        tables.HeaderTable(tables.HeaderBlockCount, k) = text;
    }
    void header_match() {
        get_header_data(tables, stop);
        headerListed = true;
    }
    void path(QString&& text) {
        if (!headerListed) {
            get_header_data(tables, stop);
            headerListed = true;
            if (stop) return;
        }
        if (++tables.ResultLineCount <= tables.MaxResultLines) {
            tables.ResultLines(tables.ResultLineCount) = std::move(text);
            tables.ResultLineKinds(tables.ResultLineCount) = tables.HeaderBlockCount;
            return;
        }
        stop = true;
        show_message(message_307(tables.MaxResultLines));
        tables.ResultLineCount = tables.MaxResultLines;
    }
    void fault(int message) {
        stop = true;
        const QString file = file_name_for_messages(files);
        show_message(message == 302   ? message_302(file)
                     : message == 303 ? message_303(tables.MaxDirCount)
                     : message == 305 ? message_305(file)
                                      : message_306(file));
    }
    [[noreturn]] void failure(const QString& cause) { throw ScanFailure(cause); }

  private:
    const CatalogueFiles& files;
    SearchTables& tables;
    bool stop = false;
    bool headerListed = false;
};

struct Event {
    enum Kind : uint8_t { Block, Field, HeaderMatch, Path, Fault, Failure } kind;
    int16_t number; // the field, or the message
    QString text;
};

class Recorded {
  public:
    Recorded(qsizetype resultCap, int blockCap, qsizetype eventCap = -1)
        : cap(resultCap), eventCap(eventCap), blockCap(blockCap) {}
    // A fault or a failure ends every scan. A part that alone holds more result lines or
    // blocks than the tables has seen the search stop (307, 311, 301) by then, whatever
    // came before it. With an event cap the scan stops where a replay stopped.
    bool stopped() const {
        return done || results > cap || blocks > blockCap ||
               (eventCap >= 0 && qsizetype(events.size()) >= eventCap);
    }
    void block() {
        ++blocks;
        headerListed = false;
        events.push_back({Event::Block, 0, {}});
    }
    void field(int k, const QString& text) { events.push_back({Event::Field, int16_t(k), text}); }
    void header_match() {
        ++results;
        headerListed = true;
        events.push_back({Event::HeaderMatch, 0, {}});
    }
    void path(QString&& text) {
        results += headerListed ? 1 : 2;
        headerListed = true;
        events.push_back({Event::Path, 0, std::move(text)});
    }
    void fault(int message) {
        done = true;
        events.push_back({Event::Fault, int16_t(message), {}});
    }
    void failure(const QString& cause) {
        done = true;
        events.push_back({Event::Failure, 0, cause});
    }
    // Replays the record; false when the search stopped on the way, after event `at`.
    bool replay(Applied& to, qsizetype& at) {
        for (at = 0; at < qsizetype(events.size()); ++at) {
            Event& e = events[size_t(at)];
            switch (e.kind) {
            case Event::Block:
                to.block();
                break;
            case Event::Field:
                to.field(e.number, e.text);
                break;
            case Event::HeaderMatch:
                to.header_match();
                break;
            case Event::Path:
                to.path(std::move(e.text));
                break;
            case Event::Fault:
                to.fault(e.number);
                break;
            case Event::Failure:
                to.failure(e.text);
            }
            if (to.stopped()) return false;
        }
        return true;
    }

  private:
    std::vector<Event> events;
    qsizetype cap, eventCap, results = 0;
    int blockCap, blocks = 0;
    bool headerListed = false, done = false;
};

// What every scanning thread shares, fixed before the scan starts.
struct ScanSetup {
    ScanSetup(const SearchTables& tables, const SearchQuery& query, const SearchOptions& options)
        : opt(options), matcher(query, options), plan(matcher.plan()),
          decoder(opt.foldWidth, opt.foldCase), maxDirs(tables.MaxDirCount),
          maxBlocks(tables.MaxHeaderBlocks), maxResults(tables.MaxResultLines) {
        if (plan.mode < 1) return;
        for (int k = 0; k < 3; ++k) {
            overlap = std::max(overlap, plan.literal[k].size() - 1);
            const QStringView w = plan.literal[k];
            // Bit k set for a byte that may put the last unit of word k's literal into a
            // name ("&" for all, as an escape may stand for anything). A name without
            // such bytes cannot complete an occurrence, so only the parent decides.
            if (w.isEmpty()) continue;
            bool marked[256] = {};
            decoder.mark_bytes_of(w.back().unicode(), marked);
            marked[uint8_t('&')] = true;
            for (int b = 0; b < 256; ++b)
                if (marked[b]) nameBytes[b] |= uint8_t(1 << k);
        }
        for (int k = 1; k <= HeaderFieldCount; ++k)
            searched[k] = query.HeaderFieldSearched(k) == 1;
        if (opt.skipBlocks && !opt.headerOnly) plan_block_test();
    }

    // Whether the bytes of a block's directory lines may hold a path that satisfies the
    // search: every word needs each unit of its literal somewhere in the bytes, in one
    // of the byte forms that fold to it, or an escape. False positives only cost time.
    bool may_hold(QByteArrayView bytes) const {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
        const auto* const e = p + bytes.size();
        const uint32_t* t = pairUnits.data();
        uint32_t m = 0;
        while (e - p > 256) {
            uint32_t a = 0, b = 0, c = 0, d = 0;
            for (const auto* const stop = p + 256; p < stop; p += 4) {
                a |= t[p[0] << 8 | p[1]];
                b |= t[p[1] << 8 | p[2]];
                c |= t[p[2] << 8 | p[3]];
                d |= t[p[3] << 8 | p[4]];
            }
            m |= a | b | c | d;
            if (holds(m)) return true;
        }
        for (; p < e; ++p)
            m |= t[p[0] << 8 | (p + 1 < e ? p[1] : 0)];
        return holds(m);
    }

    const SearchOptions opt;
    const Matcher matcher; // the search of this run, which every thread reads
    const MatchPlan& plan;
    const FoldedDecoder decoder;
    const int maxDirs;
    const int maxBlocks;
    const qsizetype maxResults;
    qsizetype overlap = 0;
    uint8_t nameBytes[256] = {};
    bool searched[HeaderFieldCount + 1] = {};
    bool skipBlocks = false; // blocks are tested with may_hold

  private:
    static constexpr int UnitsPerWord = 10;
    void plan_block_test() {
        std::vector<std::pair<char16_t, uint32_t>> units;
        const int used = plan.mode == 1 ? 1 : plan.mode <= 3 ? 2 : 3;
        for (int k = 0; k < used; ++k) {
            // An invalid pattern fails the scan where the first text is tested: every
            // block is read.
            if (plan.wildcard && !plan.pattern[k]->valid()) return;
            const size_t first = units.size();
            for (const QChar c : plan.literal[k]) {
                const auto same = [c](const auto& u) { return u.first == c.unicode(); };
                const size_t n = units.size() - first;
                // The reader may add a parent path's last "\": it need not be in the bytes.
                if (c == u'\\' || n == UnitsPerWord ||
                    std::any_of(units.begin() + qsizetype(first), units.end(), same))
                    continue;
                const uint32_t bit = 1u << (k * UnitsPerWord + int(n));
                units.push_back({c.unicode(), bit});
                need[k] |= bit;
            }
        }
        for (int c = 0; c < 8; ++c)
            if (evaluate_mode(plan.mode, [c](int k) { return (c >> k & 1) != 0; }))
                hitWhen |= uint8_t(1 << c);
        // Words without a unit to look for may hold anywhere; if that decides, every
        // block must be read.
        if (holds(0)) return;
        pairUnits.assign(size_t(1) << 16, 0);
        decoder.mark_pairs(units, pairUnits.data());
        pairUnits[size_t('&') << 8 | '#'] = ~0u; // "&#N;" may stand for any character
        skipBlocks = true;
    }
    bool holds(uint32_t m) const {
        int c = 0;
        for (int k = 0; k < 3; ++k)
            if ((m & need[k]) == need[k]) c |= 1 << k;
        return (hitWhen >> c) & 1;
    }
    std::vector<uint32_t> pairUnits; // by (byte << 8) | next byte
    uint32_t need[3] = {};
    uint8_t hitWhen = 0; // bit c: the mode holds when exactly the words in c hold
};

// The scan of the lines of one stretch of the catalogue, into a sink.
template <class Sink> class Scan {
  public:
    Scan(const ScanSetup& setup, Sink& sink) : set(setup), opt(setup.opt), out(sink) {
        room_for_parents(64);
    }
    // The part of the file whose items follow: whole blocks (the first part may begin
    // with lines before any block). Parent lines are kept as views into it.
    void begin_part(QByteArrayView bytes) {
        partBegin = bytes.data();
        partEnd = bytes.data() + bytes.size();
    }
    void item(const CatalogueItem& it);
    // Subdirectory lines that end before this point need only be read for their form.
    const char* skip_until() const { return skipTo; }
    // The parent lines of the block read last. Call it before the part's bytes go.
    QStringList parents();

  private:
    void header_line(const CatalogueItem& it);
    void parent_line(QByteArrayView line);
    void subdirectory_line(const CatalogueItem& it);
    const QString& parent_text(int p);
    const std::u16string& parent_folded(int p);
    // The per-parent tables grow with the largest block met, not to the capacity: a scan
    // of a part of the file starts small.
    void room_for_parents(size_t n) {
        parentFolded.resize(n);
        parentHas.resize(n);
        parentSpan.resize(n);
        parentText.resize(n);
        parentState.resize(n, Decoded | Folded);
    }

    const ScanSetup& set;
    const SearchOptions& opt;
    Sink& out;
    int dirCount = 0;
    QString fields[HeaderFieldCount + 1];
    // The parent lines of the current block as views into the part, decoded and folded
    // only when a path below them is tested (or for the last block).
    enum : uint8_t { Decoded = 1, Folded = 2 };
    std::vector<QByteArrayView> parentSpan;
    std::vector<uint8_t> parentState;
    std::vector<QString> parentText;
    // Folded parent lines (with their trailing backslash), and which required literals
    // occur in each.
    std::vector<std::u16string> parentFolded;
    std::vector<std::array<bool, 3>> parentHas;
    const char* partBegin = nullptr;
    const char* partEnd = nullptr;
    // The subdirectory lines before this point cannot match (may_hold said so).
    const char* skipTo = nullptr;
    QString folded, name;
    std::vector<char16_t> text; // the folded path under test
};

template <class Sink> void Scan<Sink>::item(const CatalogueItem& it) {
    switch (it.kind) {
    case CatalogueItem::Block:
        dirCount = 0;
        skipTo = nullptr;
        out.block();
        return;
    case CatalogueItem::Header:
        header_line(it);
        return;
    case CatalogueItem::Fault:
        out.fault(302);
        return;
    case CatalogueItem::Parents:
        dirCount = 0;
        skipTo = nullptr;
        // Every path below depends only on the bytes from here to the block's end, so a
        // block whose bytes cannot hold a hit is only read for its form.
        if (set.skipBlocks) {
            const char* end = next_block_start(partBegin, it.text.data(), partEnd);
            if (!set.may_hold(QByteArrayView(it.text.data(), end))) skipTo = end;
        }
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

template <class Sink> void Scan<Sink>::header_line(const CatalogueItem& it) {
    QString& f = fields[it.field];
    decode_header_field(it.field, it.text, f);
    out.field(it.field, f);
    if (it.field == HeaderFieldCount) {
        // The searched fields joined without a separator: a word may span two fields.
        folded.resize(0);
        for (int k = 1; k <= HeaderFieldCount; ++k)
            if (set.searched[k]) fold_text_append(fields[k], folded, opt.foldWidth, opt.foldCase);
        if (set.matcher.matches_folded(folded)) out.header_match();
    }
}

template <class Sink> void Scan<Sink>::parent_line(QByteArrayView line) {
    if (++dirCount > set.maxDirs) {
        dirCount = set.maxDirs;
        out.fault(303);
        return;
    }
    const size_t d = size_t(dirCount);
    if (d >= parentSpan.size()) room_for_parents(d * 2);
    parentSpan[d] = line;
    parentState[d] = 0;
}

template <class Sink> const std::u16string& Scan<Sink>::parent_folded(int p) {
    std::u16string& f = parentFolded[size_t(p)];
    if (parentState[size_t(p)] & Folded) return f;
    parentState[size_t(p)] |= Folded;
    const QByteArrayView line = parentSpan[size_t(p)];
    if (line.contains('&')) {
        const QString& dir = parent_text(p);
        fold_text(dir, folded, opt.foldWidth, opt.foldCase);
        f.assign(reinterpret_cast<const char16_t*>(folded.constData()), size_t(folded.size()));
    } else {
        f.resize(2 * size_t(line.size()) + 1);
        char16_t* e = set.decoder.decode(line, f.data());
        // The line ends in the character "\" exactly when its last byte is 0x5C and its
        // folded text ends in "\": a double-byte character with trail byte 0x5C (ソ, 表)
        // never folds to "\", and "￥" (which narrows to it) does not end in 0x5C.
        const bool slash = line.endsWith('\\') && e > f.data() && e[-1] == u'\\';
        if (!slash) *e++ = u'\\';
        f.resize(size_t(e - f.data()));
    }
    const QStringView fv(f.data(), qsizetype(f.size()));
    for (int k = 0; k < 3; ++k)
        parentHas[size_t(p)][size_t(k)] = contains_folded(fv, set.plan.literal[k]);
    return f;
}

template <class Sink> const QString& Scan<Sink>::parent_text(int p) {
    QString& dir = parentText[size_t(p)];
    if (!(parentState[size_t(p)] & Decoded)) {
        decode_catalogue_text(parentSpan[size_t(p)], dir);
        end_parent_path(dir);
        parentState[size_t(p)] |= Decoded;
    }
    return dir;
}

template <class Sink> QStringList Scan<Sink>::parents() {
    QStringList l;
    for (int p = 1; p <= dirCount; ++p)
        l << parent_text(p);
    return l;
}

// The search leaves the parent lines of the block it read last in DirPaths.
void leave_parents(SearchTables& t, const QStringList& parents) {
    for (int p = 1; p <= parents.size(); ++p)
        t.DirPaths(p) = parents[p - 1];
    t.DirCount = int16_t(parents.size());
}

template <class Sink> void Scan<Sink>::subdirectory_line(const CatalogueItem& it) {
    switch (it.fault) {
    case FormatFault::None:
        break;
    case FormatFault::NumberOverflow:
        return out.failure(QStringLiteral("オーバーフローしました。"));
    case FormatFault::ParentRange:
        return out.fault(306);
    default:
        return out.fault(305);
    }
    const QByteArrayView n = it.text;
    if (it.commaLast) return; // no name (the root placeholder): never a result
    if (skipTo && n.data() + n.size() <= skipTo) return;
    const int p = it.parent;
    const MatchPlan& plan = set.plan;
    // Parent and name are folded apart (folding is character by character), and only
    // when a word needs them: what lies wholly in the parent is known per parent, and a
    // literal that reaches into the name begins in the parent's last units at the most.
    const std::u16string& parent = parent_folded(p);
    const bool* has = parentHas[size_t(p)].data();
    uint8_t may = 0;
    for (const char c : n)
        may |= set.nameBytes[uint8_t(c)];

    const qsizetype parentSize = qsizetype(parent.size());
    const qsizetype head = std::min(parentSize, set.overlap);
    char16_t* t = nullptr;
    char16_t* end = nullptr;
    bool escaped = false, whole = false;
    auto tail = [&]() -> QStringView {
        if (!t) {
            const size_t need = size_t(parentSize) + 2 * size_t(n.size());
            if (text.size() < need) text.resize(need * 2);
            t = text.data() + parentSize;
            std::memcpy(t - head, parent.data() + (parentSize - head),
                        size_t(head) * sizeof(char16_t));
            end = set.decoder.decode(n, t, escaped);
            if (escaped) {
                // "&#N;" escapes: decode and unescape first, then fold.
                decode_catalogue_text(n, name);
                fold_text(name, folded, opt.foldWidth, opt.foldCase);
                const size_t room = size_t(parentSize) + size_t(folded.size());
                if (text.size() < room) text.resize(room * 2);
                t = text.data() + parentSize;
                std::memcpy(t - head, parent.data() + (parentSize - head),
                            size_t(head) * sizeof(char16_t));
                std::memcpy(t, folded.constData(), size_t(folded.size()) * sizeof(char16_t));
                end = t + folded.size();
            }
        }
        return QStringView(t - head, end);
    };
    auto full = [&]() -> QStringView {
        tail();
        if (!whole) {
            std::memcpy(text.data(), parent.data(), size_t(parentSize - head) * sizeof(char16_t));
            whole = true;
        }
        return QStringView(text.data(), end);
    };
    auto sat = [&](int k) -> bool {
        const QString& lit = plan.literal[k];
        const bool found = has[k] || (((may >> k) & 1) && contains_folded(tail(), lit));
        if (!plan.wildcard) return found;
        if (!plan.pattern[k]->valid()) invalid_pattern();
        return (found || lit.isEmpty()) && plan.pattern[k]->matches(full());
    };
    if (!evaluate_mode(plan.mode, sat)) return;
    if (!escaped) decode_catalogue_text(n, name);
    out.path(QString(parent_text(p) + name));
}

// Feeds the items of one part to `scan` until the sink stops (or `abandon` is set); the
// number of lines read.
template <class Sink>
qint64 scan_bytes(const ScanSetup& setup, Scan<Sink>& scan, const Sink& sink,
                  const QByteArray& bytes, const std::atomic<bool>& abandon) {
    CatalogueReader in;
    in.open_bytes(bytes);
    in.parser().parse_entries(!setup.opt.headerOnly);
    scan.begin_part(bytes);
    CatalogueItem it;
    while (!sink.stopped() && !abandon.load(std::memory_order_relaxed) && in.next(it)) {
        scan.item(it);
        if (const char* until = scan.skip_until()) in.skim_entries(until);
    }
    return in.line_number();
}

struct PartResult {
    Recorded record;
    qint64 lines = 0;
    QStringList parents; // of the part's last block, as its scan left them
};

// A part scanned on its own; with `eventCap`, only as far as its first events.
PartResult scan_part(const ScanSetup& setup, const QByteArray& bytes,
                     const std::atomic<bool>& abandon, qsizetype eventCap = -1) {
    PartResult r{Recorded(setup.maxResults, setup.maxBlocks, eventCap), 0, {}};
    Scan<Recorded> scan(setup, r.record);
    try {
        r.lines = scan_bytes(setup, scan, r.record, bytes, abandon);
    } catch (const ScanFailure& f) {
        r.record.failure(f.cause);
    }
    r.parents = scan.parents();
    return r;
}

// One run of the search: what it reads and writes, the search every thread reads, and the
// parts in flight (parallel).
class Search {
  public:
    Search(const CatalogueFiles& files, SearchTables& tables, const SearchQuery& query,
           const SearchOptions& options, const ScanPlan& plan)
        : files(files), tables(tables), scanPlan(plan), setup(tables, query, options),
          applied(files, tables) {}
    void run();

  private:
    void single(Seam& s);
    bool parallel(Seam& s);
    const CatalogueFiles& files;
    SearchTables& tables;
    const ScanPlan scanPlan;
    const ScanSetup setup;
    Applied applied;
};

void Search::single(Seam& s) {
    BlockParts parts;
    if (!parts.open(catalogue_local_path(files))) throw ScanFailure(parts.error_string());
    tables.HeaderBlockCount = 0;
    tables.ResultLineCount = 0;
    s.yield();
    Scan<Applied> scan(setup, applied);
    ProgressThrottle throttle;
    const std::atomic<bool> never{false};
    QByteArray bytes;
    qint64 lines = 0;
    QStringList parents;
    // Small parts, so that the progress window stays live.
    while (!applied.stopped() && parts.next(bytes, qsizetype(1) << 18)) {
        lines += scan_bytes(setup, scan, applied, bytes, never);
        parents = scan.parents();
        if (throttle.due()) {
            s.progress_label(2, QString::number(lines));
            s.yield();
        }
    }
    if (parts.failed) throw ScanFailure(parts.error_string());
    leave_parents(tables, parents);
}

bool Search::parallel(Seam& s) {
    const QString path = catalogue_local_path(files);
    const QFileInfo info(path);
    const int threads =
        scanPlan.threads > 0 ? scanPlan.threads : QThreadPool::globalInstance()->maxThreadCount();
    if (threads < 2 || !info.isFile() || info.size() < scanPlan.parallelFrom) return false;
    BlockParts parts;
    if (!parts.open(path)) throw ScanFailure(parts.error_string());
    tables.HeaderBlockCount = 0;
    tables.ResultLineCount = 0;
    s.yield();
    std::atomic<bool> abandon{false};
    struct Running {
        std::future<PartResult> result;
        std::unique_ptr<QByteArray> bytes;
    };
    std::deque<Running> running;
    std::vector<std::unique_ptr<QByteArray>> spare; // buffers of parts already merged
    auto start = [&]() -> bool {
        std::unique_ptr<QByteArray> bytes;
        if (spare.empty()) {
            bytes = std::make_unique<QByteArray>();
        } else {
            bytes = std::move(spare.back());
            spare.pop_back();
        }
        if (!parts.next(*bytes, qsizetype(scanPlan.partSize))) {
            spare.push_back(std::move(bytes));
            return false;
        }
        const QByteArray* b = bytes.get();
        auto task = std::make_shared<std::packaged_task<PartResult()>>(
            [this, b, &abandon] { return scan_part(setup, *b, abandon); });
        running.push_back({task->get_future(), std::move(bytes)});
        QThreadPool::globalInstance()->start([task] { (*task)(); });
        return true;
    };
    auto finish_all = [&] {
        abandon = true;
        for (Running& r : running)
            r.result.wait();
    };
    ProgressThrottle throttle;
    qint64 lines = 0;
    QStringList parents;
    bool reading = true;
    try {
        for (;;) {
            while (reading && int(running.size()) <= threads)
                reading = start();
            if (running.empty()) break;
            while (running.front().result.wait_for(std::chrono::milliseconds(10)) !=
                   std::future_status::ready) {
                s.yield();
            }
            PartResult r = running.front().result.get();
            std::unique_ptr<QByteArray> bytes = std::move(running.front().bytes);
            running.pop_front();
            lines += r.lines;
            qsizetype at = 0;
            const bool more = r.record.replay(applied, at);
            // A search that stops inside the part leaves the parents as they were there.
            const std::atomic<bool> never{false};
            parents = more ? r.parents : scan_part(setup, *bytes, never, at + 1).parents;
            spare.push_back(std::move(bytes));
            if (throttle.due()) {
                s.progress_label(2, QString::number(lines));
                s.yield();
            }
            if (!more) break;
        }
    } catch (...) {
        finish_all();
        throw;
    }
    finish_all();
    if (parts.failed) throw ScanFailure(parts.error_string());
    leave_parents(tables, parents);
    return true;
}

void Search::run() {
    Seam& s = seam();
    s.progress_show();
    s.progress_label(1, QStringLiteral("データ検索中です。") + G.CrLf +
                            QStringLiteral("しばらくお待ちください。"));
    s.progress_label(2, QString());
    s.progress_label(3, QString());
    s.yield();
    auto close_progress = [&] {
        for (int l = 1; l <= 3; ++l)
            s.progress_label(l, QString());
        s.progress_hide();
        s.yield();
    };
    try {
        size_search_tables(tables);
        if (!parallel(s)) single(s);
    } catch (const ScanFailure& f) {
        tables.HeaderBlockCount = 0;
        tables.ResultLineCount = 0;
        show_message(message_310(file_name_for_messages(files), f.cause));
        close_progress();
        return;
    }
    close_progress();
    if (applied.stopped()) return; // what was collected stays, unsorted
    if (tables.ResultLineCount > 0)
        sort_data(tables, setup.opt.sort);
    else
        show_message(message_309());
}

} // namespace

void read_data(const CatalogueFiles& files, SearchTables& tables, const SearchQuery& query,
               const SearchOptions& options, const ScanPlan& plan) {
    Search search(files, tables, query, options, plan);
    search.run();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of the search screen that decide how a search runs and what it shows.
// The screen binds its controls to these; the defaults are those of a first use.

struct SearchOptions {
    bool foldCase = true;    // "大文字／小文字": 区別無 (true) / 区別有
    bool foldWidth = true;   // "半角／全角": 区別無 (true) / 区別有
    bool wildcard = false;   // Check4 "ワイルドカード検索"
    bool headerOnly = false; // Check5 "見出しのみ検索"
    bool showHeaders = true; // Check1 "見出し表示"
    bool showDirs = false;   // Check2 "ディレクトリ表示"
    bool sort = true;        // Check3 "検索結果ソート"
    // Not a control: the scan skips the paths of blocks whose bytes cannot hold a hit
    // (off only to compare the two ways).
    bool skipBlocks = true;
};

// How a scan uses the machine: catalogues of at least `parallelFrom` bytes are scanned in
// parts of about `partSize` bytes by `threads` threads at once (0: one per core), smaller
// ones by one thread. The outcome is the same either way.
struct ScanPlan {
    int threads = 0;
    long long partSize = 1LL << 20;
    long long parallelFrom = 8LL << 20;
};

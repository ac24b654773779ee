// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The directories of one catalogue block, for the block directory viewer: taken from the
// search results in memory (get_dir_data) or read from the catalogue file (get_block_data).
#include <QString>
#include <QStringList>
#include <functional>

// What the viewer shows.
struct DirListing {
    QString label;     // Label1: the selected line, or "ディレクトリ数： N個"
    QStringList paths; // the directories, in display order
    QString text;      // Text1: the paths joined by CR LF, or the not-found sentence
};

// The path lines of block |G.SelectedBlockNo| among the current results, in their order.
// Nothing found: the not-found sentence, no message box.
DirListing get_dir_data();

// Reads block G.SelectedBlockNo from the catalogue file. The block is taken by its
// position, so two blocks with the same title line are told apart; when the block there
// does not carry G.SelectedResultLine as its title line (the file changed since the
// search), or holds no directory, message 505. Sorted when G.SortResults is 1.
// Messages 501, 502, 503 and 508 end the reading; what was read is still shown.
// `display`, when given, shows the not-found text before message 505 appears.
DirListing get_block_data(const std::function<void(const DirListing&)>& display = {});

// One block of the catalogue as stored.
struct CatalogueBlock {
    QString fields[10]; // header fields 1..10 (memo line breaks restored)
    QStringList paths;  // directory paths, sorted when asked
};

// Block `blockNo` (its position in the file), for tobrin-cli. Returns 0 when there is no
// such block (message 505, or the fault met before it), 1 when it was read whole, 2 when
// a fault ended the reading inside it. Message 505 also when it holds no directory.
int read_catalogue_block(int blockNo, bool sort, CatalogueBlock& out);

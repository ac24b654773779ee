// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the search conditions that the search screen and tobrin-cli search share:
// which and/or presets are offered for the filled strings and which one is selected, and
// which kinds of result line a search may show.
#include "search/search_options.h"
#include <QString>
#include <QStringList>
#include <cstdint>

// How many strings are filled; a string of blanks counts, blanks are searched for.
int filled_count(const QString (&words)[3]);

// Presets offered for `filledCount` filled strings: 0 for fewer than two, 2 for two
// (or, and), 6 for three.
int preset_count(int filledCount);

// The captions of the offered presets, in order: two for two filled strings (naming the
// filled pair), six for three, none otherwise.
QStringList preset_captions(const QString (&words)[3]);

// The preset selected once the offer changes from `wasShown` to `shown` presets (0, 2 or
// 6). `selected` is the one selected now, `remembered` the user's last choice (anything
// outside 1..6 is the or preset). Two shown: the remembered one when it is among them and
// the two were not shown before, and never one of 3 to 6. Six shown anew: the remembered
// one. Otherwise the selection stays.
int preset_after_change(int wasShown, int shown, int selected, int remembered);

// The remembered preset as the settings keep it (SavedSettings(10)): "1" to "6"; anything
// else is the or preset.
int saved_preset();

// Which kind of line a change of the display options was made to.
enum class ShownLines { Headers, Dirs };

// The display options made consistent: a header-only search shows header lines only;
// otherwise at least one kind of line stays shown, `kept` ticked again when both are off.
SearchOptions consistent_display(SearchOptions o, ShownLines kept = ShownLines::Headers);

// The options of a block search (every block's header line): header lines only, and the
// word "*" as a header-only wildcard search. Case, width and sort stay as they are.
SearchOptions block_search_options(SearchOptions o);

// The shared state that mirrors the options for the other screens: HeaderOnlySearch and
// SortResults.
void mirror_search_options(const SearchOptions& o);

// The nine values of the search screen's option buttons and check boxes, as the controls
// hold them (a check box may also be 2, greyed). The search itself takes its options as
// `SearchOptions`; the screen converts between the two.
struct SearchControls {
    bool Option2_1 = true;  // case not distinguished
    bool Option2_2 = false; // case distinguished
    bool Option4_1 = true;  // width not distinguished
    bool Option4_2 = false; // width distinguished
    int16_t Check1 = 1;     // show headers
    int16_t Check2 = 0;     // show directories
    int16_t Check3 = 1;     // sort results
    int16_t Check4 = 0;     // wildcard search
    int16_t Check5 = 0;     // header-only search
};

// code -1: options -> SavedSettings(1..9); code 1: SavedSettings(1..9) -> options and
// HeaderOnlySearch (a value that cannot be read takes its default); other codes: nothing.
void search_options(int16_t code, SearchControls& o);

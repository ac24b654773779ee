// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file (`IniFilePath`, default "tobrin.ini"): the window geometry of the
// eight screens and the twenty saved setting strings. Read at start-up, written at exit.
#include "core/arrays.h"
#include <QString>
#include <cstdint>

// Reader. Any failure (missing file, other version's title, a cut file, a bad number)
// gives the full defaults and sets `code` to 1; otherwise `code` is left as it is.
void load_settings(int16_t& code);

// Writer. Replaces the file atomically (in place where its folder cannot be written); silent
// on failure (also when the file is read-only or no regular file), leaving the previous file
// intact.
void save_settings();

// All defaults of FormPos and SavedSettings; CurrentDrive and SavedSettings(20) from the
// current directory unless CurrentDrive is an answering drive. result = 1.
void set_default_settings(int16_t& result);

// Default geometry and strings (also the initial values of the state).
Fixed2<int16_t, 8, 4> default_form_pos();
Fixed1<QString, 20> default_saved_settings();

// The nine values of the search screen's option buttons and check boxes, as the controls
// hold them (a check box may also be 2, greyed). The search itself takes its options as
// `SearchOptions` (search/search_options.h); the screen converts between the two.
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

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two yes/no questions that end the program or return to the main menu.
#include <cstdint>

// kind 1: "終了してよいですか。(001)"; Yes saves the settings, makes the exit backup and
// terminates; No sets kind = 0. kind 2: "メインメニューに戻ってもよいですか。(002)"; kind
// becomes the answer (6 Yes, 7 No). Other kinds: nothing.
void confirm(int16_t& kind);

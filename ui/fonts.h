// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configured font face is a Windows one ("ＭＳ ゴシック"); on Linux it renders with
// IPAGothic, else with any installed Japanese fixed-pitch font.
#include <QString>

// Registers the substitutions for the Windows Japanese faces; returns the family used
// for "ＭＳ ゴシック" (empty when no Japanese font is installed).
QString install_font_substitutions();

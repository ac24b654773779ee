// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the two screenshot programs share: letting the windows settle, saving a PNG of a
// window into the output folder, clicking a control by its name.
#include <QString>
#include <cstdint>

class QWidget;

// The folder the pictures go to, created when missing.
void set_shot_folder(const QString& dir);
const QString& shot_folder();
// Pictures saved so far.
int shot_count();
// Lets pending events (layout, paint) run.
void settle();
// Saves `w` as NAME.png in the folder and prints its path.
void save_shot(QWidget* w, const QString& name);
// Clicks the button `name` of screen `code`, if it is there, and settles.
void click_control(int16_t code, const QString& name);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What Qt draws itself (the file dialog of an image file, a text box's context menu) in
// the program's language: Qt's own Japanese catalogue, whatever the user's locale.

// Loads "qtbase_ja" from Qt's translations folder into the application; false when it is
// not installed (Qt's texts then stay English).
bool install_qt_translation();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Captions that stay readable at every configured font size: the screens keep their
// designed geometry, so where a caption does not fit its control at the configured
// size, that control's font steps down until it does.
class QWidget;

// True when the caption of `control` (label, field label, button, check box, option button,
// frame) fits inside it with its present font; true for controls without a caption.
bool caption_fits(const QWidget* control);
// Every caption of `screen` set to the largest size, from the configured one down, at
// which it fits.
void fit_captions(QWidget* screen);
// The size set_screen gives `control`; fitting never goes above it.
void set_configured_point_size(QWidget* control, int size);

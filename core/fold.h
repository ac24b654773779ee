// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two text foldings that matching and the result sort share, as the Windows platform
// gave them to the program: the narrow form (full-width characters with a half-width
// counterpart replaced by it) and the lower-case form. Always narrow first, then lower.
// Both are table look-ups, one pass, no allocation per character: a search folds every
// line of the catalogue.
#include <QString>
#include <QStringView>

// Replaces `out` with `in` folded (narrow and/or lower). `out` keeps its capacity, so a
// buffer reused across calls allocates only when a longer text comes by.
void fold_text(QStringView in, QString& out, bool narrow, bool lower);
// Appends the folded `in` to `out`.
void fold_text_append(QStringView in, QString& out, bool narrow, bool lower);

QString narrow_form(QStringView in);
QString lower_form(QStringView in);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers in text as the configuration and the catalogue read them: a leading number,
// rounded half to even into a range.
#include <QByteArrayView>
#include <QString>
#include <cstdint>

// The longest leading decimal number (sign, digits, fraction, exponent) after leading blanks
// and tabs; 0 when there is none. A number beyond a double sets `read` false and gives 0 when
// too small, an infinity that no range accepts when too large.
double leading_number(QByteArrayView text, bool* read = nullptr);

// The whole text as a finite number, blanks around it allowed.
bool whole_number(const QString& text, double& out);

// `d` rounded half to even, when that lies in lo..hi.
bool round_into(double d, double lo, double hi, int32_t& out);

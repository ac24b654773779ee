// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/number.h"
#include <cmath>

namespace {
bool digit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

double leading_number(QByteArrayView s, bool* read) {
    if (read) *read = true;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    qsizetype digits = 0;
    while (i < n && digit(s[i]))
        ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && digit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    qsizetype end = i;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < n && digit(s[j])) {
            while (j < n && digit(s[j]))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double d = s.sliced(start, end - start).toByteArray().toDouble(&ok);
    if (ok) return d;
    if (read) *read = false;
    // The text is a number, so it failed by its size: too small is 0, too large an infinity.
    if (end > i && s[i + 1] == '-') return 0;
    return s[start] == '-' ? -HUGE_VAL : HUGE_VAL;
}

bool whole_number(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    out = t.toDouble(&ok);
    return ok && std::isfinite(out);
}

bool round_into(double d, double lo, double hi, int32_t& out) {
    const double r = std::nearbyint(d); // the default rounding mode: halves to even
    if (!std::isfinite(r) || r < lo || r > hi) return false;
    out = static_cast<int32_t>(r);
    return true;
}

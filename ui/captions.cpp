// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/captions.h"
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVariant>
#include <algorithm>

namespace {
const char* const ConfiguredSize = "tobrinConfiguredPointSize";
// The smallest size a caption steps down to; below it nothing is readable anyway.
constexpr int SmallestSize = 5;

QSize text_extent(const QFontMetrics& fm, const QString& text) {
    int w = 0;
    const QStringList lines = text.split(u'\n');
    for (const QString& l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    return QSize(w, fm.height() + (int(lines.size()) - 1) * fm.lineSpacing());
}

// Japanese captions use little of the font's descent: a check box or option button line
// may overhang the control by this much without losing anything visible. A label's text
// may not: the label above a field would sit on it.
constexpr int HeightSlack = 2;

bool has_caption(const QWidget* c) {
    if (auto* l = qobject_cast<const QLabel*>(c))
        // Field values (the block view's) step down like captions; word-wrapped labels flow.
        return !l->text().isEmpty() && !l->wordWrap();
    if (auto* b = qobject_cast<const QAbstractButton*>(c)) return !b->text().isEmpty();
    if (auto* g = qobject_cast<const QGroupBox*>(c)) return !g->title().isEmpty();
    return false;
}

bool fits_with(const QWidget* c, const QFont& font) {
    const QFontMetrics fm(font);
    const QStyle* st = c->style();
    if (auto* l = qobject_cast<const QLabel*>(c)) {
        const QSize need = text_extent(fm, l->text());
        const QRect room = l->contentsRect();
        return need.width() <= room.width() && need.height() <= room.height();
    }
    if (auto* g = qobject_cast<const QGroupBox*>(c))
        return fm.horizontalAdvance(g->title()) + 2 * fm.averageCharWidth() <= g->width();
    auto* b = qobject_cast<const QAbstractButton*>(c);
    const QSize need = text_extent(fm, b->text().remove(u'&'));
    int extraW = 0;
    int extraH = 0;
    if (qobject_cast<const QCheckBox*>(b)) {
        extraW = st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b) +
                 st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
        extraH = -HeightSlack;
    } else if (qobject_cast<const QRadioButton*>(b)) {
        extraW = st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b) +
                 st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
        extraH = -HeightSlack;
    } else {
        // A push button's frame and its inner margin on each side.
        extraW = 2 * (st->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b) + 2);
        extraH = 2 * st->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
    }
    return need.width() + extraW <= b->width() && need.height() + extraH <= b->height();
}
} // namespace

bool caption_fits(const QWidget* c) {
    return !has_caption(c) || fits_with(c, c->font());
}

void set_configured_point_size(QWidget* control, int size) {
    control->setProperty(ConfiguredSize, size);
}

void fit_captions(QWidget* screen) {
    for (QWidget* c : screen->findChildren<QWidget*>()) {
        if (c->isWindow() || !has_caption(c)) continue;
        const QVariant configured = c->property(ConfiguredSize);
        if (!configured.isValid()) set_configured_point_size(c, c->font().pointSize());
        QFont f = c->font();
        int size = c->property(ConfiguredSize).toInt();
        f.setPointSize(size);
        while (size > SmallestSize && !fits_with(c, f))
            f.setPointSize(--size);
        // Only a change is set: a new font asks for a new layout, which fits again.
        if (f.pointSize() != c->font().pointSize()) c->setFont(f);
    }
}

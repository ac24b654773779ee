#include "catalogue/reader.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include <cmath>

namespace {
bool is_marker(QByteArrayView line, char digit) {
    return line.size() == 3 && line[0] == '*' && line[1] == '0' && line[2] == digit;
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool CatalogueParser::line(QByteArrayView line, CatalogueItem& item) {
    item.fault = FormatFault::None;
    if (line.size() == 3 && line[0] == '*') {
        if (is_marker(line, '1')) {
            section_ = Head;
            field_ = parents_ = 0;
            item.kind = CatalogueItem::Block;
            item.block = ++block_;
            item.text = line;
            return true;
        }
        // Lines before the first block belong to no block, markers among them too.
        if (section_ != Before && is_marker(line, '2')) {
            section_ = Dirs;
            parents_ = 0;
            item.kind = CatalogueItem::Parents;
            item.text = line;
            return true;
        }
        if (section_ != Before && is_marker(line, '3')) {
            section_ = Subdirs;
            item.kind = CatalogueItem::Entries;
            item.text = line;
            return true;
        }
    }
    switch (section_) {
    case Before:
        return false;
    case Head:
        item.field = ++field_;
        if (field_ > CatalogueHeaderFields) {
            item.kind = CatalogueItem::Fault;
            item.fault = FormatFault::ExtraHeader;
            item.text = line;
            return true;
        }
        item.kind = CatalogueItem::Header;
        if (line.startsWith('"')) line = line.sliced(1);
        if (line.endsWith('"')) line.chop(1);
        item.text = line;
        return true;
    case Dirs:
        item.kind = CatalogueItem::Parent;
        item.parent = ++parents_;
        item.text = line;
        return true;
    case Subdirs:
        item.kind = CatalogueItem::Entry;
        if (entries_)
            entry(line, item);
        else
            item.text = line;
        return true;
    }
    return false;
}

void CatalogueParser::entry(QByteArrayView line, CatalogueItem& item) const {
    // The comma follows a few digits: a plain loop beats a library call here.
    const char* b = line.data();
    const qsizetype len = line.size();
    qsizetype comma = 0;
    while (comma < len && b[comma] != ',')
        ++comma;
    item.text = QByteArrayView();
    if (comma == len || comma == 0) {
        item.fault = FormatFault::NoComma;
        return;
    }
    // Plain digits are the rule; blanks, signs, fractions and overflow take the general parse.
    int p = 0;
    qsizetype i = 0;
    while (i < comma && i < 5 && digit(b[i]))
        p = p * 10 + (b[i++] - '0');
    if ((i != comma || p > 32767) && !parse_parent_number(line.first(comma), p)) {
        item.fault = FormatFault::NumberOverflow;
        return;
    }
    item.parent = p;
    if (p < 1 || p > parents_) {
        item.fault = FormatFault::ParentRange;
        return;
    }
    QByteArrayView n = line.sliced(comma + 1);
    while (!n.isEmpty() && n.front() == ' ')
        n = n.sliced(1);
    while (!n.isEmpty() && n.back() == ' ')
        n.chop(1);
    item.text = n;
}

bool parse_parent_number(QByteArrayView text, int& value) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    qsizetype digits = 0;
    while (i < n && digit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && digit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0) {
        value = 0;
        return true;
    }
    qsizetype end = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && digit(text[j])) {
            while (j < n && digit(text[j]))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double d = text.sliced(start, end - start).toByteArray().toDouble(&ok);
    const double r = std::nearbyint(d); // the default rounding mode: halves to even
    if (!ok || !std::isfinite(r) || r < -32768 || r > 32767) return false;
    value = int(r);
    return true;
}

void decode_catalogue_text(QByteArrayView bytes, QString& out) {
    out.resize(0);
    decode_cp932_append(bytes, out);
    if (bytes.contains('&') && !catalogue_text_plain(out)) out = unescape_catalogue(out);
}

void decode_header_field(int field, QByteArrayView bytes, QString& out) {
    decode_catalogue_text(bytes, out);
    if (field == 3) {
        data_change(out, 1);
        data_change(out, 2);
    }
}

void data_change(QString& A, int i) {
    // One left-to-right pass replaces every occurrence, as repeating "replace the first
    // one" would: a CR or LF put in can never be part of a later token.
    if (i == 1)
        A.replace(QLatin1String("$RET$"), QStringLiteral("\r"));
    else if (i == 2)
        A.replace(QLatin1String("$LF$"), QStringLiteral("\n"));
}

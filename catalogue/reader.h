// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one reader of the catalogue format. It turns the file's lines into the items of its
// blocks (header fields, parent lines, subdirectory lines with their parent number) and
// knows every rule of the line grammar once: markers, lines before the first block, the
// quotes of header lines, the parent number and its range, the trimmed name. The search
// scan, the directory viewer and `tobrin-cli check` all read through it; they decide what
// a fault means for them (which message, whether to stop).
#include "core/line_reader.h"
#include <QByteArrayView>
#include <QString>

inline constexpr int CatalogueHeaderFields = 10;

// The leading number of the text before a subdirectory line's comma: blanks skipped, the
// longest leading decimal number (sign, digits, fraction, exponent; none gives 0), rounded
// to the nearest integer, halves to even. False when it does not fit in 16 bits.
bool parse_parent_number(QByteArrayView text, int& value);

enum class FormatFault {
    None,
    ExtraHeader,   // an eleventh (or later) header line in a block
    NoComma,       // a subdirectory line without a comma after its first character
    ParentRange,   // a parent number outside 1 .. the parent lines read so far
    NumberOverflow // a parent number that does not fit in 16 bits
};

struct CatalogueItem {
    enum Kind {
        Block,   // a "*01" line: a block begins (`block` is its number)
        Header,  // header field `field` (1 to 10): `text` is the line without its quotes
        Parents, // a "*02" line: the parent lines of the block follow
        Parent,  // parent line `parent`: `text` is the line as stored
        Entries, // a "*03" line: the subdirectory lines follow
        Entry,   // a subdirectory line: `parent` and the trimmed name in `text`, or `fault`
        Fault    // a header line past the tenth (`field` counts on)
    } kind = Block;
    QByteArrayView text;
    int block = 0, field = 0, parent = 0;
    FormatFault fault = FormatFault::None;
    // An entry whose line ends at its comma (the root placeholder "1,"): no name at all,
    // never a search result. A name of blanks only is an empty name, and its path is the
    // parent's.
    bool commaLast = false;
};

// The grammar without the file: fed one line at a time, so a reader of any byte source
// (the file, a part of it in memory) applies the same rules.
class CatalogueParser {
  public:
    // False for a line that yields nothing (before the first block).
    bool line(QByteArrayView line, CatalogueItem& item);
    // With entries off, subdirectory lines are passed on unparsed (text is the whole line,
    // no fault), for a reader that skips them.
    void parse_entries(bool on) { entries_ = on; }
    int blocks() const { return block_; }
    int parents() const { return parents_; }
    bool in_entries() const { return section_ == Subdirs && entries_; }

  private:
    void entry(QByteArrayView line, CatalogueItem& item) const;
    enum Section { Before, Head, Dirs, Subdirs } section_ = Before;
    int block_ = 0, field_ = 0, parents_ = 0;
    bool entries_ = true;
};

// The scan's hot path: the parser's rules are inline (a call per line out of reader.cpp
// costs a scan that reads every line about a sixth of its time).
inline bool catalogue_marker(QByteArrayView line, char digit) {
    return line.size() == 3 && line[0] == '*' && line[1] == '0' && line[2] == digit;
}

[[gnu::always_inline]] inline bool CatalogueParser::line(QByteArrayView line, CatalogueItem& item) {
    item.fault = FormatFault::None;
    if (line.size() == 3 && line[0] == '*') {
        if (catalogue_marker(line, '1')) {
            section_ = Head;
            field_ = parents_ = 0;
            item.kind = CatalogueItem::Block;
            item.block = ++block_;
            item.text = line;
            return true;
        }
        // Lines before the first block belong to no block, markers among them too.
        if (section_ != Before && catalogue_marker(line, '2')) {
            section_ = Dirs;
            parents_ = 0;
            item.kind = CatalogueItem::Parents;
            item.text = line;
            return true;
        }
        if (section_ != Before && catalogue_marker(line, '3')) {
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

inline void CatalogueParser::entry(QByteArrayView line, CatalogueItem& item) const {
    // The comma follows a few digits: a plain loop beats a library call here.
    const char* b = line.data();
    const qsizetype len = line.size();
    qsizetype comma = 0;
    while (comma < len && b[comma] != ',')
        ++comma;
    item.text = QByteArrayView();
    item.commaLast = comma + 1 == len;
    if (comma == len || comma == 0) {
        item.fault = FormatFault::NoComma;
        return;
    }
    // Plain digits are the rule; blanks, signs, fractions and overflow take the general parse.
    int p = 0;
    qsizetype i = 0;
    while (i < comma && i < 5 && (b[i] >= '0' && b[i] <= '9'))
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

// The catalogue file read through the parser.
class CatalogueReader {
  public:
    bool open(const QString& path) { return lines_.open(path); }
    void open_bytes(const QByteArray& bytes) { lines_.open_bytes(bytes); }
    // The next item; false at the end of the file or on a read error (failed()).
    [[gnu::always_inline]] bool next(CatalogueItem& item) {
        QByteArrayView l;
        while (lines_.next(l)) {
            ++lineNo_;
            if (parser_.line(l, item)) return true;
        }
        return false;
    }
    // Reads on over the subdirectory lines before `until` that are in order (plain digits
    // of a parent number in range, a comma): they yield only a name, which the caller has
    // ruled out. Stops at any other line, which next() then reads. Only for bytes opened
    // with open_bytes, `until` within them.
    void skim_entries(const char* until);
    qint64 line_number() const { return lineNo_; }
    CatalogueParser& parser() { return parser_; }
    bool failed() const { return lines_.failed(); }
    QString error_string() const { return lines_.error_string(); }

  private:
    ByteLineReader lines_;
    CatalogueParser parser_;
    qint64 lineNo_ = 0;
};

// The text of a catalogue line or part of one: code page 932 decoded and the "&#N;"
// escapes of the writer undone. `out` is replaced; its buffer is reused.
void decode_catalogue_text(QByteArrayView bytes, QString& out);

// Header field `field` as stored in `bytes` (quotes already removed): decoded, and for the
// memo field its line breaks restored.
void decode_header_field(int field, QByteArrayView bytes, QString& out);

// Undoes the memo escape in place: i = 1 turns every "$RET$" into CR, i = 2 every "$LF$"
// into LF; any other i leaves `A` alone.
void data_change(QString& A, int i);

// A parent line as the start of a path: with its trailing backslash (a hand-edited file
// may lack it).
inline void end_parent_path(QString& parent) {
    if (!parent.endsWith(u'\\')) parent.append(u'\\');
}

#pragma once
// A catalogue for the search-flow screen tests, block by block through the writer's own
// encoding, and helpers that drive the search screen as the user does.
#include "../ui/gui_fixture.h"
#include "catalogue/writer.h"
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

struct ScreenBlock {
    QString title, year, month, volume;
    // parent slots ("\", "\DOS\") and entries "slot,name"
    QStringList parents{QStringLiteral("\\")};
    QList<QPair<int, QString>> entries;
};

// Appends one block as a registration would write it.
inline void append_block(const QString& dat, const ScreenBlock& b) {
    for (int k = 1; k <= 10; ++k)
        G.HeaderTable(1, k).clear();
    G.HeaderTable(1, 1) = b.title;
    G.HeaderTable(1, 4) = b.year;
    G.HeaderTable(1, 5) = b.month;
    G.HeaderTable(1, 7) = QStringLiteral("1999/05/12 10:30:00");
    G.HeaderTable(1, 8) = b.volume;
    G.HeaderTable(1, 9) = QStringLiteral("q");
    G.DirCount = static_cast<int16_t>(b.parents.size());
    for (int i = 0; i < b.parents.size(); ++i)
        G.DirPaths(i + 1) = b.parents[i];
    G.EntryCount = static_cast<int16_t>(b.entries.size());
    for (int i = 0; i < b.entries.size(); ++i) {
        G.EntryParentIndex(i + 1) = static_cast<int16_t>(b.entries[i].first);
        G.EntryNames(i + 1) = b.entries[i].second;
    }
    QFile f(dat);
    QVERIFY(f.open(QIODevice::Append));
    f.write(encode_catalogue_block());
}

// Three media; the first and third carry the same title line, with other directories.
inline void write_sample_catalogue(const QString& dat) {
    QFile::remove(dat);
    append_block(dat, {QStringLiteral("DOS/V magazine"),
                       QStringLiteral("1999"),
                       QStringLiteral("5"),
                       QStringLiteral("CD01"),
                       {QStringLiteral("\\"), QStringLiteral("\\DOS\\")},
                       {{1, QStringLiteral("DOS")},
                        {1, QStringLiteral("GAMES")},
                        {2, QStringLiteral("TOOLS")},
                        {2, QStringLiteral("Util")}}});
    append_block(dat, {QStringLiteral("Windows Power"),
                       QStringLiteral("2000"),
                       QStringLiteral("12"),
                       QString(),
                       {QStringLiteral("\\")},
                       {{1, QStringLiteral("WIN")}, {1, QStringLiteral("tools")}}});
    append_block(dat, {QStringLiteral("DOS/V magazine"),
                       QStringLiteral("1999"),
                       QStringLiteral("5"),
                       QStringLiteral("CD01"),
                       {QStringLiteral("\\")},
                       {{1, QStringLiteral("ZIP")}, {1, QStringLiteral("ARC")}}});
    G.ProgressFlags = 0;
}

inline QString title_a() {
    return QStringLiteral("DOS/V magazine 1999  5  [Vol:CD01]");
}
inline QString title_b() {
    return QStringLiteral("Windows Power 2000 12");
}

inline void type_word(int field, const QString& text) {
    auto* t = control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_%1").arg(field));
    QVERIFY(t);
    t->setText(text);
}

// The list's entries as "kind|text".
inline QStringList listed() {
    QStringList l;
    auto* list = control<QListWidget>(ScreenSearchData, QStringLiteral("List1"));
    for (int i = 0; list && i < list->count(); ++i)
        l << QString::number(list->item(i)->data(Qt::UserRole).toInt()) + u'|' +
                 list->item(i)->text();
    return l;
}

// Selects entry `row` of List1 and presses Enter in it.
inline void open_row(int row) {
    auto* list = control<QListWidget>(ScreenSearchData, QStringLiteral("List1"));
    QVERIFY(list);
    list->setCurrentRow(row);
    // Only the press: the release would reach a list that the opened view disabled.
    QTest::keyPress(list, Qt::Key_Return);
    settle();
}

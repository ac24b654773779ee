// SPDX-License-Identifier: GPL-3.0-or-later
// The rules shared by the search screen and tobrin-cli search: presets offered and
// selected, display options kept consistent, the remembered preset.
#include "core/state.h"
#include "search/search_rules.h"
#include "test_env.h"
#include <QTest>

class TestSearchRules : public QObject {
    Q_OBJECT
  private slots:
    void init() { fresh_state(); }

    void captions_name_the_filled_fields_data() {
        QTest::addColumn<QString>("words"); // fields [1]|[2]|[3]
        QTest::addColumn<QStringList>("captions");
        const QStringList three{" [1]  or  [2]   or [3]",  " [1] and  [2]  and [3]",
                                "([1]  or  [2]) and [3]",  "([1] and  [2])  or [3]",
                                " [1]  or ([2]  and [3])", " [1] and ([2]   or [3])"};
        QTest::newRow("none") << "||" << QStringList{};
        QTest::newRow("one") << "|b|" << QStringList{};
        QTest::newRow("1 and 2") << "a|b|" << QStringList{"[1]  or [2]", "[1] and [2]"};
        QTest::newRow("1 and 3") << "a||c" << QStringList{"[1]  or [3]", "[1] and [3]"};
        QTest::newRow("2 and 3") << "|b|c" << QStringList{"[2]  or [3]", "[2] and [3]"};
        QTest::newRow("blanks count as filled")
            << " |b|" << QStringList{"[1]  or [2]", "[1] and [2]"};
        QTest::newRow("three") << "a|b|c" << three;
    }
    void captions_name_the_filled_fields() {
        QFETCH(QString, words);
        QFETCH(QStringList, captions);
        const QString w[3] = {words.section(u'|', 0, 0), words.section(u'|', 1, 1),
                              words.section(u'|', 2, 2)};
        QCOMPARE(preset_captions(w), captions);
        QCOMPARE(preset_count(filled_count(w)), int(captions.size()));
        // The bracketed numbers begin at the same positions in every caption of a kind.
        for (const QString& c : captions)
            QCOMPARE(c.indexOf(u'['), captions.size() == 6 ? 1 : 0);
    }

    void selection_after_the_offer_changes_data() {
        QTest::addColumn<int>("was");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("remembered");
        QTest::addColumn<int>("expected");
        QTest::newRow("two appear: the remembered and") << 0 << 2 << 1 << 2 << 2;
        QTest::newRow("two appear: remembered 5 leaves 1") << 0 << 2 << 1 << 5 << 1;
        QTest::newRow("two appear over a selected 4: or") << 0 << 2 << 4 << 4 << 1;
        QTest::newRow("two stay: the user's choice stays") << 2 << 2 << 2 << 1 << 2;
        QTest::newRow("six drop to two from 2: stays") << 6 << 2 << 2 << 5 << 2;
        QTest::newRow("six drop to two from 3: or") << 6 << 2 << 3 << 3 << 1;
        QTest::newRow("six drop to two from 6: or") << 6 << 2 << 6 << 6 << 1;
        QTest::newRow("six appear: the remembered one") << 2 << 6 << 1 << 6 << 6;
        QTest::newRow("six stay: the selection stays") << 6 << 6 << 3 << 5 << 3;
        QTest::newRow("none shown: the selection stays") << 2 << 0 << 2 << 1 << 2;
        QTest::newRow("remembered out of range is or") << 2 << 6 << 2 << 7 << 1;
        QTest::newRow("remembered 0 is or") << 0 << 2 << 2 << 0 << 1;
    }
    void selection_after_the_offer_changes() {
        QFETCH(int, was);
        QFETCH(int, shown);
        QFETCH(int, selected);
        QFETCH(int, remembered);
        QFETCH(int, expected);
        QCOMPARE(preset_after_change(was, shown, selected, remembered), expected);
    }

    void display_stays_consistent_data() {
        QTest::addColumn<QString>("given"); // headerOnly, showHeaders, showDirs as 0/1
        QTest::addColumn<bool>("keptDirs");
        QTest::addColumn<QString>("expected"); // showHeaders, showDirs
        QTest::newRow("header-only forces headers only") << "101" << false << "10";
        QTest::newRow("header-only ticks headers back") << "101" << true << "10";
        QTest::newRow("header-only with both off") << "100" << true << "10";
        QTest::newRow("both off: headers back") << "000" << false << "10";
        QTest::newRow("both off: dirs back") << "000" << true << "01";
        QTest::newRow("dirs alone stay") << "001" << false << "01";
        QTest::newRow("headers alone stay") << "010" << true << "10";
        QTest::newRow("both stay") << "011" << false << "11";
    }
    void display_stays_consistent() {
        QFETCH(QString, given);
        QFETCH(bool, keptDirs);
        QFETCH(QString, expected);
        SearchOptions o;
        o.headerOnly = given[0] == u'1';
        o.showHeaders = given[1] == u'1';
        o.showDirs = given[2] == u'1';
        o.foldCase = false;
        o.sort = false;
        const SearchOptions c =
            consistent_display(o, keptDirs ? ShownLines::Dirs : ShownLines::Headers);
        QCOMPARE(QString::number(c.showHeaders) + QString::number(c.showDirs), expected);
        // Nothing else changes.
        QCOMPARE(c.headerOnly, o.headerOnly);
        QVERIFY(!c.foldCase && !c.sort);
    }

    void block_search_keeps_case_width_and_sort() {
        SearchOptions o;
        o.foldCase = false;
        o.foldWidth = false;
        o.sort = false;
        o.showDirs = true;
        const SearchOptions b = block_search_options(o);
        QVERIFY(b.showHeaders && !b.showDirs && b.wildcard && b.headerOnly);
        QVERIFY(!b.foldCase && !b.foldWidth && !b.sort);
    }

    void saved_preset_reads_one_digit_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("preset");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("6") << "6" << 6;
        QTest::newRow("blanks around") << " 4 " << 4;
        QTest::newRow("0") << "0" << 1;
        QTest::newRow("7") << "7" << 1;
        QTest::newRow("two digits") << "12" << 1;
        QTest::newRow("full-width") << "３" << 1;
    }
    void saved_preset_reads_one_digit() {
        QFETCH(QString, saved);
        QFETCH(int, preset);
        G.SavedSettings(10) = saved;
        QCOMPARE(saved_preset(), preset);
    }
};

QTEST_GUILESS_MAIN(TestSearchRules)
#include "tst_search_rules.moc"

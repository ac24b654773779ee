#include "core/state.h"
#include "register/header_fields.h"
#include "test_env.h"
#include <QTest>

class TestHeaderFields : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fresh_state();
        G.HeaderTable.redim(G.MaxHeaderBlocks);
        G.VolumeLabel = QStringLiteral("MYDISC");
        G.CurrentDrive = QStringLiteral("q");
        G.SelectedResultLine = QStringLiteral("old line");
        G.HeaderViewFromSearch = 1;
    }

    void stores_all_ten_fields() {
        G.ProgressFlags = 1;
        const HeaderEntry e{"Sample Disc", "Example Press", "a\r\nb", "1999", "5", "memo"};
        QVERIFY(store_registration_header(e));
        const QStringList expected{"Sample Disc",
                                   "Example Press",
                                   "a\r\nb",
                                   "1999",
                                   "5",
                                   "memo",
                                   "データ登録時に設定します。",
                                   "MYDISC",
                                   "q",
                                   ""};
        for (int f = 1; f <= 10; ++f)
            QCOMPARE(G.HeaderTable(1, f), expected[f - 1]);
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QCOMPARE(G.SelectedResultLine, QString());
        QCOMPARE(G.HeaderViewFromSearch, int16_t(0));
    }

    void any_text_header_is_enough_data() {
        QTest::addColumn<int>("which");
        for (int w = 0; w < 4; ++w)
            QTest::addRow("header %d", w) << w;
    }
    void any_text_header_is_enough() {
        QFETCH(int, which);
        HeaderEntry e;
        QString* fields[] = {&e.title, &e.publisher, &e.memo, &e.header6};
        *fields[which] = QStringLiteral("x");
        QVERIFY(store_registration_header(e));
        QCOMPARE(G.ProgressFlags, int16_t(2));
    }

    void year_and_month_alone_store_nothing() {
        G.HeaderTable(1, 1) = QStringLiteral("kept");
        const HeaderEntry e{"", "", "", "2024", "5", ""};
        QVERIFY(!store_registration_header(e));
        QCOMPARE(G.HeaderTable(1, 1), QStringLiteral("kept"));
        QCOMPARE(G.HeaderTable(1, 4), QString());
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QCOMPARE(G.SelectedResultLine, QStringLiteral("old line"));
        QCOMPARE(G.HeaderViewFromSearch, int16_t(0));
    }

    void date_defaults_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::newRow("May has no leading zero") << QDate(1999, 5, 12) << "1999"
                                                 << "5";
        QTest::newRow("December") << QDate(2024, 12, 31) << "2024"
                                  << "12";
    }
    void date_defaults() {
        QFETCH(QDate, today);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QString y, m;
        header_date_defaults(today, y, m);
        QCOMPARE(y, year);
        QCOMPARE(m, month);
    }
};

QTEST_GUILESS_MAIN(TestHeaderFields)
#include "tst_header_fields.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/state.h"
#include "register/header_fields.h"
#include "test_env.h"
#include <QTest>

class TestHeaderFields : public QObject {
    Q_OBJECT
  private slots:
    // Field 7 holds the note that the date is set at registration, 8 the volume label, 9 the
    // drive. Year and month are preset on every fresh screen (today's, the month without a
    // leading zero): alone they are no entry.
    void stores_an_entry_but_not_the_date_alone() {
        fresh_state();
        G.HeaderTable.redim(G.MaxHeaderBlocks);
        G.HeaderTable(1, 10) = QStringLiteral("old");
        G.VolumeLabel = QStringLiteral("MYDISC");
        G.CurrentDrive = QStringLiteral("q");
        G.ProgressFlags = 1;
        QVERIFY(store_registration_header({"", "", "", "1999", "5", "H6"}));
        QStringList stored;
        for (int f = 1; f <= 10; ++f)
            stored << G.HeaderTable(1, f);
        QCOMPARE(stored.join(u'|'), u"|||1999|5|H6|データ登録時に設定します。|MYDISC|q|"_qs);
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QString y, m;
        header_date_defaults(QDate(2024, 6, 12), y, m);
        QVERIFY(!store_registration_header({"", "", "", y, m, ""}));
        QCOMPARE(y + u'/' + m, QStringLiteral("2024/6"));
        QCOMPARE(G.HeaderTable(1, 4), QStringLiteral("1999"));
    }
};

QTEST_GUILESS_MAIN(TestHeaderFields)
#include "tst_header_fields.moc"

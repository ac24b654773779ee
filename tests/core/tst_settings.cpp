#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    QString ini() const { return tmp.filePath("tobrin.ini"); }

    void prepare() {
        fresh_state();
        QFile::remove(ini());
        G.IniFilePath = ini();
        G.DriveLetters = QStringLiteral("c");
        platform_map_drives(QString());
    }

    static QStringList good_lines() {
        QStringList l{"Tobrin  Ver.1.8a"};
        for (int n = 1; n <= 8; ++n)
            l << QStringLiteral(" %1  ,  %2  ,  1000  ,  2000 ").arg(n).arg(-n);
        l << "False"
          << "True"
          << "False"
          << "True"
          << "0"
          << "1"
          << "0"
          << "1"
          << "1";
        for (int i = 10; i <= 19; ++i)
            l << QString();
        l << "d";
        return l;
    }

  private slots:
    void fresh_state_holds_the_defaults() {
        fresh_state();
        QCOMPARE(G.FormPos(1, 3), int16_t(7800));
        QCOMPARE(G.FormPos(3, 4), int16_t(7152));
        QCOMPARE(G.FormPos(8, 4), int16_t(1536));
        QCOMPARE(G.SavedSettings(1), QStringLiteral("True"));
        QCOMPARE(G.SavedSettings(9), QStringLiteral("0"));
        QCOMPARE(G.SavedSettings(10), QString());
    }

    void defaults_written_exactly() {
        prepare();
        int16_t r = 0;
        set_default_settings(r);
        QCOMPARE(r, int16_t(1));
        QCOMPARE(G.CurrentDrive, QStringLiteral("c"));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("c"));
        G.FormPos(4, 1) = -120;
        save_settings();
        const QByteArray bytes = read_bytes(ini());
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 30); // 29 lines, each ending in CR LF
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(lines.at(0), QByteArray("Tobrin  Ver.1.8a\r"));
        QCOMPARE(lines.at(1), QByteArray(" 0  ,  0  ,  7800  ,  4248 \r"));
        QCOMPARE(lines.at(1).size(), 28);
        QCOMPARE(lines.at(4), QByteArray("-120  ,  0  ,  4140  ,  2844 \r"));
        QCOMPARE(lines.at(9), QByteArray("True\r"));
        QCOMPARE(lines.at(18), QByteArray("\r"));
        QCOMPARE(lines.at(28), QByteArray("c\r"));
    }

    void round_trip() {
        prepare();
        int16_t r = 0;
        set_default_settings(r);
        G.FormPos(2, 1) = -32768;
        G.FormPos(5, 2) = 32767;
        G.SavedSettings(7) = QStringLiteral("0");
        G.SavedSettings(12) = QStringLiteral("ﾒﾓ, with a comma");
        G.SavedSettings(20) = QStringLiteral("q");
        const auto pos = G.FormPos;
        const auto saved = G.SavedSettings;
        save_settings();
        fresh_state();
        G.IniFilePath = ini();
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(code, int16_t(100));
        QVERIFY(G.FormPos == pos);
        QVERIFY(G.SavedSettings == saved);
    }

    void loads_a_good_file_with_lf_lines() {
        prepare();
        write_bytes(ini(), good_lines().join(u'\n').toLatin1());
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(code, int16_t(100));
        QCOMPARE(G.FormPos(3, 1), int16_t(3));
        QCOMPARE(G.FormPos(3, 2), int16_t(-3));
        QCOMPARE(G.SavedSettings(1), QStringLiteral("False"));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("d"));
    }

    void bad_files_fall_back_to_all_defaults_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("exists");
        QStringList cut = good_lines().mid(0, 5);
        QStringList other = good_lines();
        other[0] = "Tobrin  Ver.1.7";
        QStringList lower = good_lines();
        lower[0] = "tobrin  ver.1.8a";
        QStringList notNumber = good_lines();
        notNumber[4] = " 0 , x , 10 , 10";
        QStringList tooBig = good_lines();
        tooBig[6] = " 0 , 40000 , 10 , 10";
        QStringList threeFields = good_lines();
        threeFields[2] = " 0 , 0 , 10";
        QStringList emptyField = good_lines();
        emptyField[8] = " 0 , , 10 , 10";
        QStringList oneShort = good_lines().mid(0, 28);
        QTest::newRow("no file") << QStringList() << false;
        QTest::newRow("empty file") << QStringList() << true;
        QTest::newRow("cut after line 5") << cut << true;
        QTest::newRow("other version") << other << true;
        QTest::newRow("title compared case-sensitively") << lower << true;
        QTest::newRow("field not a number") << notNumber << true;
        QTest::newRow("number beyond 16 bits") << tooBig << true;
        QTest::newRow("three numbers on a line") << threeFields << true;
        QTest::newRow("empty number field") << emptyField << true;
        QTest::newRow("last line missing") << oneShort << true;
    }
    void bad_files_fall_back_to_all_defaults() {
        QFETCH(QStringList, lines);
        QFETCH(bool, exists);
        prepare();
        if (exists) write_cp932_file(ini(), lines);
        G.FormPos(1, 1) = 555;
        G.SavedSettings(5) = QStringLiteral("2");
        G.CurrentDrive = QStringLiteral("q"); // not an answering drive
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(code, int16_t(1));
        QVERIFY(G.FormPos == default_form_pos());
        QCOMPARE(G.SavedSettings(5), QStringLiteral("1"));
        QCOMPARE(G.CurrentDrive, QStringLiteral("c"));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("c"));
    }

    void quoted_title_and_trailing_fields() {
        prepare();
        QStringList l = good_lines();
        l[0] = "\"Tobrin  Ver.1.8a\",extra";
        write_cp932_file(ini(), l);
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(code, int16_t(100));
    }

    void default_keeps_an_answering_drive() {
        prepare();
        G.DriveLetters = QStringLiteral("cq");
        G.CurrentDrive = QStringLiteral("q");
        G.SavedSettings(20) = QStringLiteral("q");
        int16_t r = 0;
        set_default_settings(r);
        QCOMPARE(G.CurrentDrive, QStringLiteral("q"));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("q"));
    }

    void writer_refuses_and_keeps_the_previous_file_data() {
        QTest::addColumn<bool>("readOnly"); // else: the path names a directory
        QTest::newRow("read-only file") << true;
        QTest::newRow("missing directory") << false;
    }
    void writer_refuses_and_keeps_the_previous_file() {
        QFETCH(bool, readOnly);
        prepare();
        if (readOnly) {
            touch(ini(), "previous");
            QFile::setPermissions(ini(), QFile::ReadOwner);
        } else {
            G.IniFilePath = tmp.filePath("no/such/dir/tobrin.ini");
        }
        save_settings(); // silent: no seam is involved
        if (readOnly) {
            QCOMPARE(read_bytes(ini()), QByteArray("previous"));
            QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner);
        } else {
            QVERIFY(!QFile::exists(G.IniFilePath));
        }
        QCOMPARE(QDir(tmp.path()).entryList({"*.ini.*"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    void search_options_to_controls_data() {
        QTest::addColumn<QStringList>("saved"); // SavedSettings(1..9)
        QTest::addColumn<QString>("expected");  // o2_1 o2_2 o4_1 o4_2 c1..c5
        QTest::newRow("defaults") << QStringList{"True", "False", "True", "False", "1",
                                                 "0",    "1",     "0",    "0"}
                                  << "1010 10100";
        QTest::newRow("either case, numbers")
            << QStringList{"false", "TRUE", "0", "-1", "2", "1", "0", "1", "1"} << "0101 21011";
        QTest::newRow("leading number, none gives cleared")
            << QStringList{"False", "True", "True", "False", "1x", "", "abc", " 2", "1"}
            << "0110 10021";
        QTest::newRow("unreadable values take their defaults")
            << QStringList{"yes", "maybe", "", "False", "3", "-1", "9", "0", "7"} << "1010 10100";
        QTest::newRow("both of a pair selected: the second wins")
            << QStringList{"True", "True", "True", "True", "0", "0", "0", "0", "0"} << "0101 00000";
    }
    void search_options_to_controls() {
        QFETCH(QStringList, saved);
        QFETCH(QString, expected);
        fresh_state();
        for (int i = 1; i <= 9; ++i)
            G.SavedSettings(i) = saved.at(i - 1);
        SearchControls o;
        o.Check1 = 2;
        search_options(1, o);
        const QString got = QString::number(o.Option2_1) + QString::number(o.Option2_2) +
                            QString::number(o.Option4_1) + QString::number(o.Option4_2) + u' ' +
                            QString::number(o.Check1) + QString::number(o.Check2) +
                            QString::number(o.Check3) + QString::number(o.Check4) +
                            QString::number(o.Check5);
        QCOMPARE(got, expected);
        QCOMPARE(G.HeaderOnlySearch, o.Check5);
    }

    void search_options_to_settings_and_other_codes() {
        fresh_state();
        SearchControls o{false, true, true, false, 0, 1, 2, 1, 1};
        search_options(-1, o);
        QStringList got;
        for (int i = 1; i <= 9; ++i)
            got << G.SavedSettings(i);
        QCOMPARE(got, (QStringList{"False", "True", "True", "False", "0", "1", "2", "1", "1"}));
        const auto before = G.SavedSettings;
        SearchControls p;
        p.Check1 = 0;
        search_options(-3, p);
        search_options(0, p);
        QVERIFY(G.SavedSettings == before);
        QCOMPARE(p.Check1, int16_t(0));
        QCOMPARE(G.HeaderOnlySearch, int16_t(0));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

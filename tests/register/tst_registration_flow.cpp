// The whole registration by mouse and keyboard, from the main menu to the bytes of
// tobrin.dat: acquisition of a pinned directory, pruning, deleting one directory, header
// entry with the publisher fill, confirmation and registration.
#include "../ui/gui_fixture.h"
#include "core/codepage.h"
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {
void type_into(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
    settle();
}
} // namespace

class TstRegistrationFlow : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

  private slots:
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void registerADiscEndToEnd() {
        // DOCS (a file), EMPTY (nothing: pruned), TOOLS (a file) with BIN (a file) and
        // OLD (a file, deleted by hand).
        make_dirs(env.disc.path(), {"DOCS", "EMPTY", "TOOLS/BIN", "TOOLS/OLD"});
        for (const char* f : {"DOCS/read.me", "TOOLS/t.exe", "TOOLS/BIN/b.com", "TOOLS/OLD/o.txt"})
            touch(env.on_disc(QString::fromLatin1(f)));
        env.start({QStringLiteral("#13:4")});
        G.MagazineCount = 2;
        G.MagazineTitles = Array1<QString>{"Sample Disc", "Other"};
        G.MagazinePublishers = Array1<QString>{"Example Press", ""};
        open_screen(ScreenMenu1);

        QVERIFY(click(ScreenMenu1, "Command1"));     // ﾃﾞｨﾚｸﾄﾘ取得
        QVERIFY(click(ScreenSearchDir, "Command3")); // 取得開始
        auto* list = control<QListWidget>(ScreenSearchDir, "List1");
        QCOMPARE(list->count(), 5);
        QVERIFY(click(ScreenSearchDir, "Command5")); // prune
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(3)->text(), QStringLiteral("\\TOOLS\\OLD"));
        list->setFocus();
        list->setCurrentRow(3);
        QTest::keyClick(list, Qt::Key_Return);
        settle();
        QVERIFY(click(ScreenDelDir, "Command3")); // ﾃﾞｨﾚｸﾄﾘ 削 除
        QCOMPARE(list->count(), 3);
        QVERIFY(click(ScreenSearchDir, "Command1")); // 次 へ

        auto* title = control<QComboBox>(ScreenHeaderInput, "Combo1_1");
        title->setCurrentIndex(0);
        emit title->activated(0);
        QCOMPARE(control<QComboBox>(ScreenHeaderInput, "Combo1_2")->currentText(),
                 QStringLiteral("Example Press"));
        auto* memo = control<QPlainTextEdit>(ScreenHeaderInput, "Text1_1");
        type_into(memo, QStringLiteral("first line"));
        QTest::keyClick(memo, Qt::Key_Return);
        type_into(memo, QStringLiteral("second line"));
        control<QComboBox>(ScreenHeaderInput, "Combo1_3")->setEditText(QStringLiteral("1999"));
        control<QComboBox>(ScreenHeaderInput, "Combo1_4")->setEditText(QStringLiteral("5"));
        type_into(control<QLineEdit>(ScreenHeaderInput, "Text1_2"), QStringLiteral("メモ"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3")); // 次 へ

        seam.expect("登録しますか。", AnswerYes);
        seam.expect("(111)");
        seam.expect("(105)");
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 登録
        QVERIFY(screen_instance(ScreenMenu1));
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QVERIFY(control(ScreenMenu1, "Command4")->isHidden());
        QVERIFY(control(ScreenMenu1, "Command5")->isEnabled());

        const QByteArray bytes = read_bytes(env.dat());
        QStringList lines;
        QVERIFY(read_cp932_lines(env.dat(), lines));
        QCOMPARE(lines.size(), 18);
        const QString stamp = lines.at(7);
        QVERIFY(
            QRegularExpression(QStringLiteral("^\"\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\"$"))
                .match(stamp)
                .hasMatch());
        const QStringList expected{"*01",
                                   "\"Sample Disc\"",
                                   "\"Example Press\"",
                                   "\"first line$RET$$LF$second line\"",
                                   "\"1999\"",
                                   "\"5\"",
                                   "\"メモ\"",
                                   stamp,
                                   "\"\"",
                                   "\"q\"",
                                   "\"\"",
                                   "*02",
                                   "\\",
                                   "\\TOOLS\\",
                                   "*03",
                                   "1,DOCS",
                                   "1,TOOLS",
                                   "2,BIN"};
        QByteArray want;
        for (const QString& l : expected)
            want += encode_cp932(l) + "\r\n";
        QCOMPARE(bytes, want);
        // The after-registration backup (BackupMode 4) is a copy of it.
        QCOMPARE(read_bytes(env.backup()), bytes);
    }
};

QTEST_MAIN(TstRegistrationFlow)
#include "tst_registration_flow.moc"

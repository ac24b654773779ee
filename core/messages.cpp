// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/messages.h"
#include "core/state.h"
#include <QStringList>
#include <cstring>

namespace {

// Further sentences follow the first after an empty line.
QString sentences(const QStringList& parts) {
    return parts.join(G.CrLf + G.CrLf);
}

QString numbered(const QString& sentence, int number) {
    return sentence + u'(' + QString::number(number) + u')';
}

const QString StopReading = QStringLiteral("データの読み込みを中断します。");

// Capacities are quoted in full-width digits ("200" -> "２００").
QString full_width_number(qint64 n) {
    QString s = QString::number(n);
    for (QChar& c : s) {
        if (c >= u'0' && c <= u'9')
            c = QChar(char16_t(0xFF10 + (c.unicode() - u'0')));
        else if (c == u'-')
            c = QChar(char16_t(0xFF0D));
    }
    return s;
}

QString over_capacity(const QString& what, int capacity, int number) {
    return numbered(what + full_width_number(capacity) + QStringLiteral("個を超えました。"),
                    number);
}

QString search_over_capacity(const QString& what, int capacity, int number) {
    return sentences({over_capacity(what, capacity, number),
                      QStringLiteral("検索条件をもっと厳しくして再度検索を実行して下さい。"),
                      StopReading});
}

// A catalogue that breaks the documented format.
QString format_fault(const QString& sentence, int number, const QString& catalogue) {
    return sentences({numbered(sentence, number),
                      QStringLiteral("データファイルがtobrin.doc記載のフォーマットになっているか"
                                     "エディタなどでチェックして下さい。"),
                      QStringLiteral("データファイル：") + catalogue, StopReading});
}

const QString TenHeaderLines = QStringLiteral("見出しデータが１０行を超えています。");
const QString DirFault = QStringLiteral("ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。");
const QString SubDirFault = QStringLiteral("下位(*03以降)ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。");
const QString DirCount = QStringLiteral("ﾃﾞｨﾚｸﾄﾘ数が");
const QString ResultCount = QStringLiteral("検索一致データが");

} // namespace

QString message_001() {
    return QStringLiteral("終了してよいですか。(001)");
}
QString message_002() {
    return QStringLiteral("メインメニューに戻ってもよいですか。(002)");
}
QString message_020(const QString& backupPath) {
    return sentences({QStringLiteral("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ[") + backupPath +
                          QStringLiteral("]は上書き禁止となっています。(020)"),
                      QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを中止します。")});
}
QString message_021(const QString& backupPath, const QString& cause) {
    return sentences(
        {QStringLiteral("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ[") + backupPath + QStringLiteral("]を作成できません。(021)"),
         cause});
}
QString message_071(const QString& cfgPath) {
    return sentences({QStringLiteral("環境設定ファイル[") + cfgPath +
                          QStringLiteral("]を読み込むことができません。(071)"),
                      QStringLiteral("デフォルト値で動作します。")});
}

QString message_102() {
    return QStringLiteral("ﾃﾞｨﾚｸﾄﾘ検索未実施です。(102)");
}
QString message_103() {
    return QStringLiteral("見出しが未入力です。(103)") + G.CrLf +
           QStringLiteral("このまま継続しますか。") + G.CrLf + G.CrLf +
           QStringLiteral("　　　はい　・・・　登録する。") + G.CrLf +
           QStringLiteral("　　　いいえ・・・　登録しない。");
}
QString message_105(const QString& catalogue) {
    return QStringLiteral("データファイル[") + catalogue +
           QStringLiteral("]を書き込み完了しました。(105)");
}
QString message_106(const QString& catalogue, bool readOnly, int error) {
    return sentences(
        {QStringLiteral("データファイル[") + catalogue + QStringLiteral("]を書き込めません。(106)"),
         readOnly
             ? QStringLiteral("データファイルが書込禁止となっています。")
             : QStringLiteral("( Error Code ") + QString::number(error) + QStringLiteral("  : ") +
                   QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral("）"),
         QStringLiteral("データの書き込みを中断します。")});
}
QString message_111(const QString& catalogue) {
    return sentences(
        {QStringLiteral("データファイル[") + catalogue + QStringLiteral("]が見つかりません。(111)"),
         QStringLiteral("新規作成します。")});
}
QString message_112(const QString& catalogue) {
    return sentences({QStringLiteral("データファイル[") + catalogue +
                          QStringLiteral("]に前回中断された登録の書きかけのデータがあったため、"
                                         "取り除きました。(112)"),
                      QStringLiteral("その登録は行われていません。もう一度登録してください。")});
}
QString message_113(const QString& journal, const QString& catalogue, const QString& aside) {
    return sentences(
        {u'[' + journal + QStringLiteral("]はデータファイル[") + catalogue +
             QStringLiteral("]の中断された登録の記録と一致しないため、使いませんでした。(113)"),
         aside.isEmpty() ? QStringLiteral("名前を変えられなかったため、そのまま残っています。"
                                          "取り除くまで登録はできません。")
                         : u'[' + aside + QStringLiteral("]に名前を変えて残しました。"),
         QStringLiteral("データファイルは何も変更していません。データファイルが壊れていないかは"
                        " tobrin-cli check で確かめられます。")});
}
QString registration_question() {
    return QStringLiteral("            登録しますか。") + G.CrLf + G.CrLf +
           QStringLiteral("   はい　・・・　登録する。") + G.CrLf +
           QStringLiteral("   いいえ・・・　メインメニューに戻る。");
}
QString forced_search_question() {
    return QStringLiteral("登録作業が完了していません。検索を強行すれば取得したディレクトリ") +
           G.CrLf + QStringLiteral("と見出しデータが無効となります。検索を強行しますか。") +
           G.CrLf + G.CrLf + QStringLiteral("　　　　　　[はい]　・・・　強行する。　　　　　　") +
           G.CrLf + QStringLiteral("　　　　　　[いいえ]・・・　メインメニューに戻る。") + G.CrLf;
}

QString message_201(const QString& drive, const QString& currentDrive) {
    return sentences(
        {QStringLiteral("ドライブ [") + drive + QStringLiteral("]をアクセスできません。(201)"),
         QStringLiteral("ドライブをカレントドライブ [") + currentDrive +
             QStringLiteral("]に変更します。")});
}
QString message_202() {
    return QStringLiteral("ディレクトリをアクセスできません。(202)");
}
QString message_203(const QString& drive) {
    return sentences(
        {QStringLiteral("ドライブ[") + drive + QStringLiteral("]のアクセスができません。(203)"),
         StopReading});
}
QString message_208() {
    return QStringLiteral("検索条件が未入力です。(208)");
}

QString message_301(int capacity) {
    return search_over_capacity(QStringLiteral("見出し数が"), capacity, 301);
}
QString message_302(const QString& catalogue) {
    return format_fault(TenHeaderLines, 302, catalogue);
}
QString message_303(int capacity) {
    return search_over_capacity(DirCount, capacity, 303);
}
QString message_305(const QString& catalogue) {
    return format_fault(DirFault, 305, catalogue);
}
QString message_306(const QString& catalogue) {
    return format_fault(SubDirFault, 306, catalogue);
}
QString message_307(int capacity) {
    return search_over_capacity(ResultCount, capacity, 307);
}
QString message_309() {
    return QStringLiteral("検索一致データが見つかりませんでした。(309)");
}
QString message_310(const QString& catalogue, const QString& cause) {
    return sentences({QStringLiteral("データファイル[") + catalogue +
                          QStringLiteral("]のアクセスができません。(310)"),
                      QStringLiteral("原因 : ") + cause, StopReading});
}
QString message_311(int capacity) {
    return search_over_capacity(ResultCount, capacity, 311);
}

QString message_401() {
    return sentences({QStringLiteral("ディレクトリをアクセスできません。(401)"),
                      QStringLiteral("ﾃﾞｨﾚｸﾄﾘ取得画面に戻ります。")});
}

QString message_501(int capacity) {
    return sentences({over_capacity(DirCount, capacity, 501), StopReading});
}
QString message_502(const QString& catalogue) {
    return format_fault(DirFault, 502, catalogue);
}
QString message_503(const QString& catalogue) {
    return format_fault(SubDirFault, 503, catalogue);
}
QString message_505() {
    return QStringLiteral("ディレクトリが見つかりませんでした。(505)");
}
QString message_508(const QString& catalogue) {
    return format_fault(TenHeaderLines, 508, catalogue);
}

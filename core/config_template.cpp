// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config_template.h"
#include "core/codepage.h"
#include "core/config.h"
#include "core/state.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
// Lines written ";#NN:value" hold a key's default: removing the ";" changes nothing.
// Other lines start "; " so that position 4 never holds the colon of a setting.
const char* const Head[] = {
    "; Tobrin 環境設定ファイル / Tobrin configuration file (tobrin.cfg)",
    "; 文字コードは Shift_JIS (CP932)、改行は CR LF / code page 932, CR LF line ends",
    ";",
    "; 設定行 / setting lines:  #NN:値 value (行末まで / rest of the line)",
    ";                          %NN:1文字 (one character)",
    ";                          $NN:12文字 (12 characters, blank-padded)",
    "; NN はキー番号 (2桁)、4文字目が \":\" / NN is the two-digit key, the 4th character \":\"",
    "; 他の行はコメントです / every other line is a comment.",
    "; 下の \";#NN:\" 行は既定値です。行頭の \";\" を消して値を変えると有効になります。",
    "; The \";#NN:\" lines below hold the defaults: remove the \";\" and change the value.",
};

struct Key {
    const char* comment; // Japanese / English, one line
    const char* line;    // ";#NN:default", or "; 例 example: ..." when the default is no text
};
const Key Keys[] = {
    {"; 01 目録ファイル名 / catalogue file name", ";#01:tobrin.dat"},
    {"; 02 目録のディレクトリ (既定: 起動時のディレクトリ) / catalogue directory (default: the "
     "start-up directory)",
     "; 例 example: #02:/srv/tobrin"},
    {"; 03 取得するドライブ (既定: 起動時のドライブか前回のドライブ) / drive to acquire (default: "
     "the start-up directory's, or the last one used)",
     "; 例 example: %03:q"},
    {"; 04 フォント名 (IPAゴシックで代用) / font face (IPAGothic stands in)", ";#04:ＭＳ ゴシック"},
    {"; 05 フォントサイズ 8-12 / font size 8-12", ";#05:10"},
    {"; 06 小さいフォントのサイズ 6-12 / small font size 6-12", ";#06:9"},
    {"; 10 取得の開始と終了でビープ: 1 鳴らす / beep when an acquisition starts and ends: 1 "
     "beeps",
     ";#10:1"},
    {"; 11 バックアップファイル名 / backup file name", ";#11:tobrin.$$$"},
    {"; 12 バックアップのディレクトリ (既定: 起動時のディレクトリ) / backup directory (default: "
     "the start-up directory)",
     "; 例 example: #12:/srv/tobrin/backup"},
    {"; 13 バックアップの時期の和: 1 起動時 2 終了時 4 登録後 / backup moments, added up: 1 "
     "start-up 2 exit 4 after each registration",
     ";#13:0"},
};

void add(QStringList& out, const char* utf8) {
    out.append(QString::fromUtf8(utf8));
}

QString setting(int key, const QString& value) {
    return QStringLiteral(";#%1:").arg(key, 2, 10, QLatin1Char('0')) + value;
}

QStringList template_lines() {
    QStringList out;
    for (const char* line : Head)
        add(out, line);
    for (const Key& k : Keys) {
        add(out, ";");
        add(out, k.comment);
        add(out, k.line);
    }
    add(out, ";");
    add(out, "; 20-29 見出し検索で見る見出し 1-10: 1 見る (3 は常に見る、10 は見ない) / header "
             "fields 1-10 a header search reads: 1 reads (3 always, 10 never)");
    for (int field = 1; field <= 10; ++field)
        out.append(setting(19 + field, QString::number(field == 10 ? 0 : 1)));
    add(out, ";");
    add(out, "; 31 32 33 36 見出しラベル 1 2 3 4 の表示名 (空なら既定の表示) / captions of "
             "header labels 1 2 3 4 (empty keeps the built-in one)");
    for (int key : {31, 32, 33, 36})
        out.append(setting(key, QString()));
    add(out, ";");
    add(out, "; 40 ドライブ文字をディレクトリまたはイメージ・アーカイブに割り当てる (既定: なし) / "
             "pins a drive letter to a directory or an image or archive file (default: none)");
    add(out, "; 例 example: #40:q=/srv/discs/disc1");
    add(out, "; 例 example: #40:i=/srv/isos/disc1.iso");
    add(out, ";");
    add(out, "; 51 誌名の候補、52 その出版社 (51 を1行書くと組み込みの19誌は消えます) / preset "
             "titles (51) and their publishers (52); one 51 line drops the 19 built-in ones");
    for (int i = 1; i <= G.MagazineCount; ++i) {
        out.append(setting(51, G.MagazineTitles(i)));
        out.append(setting(52, G.MagazinePublishers(i)));
    }
    add(out, ";");
    add(out, "; 53 出版社の候補 (53 を1行書くと組み込みの9件は消えます) / preset publishers; one "
             "53 line drops the 9 built-in ones");
    for (int i = 1; i <= G.PublisherCount; ++i)
        out.append(setting(53, G.PublisherNames(i)));
    add(out, ";");
    add(out,
        "; 54 月の候補を \"1\"-\"12\" の後に追加 (既定: なし) / adds a month entry after \"1\" "
        "to \"12\" (default: none)");
    add(out, "; 例 example: #54:増刊");
    add(out, ";");
    add(out, "; 60-63 表の大きさ: ディレクトリ 101-19999、エントリ 101-19999、ブロック 101-9999、"
             "検索結果 101-19999 / table capacities: directories, entries, blocks, results");
    out.append(setting(60, QStringLiteral("1000")));
    out.append(setting(61, QStringLiteral("2000")));
    out.append(setting(62, QStringLiteral("200")));
    out.append(setting(63, QStringLiteral("5000")));
    return out;
}
} // namespace

QByteArray config_template() {
    set_preset_lists();
    QByteArray bytes;
    for (const QString& line : template_lines()) {
        encode_cp932_append(line, bytes);
        bytes += "\r\n";
    }
    return bytes;
}

QString home_work_dir(const QString& home) {
    return QDir(home).filePath(QStringLiteral("Tobrin"));
}

bool write_first_config(const QString& cwd, const QString& home, const QString& argument) {
    if (!argument.isEmpty()) return false;
    const QString here = QFileInfo(cwd).canonicalFilePath();
    if (here.isEmpty() || here != QFileInfo(home_work_dir(home)).canonicalFilePath()) return false;
    // NewOnly: a configuration that appeared meanwhile is never overwritten.
    QFile f(QDir(here).filePath(QStringLiteral("tobrin.cfg")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
    const QByteArray bytes = config_template();
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    if (!ok) f.remove(); // a half-written file would stop the reading with 071
    return ok;
}

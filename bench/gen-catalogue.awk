# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a synthetic catalogue (UTF-8, CR LF lines; the caller converts it to code page
# 932): BLOCKS blocks of 500 directories each (10 top directories, 7 below each, 6 below
# those), names mixing ASCII, kanji, kana, full-width and half-width letters. The word
# RARE is hidden in a few names.
# Usage: awk -v BLOCKS=2000 -v RARE=Zyxwq -f gen-catalogue.awk
function pick(list, n) { return list[int(rand() * n) + 1] }
function name(   k) {
    k = int(rand() * 6)
    if (k == 0) return pick(ascii, na) "_" int(rand() * 1000)
    if (k == 1) return pick(kanji, nk)
    if (k == 2) return pick(kana, nkana) int(rand() * 100)
    if (k == 3) return pick(wide, nw)
    if (k == 4) return pick(half, nh)
    return toupper(pick(ascii, na)) int(rand() * 10)
}
BEGIN {
    srand(1)
    na = split("tools src docs bin lib data images sound movie driver setup util game sample demo patch font text html readme", ascii, " ")
    nk = split("画像 音楽 動画 資料 体験版 壁紙 辞書 特集 付録 収録 素材 開発 道具 文書 設定", kanji, " ")
    nkana = split("ゲーム データ ツール サンプル ドライバ フォント デモ パッチ ムービー ボイス", kana, " ")
    nw = split("ＤＯＳ ＷＩＮ９５ ＴＯＯＬＳ ＣＤ－ＲＯＭ ＤＡＴＡ ＭＩＤＩ", wide, " ")
    nh = split("ｹﾞｰﾑ ﾃﾞｰﾀ ﾂｰﾙ ｻﾝﾌﾟﾙ ﾄﾞﾗｲﾊﾞ ﾌｫﾝﾄ", half, " ")
    nt = split("DOS/V POWER REPORT|月刊ＰＣ通信|Windows Start|ＣＤ－ＲＯＭ ｍａｇａｚｉｎｅ|NET LINKER", titles, "|")
    ORS = "\r\n"
    for (b = 1; b <= BLOCKS; b++) {
        print "*01"
        print "\"" pick(titles, nt) "\""
        print "\"Example Press\""
        print "\"" "付録ＣＤ " b "$RET$$LF$収録内容" "\""
        print "\"" (1990 + b % 12) "\""
        print "\"" (b % 12 + 1) "\""
        print "\"vol." b "\""
        print "\"2001/05/12 10:30:00\""
        print "\"CD" b "\""
        print "\"q\""
        print "\"\""
        print "*02"
        # Parent lines: the root, the 10 top directories, the 70 second-level ones.
        np = 0
        parent[++np] = "\\"
        for (i = 1; i <= 10; i++) { top[i] = name() "_" i; parent[++np] = "\\" top[i] "\\"; topno[i] = np }
        for (i = 1; i <= 10; i++)
            for (j = 1; j <= 7; j++) {
                mid[i, j] = name() "_" j
                parent[++np] = parent[topno[i]] mid[i, j] "\\"
                midno[i, j] = np
            }
        for (p = 1; p <= np; p++) print parent[p]
        print "*03"
        for (i = 1; i <= 10; i++) print "1," top[i]
        for (i = 1; i <= 10; i++)
            for (j = 1; j <= 7; j++) print topno[i] "," mid[i, j]
        for (i = 1; i <= 10; i++)
            for (j = 1; j <= 7; j++)
                for (k = 1; k <= 6; k++) {
                    leaf = name()
                    if (b % 500 == 250 && i == 3 && j == 2 && k == 1) leaf = leaf RARE
                    print midno[i, j] "," leaf
                }
    }
}

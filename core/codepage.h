// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Code page 932 (Shift_JIS as Windows writes it): the encoding of the catalogue,
// configuration and settings files. Table-driven both ways, because the search decodes
// every line of the catalogue; the tables come from the platform's converter once.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

// Bytes that do not decode become U+FFFD; decoding never fails.
QString decode_cp932(QByteArrayView bytes);
void decode_cp932_append(QByteArrayView bytes, QString& out);

// Characters with no code-page-932 form become "?". Callers that must not lose text
// check `cp932_encodable` first (the catalogue writer escapes such characters).
QByteArray encode_cp932(QStringView text);
void encode_cp932_append(QStringView text, QByteArray& out);
bool cp932_encodable(char16_t c);
// True when some code-page-932 byte sequence decodes to `c`. Unlike cp932_encodable this
// leaves out the characters Windows converts on the way in (U+301C 〜 is written as 0x8160,
// which reads back as U+FF5E ～).
bool cp932_decodes_to(char16_t c);
// The text as Windows would hand it over from code page 932: the converted characters
// replaced by what their bytes read back as (〜 -> ～, − -> －, ...); other text unchanged.
QString windows_converted(QStringView text);

// Length of `text` in code-page-932 bytes (a character without a form counts 1, as the
// "?" it would become).
int cp932_byte_length(QStringView text);
// Byte length of one character: 1 or 2.
int cp932_char_bytes(char16_t c);

// Directory names as the disk spells them (bytes) and as the program holds them (text).
// A name that is valid UTF-8 is that text. One that is not, but is code page 932 that reads
// back to the same bytes, is that text (old Japanese media). Anything else keeps its valid
// UTF-8 runs and each other byte b as the lone surrogate U+DC00 + b, which no decoded text
// can hold, so two different names never become one. A backslash inside a name is held as
// NameBackslash, never as "\", which separates path levels.
constexpr char16_t NameBackslash = 0xDC5C;
QString disk_name_text(QByteArrayView raw, bool allowCp932 = true);
// Whether `raw` could have given `text` (either way of decoding it).
bool disk_name_matches(QByteArrayView raw, QStringView text);
// Bytes for a text name or path: UTF-8, with U+DC00 + b given back as byte b. For a name
// decoded from code page 932 the caller keeps the original bytes instead.
QByteArray disk_name_bytes(QStringView text);
bool utf8_valid(QByteArrayView raw);

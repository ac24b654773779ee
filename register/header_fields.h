// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the header entry screen stores when the user moves on: the six typed headers plus
// the placeholder stamp, the volume label and the drive letter, in block 1 of HeaderTable.
#include <QDate>
#include <QString>

struct HeaderEntry {
    QString title;     // field 1 (見出し１)
    QString publisher; // field 2 (見出し２)
    QString memo;      // field 3 (見出し３), line breaks included
    QString year;      // field 4
    QString month;     // field 5
    QString header6;   // field 6 (見出し６)
};

// The text field 7 holds until write_data stamps it.
inline const QString RegistrationStampPlaceholder = QStringLiteral("データ登録時に設定します。");

// HeaderViewFromSearch becomes 0. When title, publisher, memo and header 6 are all empty
// nothing is stored and false is returned; otherwise SelectedResultLine is emptied, fields
// 1 to 10 of block 1 are stored (7 the placeholder, 8 VolumeLabel, 9 the first character of
// CurrentDrive, 10 empty), ProgressFlags gains bit 2 and true is returned.
bool store_registration_header(const HeaderEntry& entry);

// The year and month a fresh entry starts with: the date as field 7 writes it, year its
// characters 1-4, month the number in characters 6-7 without a leading zero ("5" for May).
void header_date_defaults(const QDate& today, QString& year, QString& month);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/header_fields.h"
#include "core/state.h"

bool store_registration_header(const HeaderEntry& entry) {
    G.HeaderViewFromSearch = 0;
    // Year and month alone are not an entry: they are preset on every fresh screen.
    if ((entry.title + entry.publisher + entry.memo + entry.header6).isEmpty()) return false;
    if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
    G.SelectedResultLine.clear();
    G.HeaderTable(1, 1) = entry.title;
    G.HeaderTable(1, 2) = entry.publisher;
    G.HeaderTable(1, 3) = entry.memo;
    G.HeaderTable(1, 4) = entry.year;
    G.HeaderTable(1, 5) = entry.month;
    G.HeaderTable(1, 6) = entry.header6;
    G.HeaderTable(1, 7) = RegistrationStampPlaceholder;
    G.HeaderTable(1, 8) = G.VolumeLabel;
    G.HeaderTable(1, 9) = G.CurrentDrive.left(1);
    G.HeaderTable(1, 10) = QString();
    G.ProgressFlags = static_cast<int16_t>(G.ProgressFlags | 2);
    return true;
}

void header_date_defaults(const QDate& today, QString& year, QString& month) {
    const QString date = today.toString(QStringLiteral("yyyy/MM/dd"));
    year = date.left(4);
    month = QString::number(date.mid(5, 2).toInt());
}

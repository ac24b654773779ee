// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every fault of a catalogue file at which a reader (the search scan or the directory
// viewer) would stop, found in one pass without stopping at the first, so that a user can
// mend a hand-edited file. Capacities are those of the current configuration.
#include <QString>
#include <QStringList>

struct CatalogueFault {
    qint64 line; // 1-based line number in the file
    int message; // the number of the message a reader would show
    QString reason;
};

// False when the file cannot be read (`error` says why); `faults` in file order.
bool check_catalogue(const QString& path, QList<CatalogueFault>& faults, QString* error = nullptr);

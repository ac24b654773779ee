// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Output shared by "search" and "blocks": the displayed result lines on stdout, the
// caption's first line and then the messages of the search on stderr.
#include "core/seam.h"
#include "search/results.h"
#include <QStringList>

// Holds the messages of a search so that they follow the caption on stderr.
class HeldMessages : public Seam {
  public:
    HeldMessages();
    ~HeldMessages() override;
    int16_t message(const QString& text, bool yesNo) override;
    [[noreturn]] void terminate() override;

  private:
    Seam* previous_;
    QStringList texts_;
    friend int print_results(const SearchDisplay&, HeldMessages&);
};

// Prints the display; returns the exit code: 0 something found, 1 nothing, 2 the catalogue
// could not be read (310), 3 the search stopped at a capacity (301, 303, 307, 311), 4 at a
// fault of the catalogue (302, 305, 306).
int print_results(const SearchDisplay& display, HeldMessages& held);

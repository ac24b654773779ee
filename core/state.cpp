// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/state.h"

State G;

void reset_state() { G = State{}; }

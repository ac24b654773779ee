#include "core/state.h"

State G;

void reset_state() { G = State{}; }

#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "core/state.h"

void sort_entries() {}
void prune_entries() {}
void acquire_drive(QChar drive, int16_t& k) {
    (void)drive;
    k = 0;
}

#include "acquire/walk.h"
#include "core/state.h"

int ListProgressIntervalMs = 50;

void ListSubDirs(const QString& sub_path, int16_t& k) {
    (void)sub_path;
    k = 0;
}
void ListSubFile(QString& sub_file, int16_t& j, int16_t& k) {
    (void)sub_file;
    (void)k;
    j = 1;
}
void remove_entry(int p) {
    (void)p;
}
void install_root_placeholder() {}
QString entry_display_line(int i) {
    (void)i;
    return QString();
}
QString walk_progress_path(const QString& sub_path) {
    return sub_path;
}
QString cp932_tail(QStringView text, int bytes) {
    (void)bytes;
    return text.toString();
}

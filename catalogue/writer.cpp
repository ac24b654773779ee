#include "catalogue/writer.h"
#include "core/state.h"

int CatalogueLockTimeoutMs = 3000;

void write_data(int16_t& result) {
    result = 0;
}

QByteArray encode_catalogue_block() {
    return QByteArray();
}

QString registration_stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

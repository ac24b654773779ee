#include "search/catalogue_check.h"
#include "core/state.h"
#include "search/byte_lines.h"
#include "search/read_data.h"
#include <algorithm>

namespace {
bool is_marker(QByteArrayView line, char digit) {
    return line.size() == 3 && line[0] == '*' && line[1] == '0' && line[2] == digit;
}
} // namespace

bool check_catalogue(const QString& path, QList<CatalogueFault>& faults, QString* error) {
    faults.clear();
    ByteLineReader in;
    if (!in.open(path)) {
        if (error) *error = in.error_string();
        return false;
    }
    auto fault = [&](qint64 line, int message, const QString& reason) {
        faults.append({line, message, reason});
    };
    int section = 0, headers = 0, blocks = 0;
    qint64 parents = 0, entries = 0;
    const qint64 viewerCapacity = std::max(2000, int(G.MaxEntryCount));
    qint64 lineNo = 0, blockLine = 0;
    bool parentsOver = false;
    // A block's header is complete only with ten lines; a shorter one is never searched
    // and cannot be opened in the viewer.
    auto end_header = [&] {
        if (section == 1 && headers < HeaderFieldCount)
            fault(blockLine, 505,
                  QStringLiteral("block %1 has %2 header lines, not 10").arg(blocks).arg(headers));
    };
    QByteArrayView line;
    while (in.next(line)) {
        ++lineNo;
        if (is_marker(line, '1')) {
            end_header();
            section = 1;
            headers = 0;
            parents = 0;
            entries = 0;
            parentsOver = false;
            blockLine = lineNo;
            if (++blocks == G.MaxHeaderBlocks + 1)
                fault(lineNo, 301,
                      QStringLiteral("more blocks than the configured %1 (key 62)")
                          .arg(G.MaxHeaderBlocks));
            continue;
        }
        if (is_marker(line, '2')) {
            end_header();
            section = 2;
            parents = 0;
            continue;
        }
        if (is_marker(line, '3')) {
            end_header();
            section = 3;
            continue;
        }
        switch (section) {
        case 1:
            if (++headers == HeaderFieldCount + 1)
                fault(lineNo, 302,
                      QStringLiteral("more than 10 header lines in block %1").arg(blocks));
            break;
        case 2:
            if (++parents > G.MaxDirCount && !parentsOver) {
                parentsOver = true;
                fault(lineNo, 303,
                      QStringLiteral("more parent lines than the configured %1 (key 60)")
                          .arg(G.MaxDirCount));
            }
            break;
        case 3: {
            if (++entries == viewerCapacity + 1)
                fault(lineNo, 501,
                      QStringLiteral("more directory lines than the viewer holds (%1, key 61)")
                          .arg(viewerCapacity));
            const qsizetype comma = line.indexOf(',');
            if (comma <= 0) {
                fault(lineNo, 305,
                      comma == 0 ? QStringLiteral("no number before the comma")
                                 : QStringLiteral("no comma in a subdirectory line"));
                break;
            }
            int p = 0;
            if (!parse_parent_number(line.first(comma), p))
                fault(lineNo, 310, QStringLiteral("parent number too large"));
            else if (p < 1 || p > parents)
                fault(lineNo, 306,
                      QStringLiteral("parent number %1 outside 1..%2").arg(p).arg(parents));
            break;
        }
        default:
            break;
        }
    }
    end_header();
    if (in.failed()) {
        if (error) *error = in.error_string();
        return false;
    }
    return true;
}

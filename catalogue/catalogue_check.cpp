// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogue_check.h"
#include "catalogue/reader.h"
#include "core/state.h"
#include <QFileInfo>
#include <algorithm>

bool check_catalogue(const QString& path, QList<CatalogueFault>& faults, QString* error) {
    faults.clear();
    CatalogueReader in;
    if (!in.open(path)) {
        if (error) *error = in.error_string();
        return false;
    }
    auto fault = [&](qint64 line, int message, const QString& reason) {
        faults.append({line, message, reason});
    };
    const qint64 viewerCapacity = std::max(2000, int(G.MaxEntryCount));
    qint64 entries = 0, blockLine = 0;
    int headers = 0;
    bool inHeader = false, parentsOver = false;
    // A block's header is complete only with ten lines; a shorter one is never searched
    // and cannot be opened in the viewer.
    auto end_header = [&](int block) {
        if (inHeader && headers < HeaderFieldCount)
            fault(blockLine, 505,
                  QStringLiteral("block %1 has %2 header lines, not 10").arg(block).arg(headers));
        inHeader = false;
    };
    CatalogueItem it;
    while (in.next(it)) {
        const qint64 lineNo = in.line_number();
        switch (it.kind) {
        case CatalogueItem::Block:
            end_header(it.block - 1);
            inHeader = true;
            headers = 0;
            entries = 0;
            parentsOver = false;
            blockLine = lineNo;
            if (it.block == G.MaxHeaderBlocks + 1)
                fault(lineNo, 301,
                      QStringLiteral("more blocks than the configured %1 (key 62)")
                          .arg(G.MaxHeaderBlocks));
            break;
        case CatalogueItem::Header:
            headers = it.field;
            break;
        case CatalogueItem::Fault:
            if (it.field == HeaderFieldCount + 1)
                fault(lineNo, 302,
                      QStringLiteral("more than 10 header lines in block %1")
                          .arg(in.parser().blocks()));
            break;
        case CatalogueItem::Parents:
        case CatalogueItem::Entries:
            end_header(in.parser().blocks());
            break;
        case CatalogueItem::Parent:
            if (it.parent > G.MaxDirCount && !parentsOver) {
                parentsOver = true;
                fault(lineNo, 303,
                      QStringLiteral("more parent lines than the configured %1 (key 60)")
                          .arg(G.MaxDirCount));
            }
            break;
        case CatalogueItem::Entry:
            if (++entries == viewerCapacity + 1)
                fault(lineNo, 501,
                      QStringLiteral("more directory lines than the viewer holds (%1, key 61)")
                          .arg(viewerCapacity));
            switch (it.fault) {
            case FormatFault::NoComma:
                fault(lineNo, 305,
                      QStringLiteral("no comma after the first character of a subdirectory line"));
                break;
            case FormatFault::NumberOverflow:
                fault(lineNo, 310, QStringLiteral("parent number too large"));
                break;
            case FormatFault::ParentRange:
                fault(lineNo, 306,
                      QStringLiteral("parent number %1 outside 1..%2")
                          .arg(it.parent)
                          .arg(in.parser().parents()));
                break;
            default:
                break;
            }
            break;
        }
    }
    end_header(in.parser().blocks());
    if (in.failed()) {
        if (error) *error = in.error_string();
        return false;
    }
    // Text with no "*01" line at all is no catalogue: nothing in it would ever be found.
    if (in.parser().blocks() == 0 && QFileInfo(path).size() > 0)
        fault(1, 309, QStringLiteral("no \"*01\" line: the file holds no block"));
    return true;
}

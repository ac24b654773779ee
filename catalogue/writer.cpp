// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/writer.h"
#include "catalogue/escape.h"
#include "core/backup.h"
#include "core/codepage.h"
#include "core/disk_file.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <QCryptographicHash>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

void append_line(QByteArray& out, QStringView text) {
    encode_cp932_append(escape_for_catalogue(text), out);
    out.append("\r\n", 2);
}

void report_write_failure(bool readOnly, int error) {
    show_message(message_106(G.DataDir + G.DataFileName, readOnly, error));
}

// The journal: the proof that a torn tail is our own append's, written and synced before the
// block. Four CR LF lines, then the block's bytes as they are appended:
//   tobrin journal 1
//   length <the catalogue's length before the append>
//   before <SHA-256 of the up to JournalContext bytes before that length>
//   block <the block's length> <SHA-256 of the block>
// Only a tail that the catalogue's bytes before it and the block's own bytes both vouch for
// is ever cut; another file, or this one cut or extended since, proves nothing.
const QByteArray JournalMagic = "tobrin journal 1";
// Enough to tell another catalogue of the same length apart, without hashing a large file
// at every registration.
constexpr qint64 JournalContext = 64 * 1024;
// The bytes compared or hashed at a time.
constexpr qint64 JournalChunk = 1 << 20;

QByteArray sha256_hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The hash of the bytes just before `length`; false when they cannot be read.
bool context_hash(int fd, qint64 length, QByteArray& hex) {
    const qint64 from = std::max<qint64>(0, length - JournalContext);
    QByteArray bytes;
    if (!file_read_at(fd, from, length - from, bytes)) return false;
    hex = sha256_hex(bytes);
    return true;
}

QByteArray journal_text(qint64 length, const QByteArray& contextHex, const QByteArray& block) {
    return JournalMagic + "\r\nlength " + QByteArray::number(length) + "\r\nbefore " + contextHex +
           "\r\nblock " + QByteArray::number(block.size()) + ' ' + sha256_hex(block) + "\r\n" +
           block;
}

// A plain decimal number (no sign, no blank, no leading zero), below 2^56.
bool parse_count(const QByteArray& text, qint64& n) {
    if (text.isEmpty() || text.size() > 16 || (text.size() > 1 && text[0] == '0')) return false;
    n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return true;
}

// What a journal proves about the catalogue open as `fd`.
struct JournalProof {
    enum Kind { None, Ours, Unmatched } kind = None;
    qint64 length = 0; // the catalogue's length before the append
    qint64 tail = 0;   // the bytes of the block that stand after it
};

// Reads only. Ours: the journal is a whole one of ours, the catalogue's bytes before the
// recorded length match, and what follows them is a prefix of the recorded block (empty when
// the append never began). Anything else under the journal's name (a link, fifo, directory,
// another program's file, a journal cut short) is Unmatched; it is never opened through a
// link and never waited on.
JournalProof judge_journal(int fd, const QString& journal) {
    JournalProof proof;
    int error = 0;
    const int jfd = file_open(journal, FileOpen::ReadName, error);
    if (jfd < 0) {
        proof.kind = error == ENOENT ? JournalProof::None : JournalProof::Unmatched;
        return proof;
    }
    const auto closeJournal = qScopeGuard([jfd] { file_close(jfd); });
    proof.kind = JournalProof::Unmatched;
    qint64 jsize = 0, size = 0;
    QByteArray head;
    if (!file_is_regular(jfd) || !file_size(jfd, jsize, error) || !file_size(fd, size, error) ||
        !file_read_at(jfd, 0, std::min<qint64>(jsize, 256), head))
        return proof;
    QByteArrayList lines;
    qsizetype at = 0;
    while (lines.size() < 4) {
        const qsizetype end = head.indexOf("\r\n", at);
        if (end < 0) return proof;
        lines << head.mid(at, end - at);
        at = end + 2;
    }
    const QByteArrayList block = lines[3].split(' ');
    qint64 length = 0, blockSize = 0;
    if (lines[0] != JournalMagic || !lines[1].startsWith("length ") ||
        !parse_count(lines[1].mid(7), length) || !lines[2].startsWith("before ") ||
        block.size() != 3 || block[0] != "block" || !parse_count(block[1], blockSize) ||
        jsize != at + blockSize || size < length || size - length > blockSize)
        return proof;
    QByteArray hex;
    if (!context_hash(fd, length, hex) || hex != lines[2].mid(7)) return proof;
    // The journal's copy of the block must be whole, and the tail a prefix of it.
    const qint64 tail = size - length;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray mine, theirs;
    for (qint64 done = 0; done < blockSize; done += mine.size()) {
        if (!file_read_at(jfd, at + done, std::min(JournalChunk, blockSize - done), mine))
            return proof;
        hash.addData(mine);
        const qint64 compared = std::min<qint64>(mine.size(), tail - done);
        if (compared > 0 && (!file_read_at(fd, length + done, compared, theirs) ||
                             std::memcmp(theirs.constData(), mine.constData(), compared) != 0))
            return proof;
    }
    if (hash.result().toHex() != block[2]) return proof;
    proof.kind = JournalProof::Ours;
    proof.length = length;
    proof.tail = tail;
    return proof;
}

void remove_journal(const QString& journal) {
    if (path_remove(journal)) sync_folder(journal);
}

// The first of "<journal>.unmatched", ".unmatched.2", ... that names nothing yet.
QString free_aside_name(const QString& journal) {
    const QString base = journal + QStringLiteral(".unmatched");
    for (int n = 1; n < 100; ++n) {
        const QString name = n == 1 ? base : base + u'.' + QString::number(n);
        if (!path_exists(name)) return name;
    }
    return QString();
}

// What happened to a journal found beside the catalogue.
struct Settlement {
    enum How { Nothing, Removed, Cut, MovedAside, Stuck } how = Nothing;
    QString journal, aside;
};

// Under the lock: a journal that proves a torn tail of our own cuts it and goes; one that
// proves there is nothing to cut goes; any other is moved aside, never overwriting a name,
// and the catalogue is left byte for byte.
Settlement settle_journal(int fd, const QString& journal, bool writable) {
    Settlement s;
    s.journal = journal;
    const JournalProof proof = judge_journal(fd, journal);
    if (proof.kind == JournalProof::None) return s;
    if (proof.kind == JournalProof::Ours && proof.tail == 0) {
        remove_journal(journal);
        s.how = Settlement::Removed;
        return s;
    }
    if (proof.kind == JournalProof::Ours && writable) {
        int error = 0;
        // Kept when the cut fails: the next start tries again.
        if (!file_truncate(fd, proof.length) || !file_sync(fd, error)) return s;
        remove_journal(journal);
        s.how = Settlement::Cut;
        return s;
    }
    int error = 0;
    s.aside = free_aside_name(journal);
    s.how = !s.aside.isEmpty() && path_move_new(journal, s.aside, error) ? Settlement::MovedAside
                                                                         : Settlement::Stuck;
    if (s.how == Settlement::MovedAside) sync_folder(journal);
    return s;
}

// The journal for an append of `block` at `length`, on disk before the block is written.
// 0 when it is there; EEXIST when the name is taken (it is never written through); any other
// error when the folder cannot hold one (the append then goes ahead without it).
int write_journal(int fd, const QString& journal, qint64 length, const QByteArray& block) {
    QByteArray hex;
    // A catalogue that cannot be read back (write permission only) cannot be proved either.
    if (!context_hash(fd, length, hex)) return EACCES;
    int error = 0;
    const int jfd = file_open(journal, FileOpen::CreateNew, error);
    if (jfd < 0) return error;
    const bool ok =
        file_write_all(jfd, journal_text(length, hex, block), error) && file_sync(jfd, error);
    file_close(jfd);
    if (!ok) {
        path_remove(journal);
        return error ? error : EIO;
    }
    sync_folder(journal);
    return 0;
}

// The journal lies beside the file a link names, so every path to one catalogue finds it.
QString journal_of(const QString& localPath) {
    const QString real = QFileInfo(localPath).canonicalFilePath();
    return (real.isEmpty() ? localPath : real) + QStringLiteral(".journal");
}

// Message 112: the start or the registration found an unfinished block of its own and removed
// it. Message 113: a journal that proves nothing was set aside and nothing else changed.
void report_settlement(const Settlement& s) {
    const QString catalogue = G.DataDir + G.DataFileName;
    if (s.how == Settlement::Cut) show_message(message_112(catalogue));
    if (s.how == Settlement::MovedAside) show_message(message_113(s.journal, catalogue, s.aside));
    if (s.how == Settlement::Stuck) show_message(message_113(s.journal, catalogue, QString()));
}
} // namespace

void settle_at_startup() {
    recover_catalogue();
    backup_data(1);
}

void recover_catalogue() {
    const QString path = catalogue_local_path();
    if (path.isEmpty()) return;
    const QString journal = journal_of(path);
    if (!path_exists(journal)) return;
    const int attr = file_attributes(path);
    if (attr < 0 || (attr & (AttrDirectory | AttrSystem))) return;
    int error = 0;
    const int fd = file_open(path, FileOpen::Update, error);
    if (fd < 0) return;
    // Under the lock a journal is never that of an append still running.
    Settlement s;
    if (file_is_regular(fd) && file_lock(fd, G.CatalogueLockTimeoutMs) == 0)
        s = settle_journal(fd, journal, file_writable(fd));
    file_close(fd);
    report_settlement(s);
}

QByteArray journal_for(const QByteArray& catalogue, const QByteArray& block) {
    return journal_text(catalogue.size(), sha256_hex(catalogue.right(JournalContext)), block);
}

QString journal_outlook() {
    const QString path = catalogue_local_path();
    const QString journal = journal_of(path);
    if (path.isEmpty() || !path_exists(journal)) return QString();
    const QString named = QStringLiteral("[") + journal + QStringLiteral("]");
    int error = 0;
    const int fd = file_open(path, FileOpen::Read, error);
    const auto closeFile = qScopeGuard([fd] { file_close(fd); });
    if (fd < 0 || !file_is_regular(fd))
        return named + QStringLiteral("があります。データファイルを開けないため、次の登録のときに"
                                      "確かめます。");
    if (file_lock(fd, 0, true) != 0)
        return named + QStringLiteral("は、ほかの Tobrin が書き込み中の登録の記録です。");
    const JournalProof proof = judge_journal(fd, journal);
    if (proof.kind == JournalProof::None) return QString();
    const int attr = file_attributes(path);
    const bool writable = attr >= 0 && !(attr & AttrReadOnly);
    if (proof.kind == JournalProof::Ours && proof.tail == 0)
        return named + QStringLiteral("は中断された登録の記録で、データファイルに書きかけのデータは"
                                      "ありません。次の起動か登録で削除します。");
    if (proof.kind == JournalProof::Ours && writable)
        return named +
               QStringLiteral("は中断された登録の記録です。次の起動か登録で、データファイ"
                              "ルの末尾の書きかけのデータ ") +
               QString::number(proof.tail) + QStringLiteral(" バイトを取り除きます。");
    const QString aside = free_aside_name(journal);
    return named +
           QStringLiteral("はデータファイルの中断された登録の記録と一致しません。次の起動か登録で"
                          "[") +
           aside + QStringLiteral("]に名前を変え、データファイルは変更しません。");
}

QString registration_stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QByteArray encode_catalogue_block() {
    if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
    QByteArray out;
    out.reserve(64 * (16 + G.DirCount + G.EntryCount));
    append_line(out, u"*01");
    for (int f = 1; f <= HeaderFieldCount; ++f) {
        QString text = G.HeaderTable(1, f);
        if (f == 3) {
            text.replace(u'\r', QStringLiteral("$RET$"));
            text.replace(u'\n', QStringLiteral("$LF$"));
        }
        append_line(out, u'"' + text + u'"');
    }
    append_line(out, u"*02");
    for (int i = 1; i <= G.DirCount; ++i)
        append_line(out, G.DirPaths(i));
    append_line(out, u"*03");
    for (int i = 1; i <= G.EntryCount; ++i)
        append_line(out, QString::number(G.EntryParentIndex(i)) + u',' + G.EntryNames(i));
    return out;
}

void write_data(int16_t& result) {
    result = 0;
    const QString path = catalogue_local_path();
    // A link stands for the file it names; a device, fifo or directory is no catalogue.
    const int attr = file_attributes(path);
    const bool present = attr >= 0 && !(attr & (AttrDirectory | AttrHidden | AttrSystem));
    if (!present) show_message(message_111(G.DataFilePath));

    // A file without write permission is refused even where the system would let us
    // (running as root): the user made it read-only on purpose.
    const bool readOnlyNow = present && (attr & AttrReadOnly);
    const bool readOnly = G.DataFileReadOnly == 1 || readOnlyNow;
    if (readOnlyNow) {
        report_write_failure(true, EACCES);
        return;
    }
    if (attr >= 0 && (attr & (AttrDirectory | AttrSystem))) {
        report_write_failure(readOnly, (attr & AttrDirectory) ? EISDIR : EINVAL);
        return;
    }

    // Read access only serves the look at the last byte; a write-only file is still appended
    // to. Non-blocking, so a fifo put there meanwhile cannot hang the open.
    int error = 0;
    const int fd = file_open(path, FileOpen::Append, error);
    if (fd < 0) {
        report_write_failure(readOnly, error);
        return;
    }
    if (!file_is_regular(fd)) {
        file_close(fd);
        report_write_failure(readOnly, EINVAL);
        return;
    }
    const bool created = attr < 0;
    // The file just opened, wherever a link led.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString journal = journal_of(path);
    Settlement found;
    // Two running copies must never interleave their blocks.
    error = file_lock(fd, G.CatalogueLockTimeoutMs);
    if (error == 0) {
        found = settle_journal(fd, journal, true);
        qint64 size = 0;
        if (file_size(fd, size, error)) {
            if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
            G.HeaderTable(1, 7) = registration_stamp(QDateTime::currentDateTime());
            // The whole block in one append, on disk before it counts as written; on any
            // failure the file is cut back, so it only ever holds whole blocks. The journal
            // does the same for an append that is killed or loses its power.
            QByteArray block = encode_catalogue_block();
            // A file edited by hand may lack its last line break; without one the "*01"
            // would join that line and the block would lose its marker. A last lone CR
            // (a line end the readers accept) only lacks its LF: CR LF after it would make
            // an empty line inside the block before.
            QByteArray last = "\n";
            if (size > 0 && file_read_at(fd, size - 1, 1, last) && last != "\n")
                block.prepend(last == "\r" ? "\n" : "\r\n");
            const int journaled = write_journal(fd, journal, size, block);
            // A name that is not ours and could not be set aside is never written through,
            // nor is a block appended that a kill could leave without its proof.
            if (journaled == EEXIST) {
                error = EEXIST;
            } else if (!file_write_all(fd, block, error) || !file_sync(fd, error)) {
                int ignored = 0;
                const bool undone = file_truncate(fd, size) && file_sync(fd, ignored);
                // Where the cut fails the journal stays: the next start cuts what is left.
                if (undone && journaled == 0) remove_journal(journal);
            } else if (journaled == 0) {
                remove_journal(journal);
            }
        }
    }
    // Once synced, a failing close cannot take the block back; it is not reported.
    file_close(fd);
    // A file this call created and could not fill is removed again.
    if (error != 0 && created && path_size(path) == 0) path_remove(real.isEmpty() ? path : real);
    report_settlement(found);
    if (error != 0) {
        report_write_failure(readOnly, error);
        return;
    }

    G.ProgressFlags = 0;
    show_message(message_105(G.DataDir + G.DataFileName));
    check_file(G.DataDir, G.DataFileName, G.DataFileState, G.DataFileReadOnly);
    result = 1;
    backup_data(4);
}

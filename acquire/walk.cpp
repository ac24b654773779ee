#include "acquire/walk.h"
#include "core/codepage.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

int ListProgressIntervalMs = 50;

namespace {

QString with_backslash(const QString& path) {
    return path.endsWith(u'\\') ? path : path + u'\\';
}

// One walk: the progress throttle, the device of the walked tree (to stay on the medium's
// own file system) and whether a full table has ended it.
struct WalkRun {
    ProgressThrottle throttle{ListProgressIntervalMs};
    dev_t rootDevice = 0;
    bool tableFull = false;
};

struct SubDir {
    QByteArray raw; // the name as the file system has it (it may not be valid UTF-8)
    QString name;
    bool descend = true; // false for a mount point
};

void fail_listing(const QString& sub_path, int16_t& k) {
    k = 0;
    // The search tables were not read for this list: mark them empty.
    G.HeaderBlockCount = -1;
    G.ResultLineCount = -1;
    show_message(QStringLiteral("ドライブ[") + sub_path +
                 QStringLiteral("]のアクセスができません。(203)") + G.CrLf + G.CrLf +
                 QStringLiteral("データの読み込みを中断します。"));
    seam().yield();
}

int dir_capacity() {
    return std::min<int>(G.MaxDirCount, G.DirPaths.size());
}
int entry_capacity() {
    return std::min({int(G.MaxEntryCount), G.EntryNames.size(), G.EntryParentIndex.size()});
}

// The type of one listed name without following links; DT_UNKNOWN only when it vanished.
unsigned char entry_type(int dirFd, const dirent* e, struct stat* st, bool& statted) {
    statted = false;
    if (e->d_type != DT_UNKNOWN) return e->d_type;
    if (::fstatat(dirFd, e->d_name, st, AT_SYMLINK_NOFOLLOW) != 0) return DT_UNKNOWN;
    statted = true;
    if (S_ISDIR(st->st_mode)) return DT_DIR;
    if (S_ISREG(st->st_mode)) return DT_REG;
    return DT_LNK; // anything else is a "system" entry: not listed
}

void list_directory(WalkRun& run, const QString& sub_path, const QByteArray& local, int16_t& k) {
    bool labelShown = false;
    auto show_progress = [&](int counter) {
        if (!labelShown) {
            seam().progress_label(1, QStringLiteral("ディレクトリを取得中です。") + G.CrLf +
                                         G.CrLf + walk_progress_path(sub_path));
            labelShown = true;
        }
        if (counter > 0) seam().progress_label(2, QString::number(counter));
        seam().yield();
    };
    if (run.throttle.due()) show_progress(0);

    k = 1;
    DIR* dir = ::opendir(local.constData());
    if (!dir) {
        fail_listing(sub_path, k);
        return;
    }
    const int fd = ::dirfd(dir);
    std::vector<SubDir> subs;
    int m = 1;
    bool readFailed = false;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) {
            readFailed = errno != 0;
            break;
        }
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        struct stat st {};
        bool statted = false;
        const unsigned char type = entry_type(fd, e, &st, statted);
        // Devices, fifos, sockets and links are the "system" entries the listing leaves out.
        if (type != DT_DIR && type != DT_REG) continue;
        if (type == DT_DIR) {
            if (!statted && ::fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (!S_ISDIR(st.st_mode)) continue;
            subs.push_back({QByteArray(n), QFile::decodeName(n), st.st_dev == run.rootDevice});
        }
        ++m;
        if (run.throttle.due()) show_progress(m);
    }
    ::closedir(dir);

    // Name order, so that the same tree always gives the same list.
    std::sort(subs.begin(), subs.end(),
              [](const SubDir& a, const SubDir& b) { return a.raw < b.raw; });
    int n = 0;
    for (const SubDir& s : subs) {
        if ((n == 0 && G.DirCount >= dir_capacity()) || G.EntryCount >= entry_capacity()) {
            // Every later directory would fail the same way: stop here, once.
            run.tableFull = true;
            fail_listing(sub_path, k);
            return;
        }
        if (n == 0) {
            ++G.DirCount;
            G.DirPaths(G.DirCount) = sub_path.mid(2);
        }
        ++n;
        ++G.EntryCount;
        G.EntryParentIndex(G.EntryCount) = G.DirCount;
        G.EntryNames(G.EntryCount) = s.name;
    }
    if (readFailed) {
        fail_listing(sub_path, k);
        return;
    }

    for (const SubDir& s : subs) {
        if (run.tableFull) return;
        if (!s.descend) continue;
        list_directory(run, sub_path + s.name + u'\\', local + s.raw + '/', k);
    }
    if (run.throttle.due()) seam().yield();
}

} // namespace

void ListSubDirs(const QString& sub_path, int16_t& k) {
    WalkRun run;
    // The root is always shown: a walk may be over before the first interval ends.
    seam().progress_label(1, QStringLiteral("ディレクトリを取得中です。") + G.CrLf + G.CrLf +
                                 walk_progress_path(sub_path));
    seam().yield();
    QString local = local_path(sub_path);
    struct stat st {};
    if (local.isEmpty() || ::stat(QFile::encodeName(local).constData(), &st) != 0) {
        fail_listing(sub_path, k);
        return;
    }
    if (!local.endsWith(u'/')) local += u'/';
    run.rootDevice = st.st_dev;
    list_directory(run, sub_path, QFile::encodeName(local), k);
    seam().yield();
}

void ListSubFile(QString& sub_file, int16_t& j, int16_t& k) {
    j = 1;
    if (!sub_file.endsWith(u'\\')) sub_file += u'\\';
    const QString local = local_path(sub_file);
    DIR* dir = local.isEmpty() ? nullptr : ::opendir(QFile::encodeName(local).constData());
    if (!dir) {
        j = 1;
        k = static_cast<int16_t>(G.EntryCount + 1);
        show_message(QStringLiteral("ディレクトリをアクセスできません。(202)"));
        return;
    }
    const int fd = ::dirfd(dir);
    bool found = false;
    while (!found) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) break;
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
        }
        if (type == DT_DIR) continue;
        // Normal, hidden and system files count; one that is hidden and system is not seen.
        const bool hidden = n[0] == '.';
        const bool system = type != DT_REG;
        found = !(hidden && system);
    }
    ::closedir(dir);
    j = found ? 1 : 0;
}

void remove_entry(int p) {
    if (p < 1 || p > G.EntryCount) return;
    for (int i = p; i < G.EntryCount; ++i) {
        G.EntryNames(i) = std::move(G.EntryNames(i + 1));
        G.EntryParentIndex(i) = G.EntryParentIndex(i + 1);
    }
    --G.EntryCount;
    if (G.EntryCount == 0) install_root_placeholder();
}

void install_root_placeholder() {
    if (G.DirPaths.size() < 1) G.DirPaths.redim(1);
    if (G.EntryNames.size() < 1) G.EntryNames.redim(1);
    if (G.EntryParentIndex.size() < 1) G.EntryParentIndex.redim(1);
    G.DirCount = 1;
    G.DirPaths(1) = QStringLiteral("\\");
    G.EntryCount = 1;
    G.EntryNames(1) = QString();
    G.EntryParentIndex(1) = 1;
}

QString entry_display_line(int i) {
    return with_backslash(G.DirPaths(G.EntryParentIndex(i))) + G.EntryNames(i);
}

QString walk_progress_path(const QString& sub_path) {
    if (sub_path.isEmpty()) return QString();
    const QString shown =
        sub_path.mid(2) == QLatin1String("\\") ? QStringLiteral("\\") : sub_path.chopped(1);
    return cp932_tail(shown, 31);
}

QString cp932_tail(QStringView text, int bytes) {
    if (cp932_byte_length(text) <= bytes) return text.toString();
    qsizetype start = text.size();
    int collected = 0;
    while (collected < bytes && start > 0) {
        --start;
        // Keep a surrogate pair whole: it stands for one character.
        if (start > 0 && text[start].isLowSurrogate() && text[start - 1].isHighSurrogate()) {
            --start;
            collected += 1;
        } else {
            collected += cp932_char_bytes(text[start].unicode());
        }
    }
    return text.mid(start).toString();
}

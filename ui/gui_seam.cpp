// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gui_seam.h"
#include "core/state.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cstdlib>

int message_text_width_limit() {
    // QMessageBox never grows beyond this and then breaks lines anywhere, even inside a
    // word; the margins around the text come off.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int sw = screen ? screen->availableGeometry().width() : 1024;
    const int hardLimit = sw <= 1024 ? sw : std::min(sw - 480, 1000);
    return std::max(200, hardLimit - 60);
}

namespace {
// Where a line wider than `maxWidth` is broken: after the last "\" or "/" that keeps the
// part within the width (a path is broken between names); else at the last place the
// language allows a break (Japanese between most characters); else after the last
// character that fits. Returns the length of the part that stays on this line.
qsizetype break_at(QStringView line, const QFontMetrics& fm, int maxWidth) {
    const auto fits = [&](qsizetype n) {
        return fm.horizontalAdvance(line.first(n).toString()) <= maxWidth;
    };
    qsizetype cut = -1;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (line.at(i) != u'\\' && line.at(i) != u'/') continue;
        if (!fits(i + 1)) break;
        cut = i + 1;
    }
    if (cut > 0) return cut;
    for (auto kind : {QTextBoundaryFinder::Line, QTextBoundaryFinder::Grapheme}) {
        QTextBoundaryFinder bounds(kind, line.data(), int(line.size()));
        for (qsizetype b = bounds.toNextBoundary(); b > 0 && b < line.size();
             b = bounds.toNextBoundary()) {
            if (!fits(b)) break;
            cut = b;
        }
        if (cut > 0) return cut;
    }
    return std::min<qsizetype>(1, line.size());
}
} // namespace

QString break_long_lines(const QString& text, const QFontMetrics& fm, int maxWidth, int* widest) {
    QStringList out;
    int w = 0;
    for (const QString& whole : text.split(u'\n')) {
        QStringView rest(whole);
        while (fm.horizontalAdvance(rest.toString()) > maxWidth && rest.size() > 1) {
            const qsizetype n = break_at(rest, fm, maxWidth);
            out << rest.first(n).toString();
            rest = rest.sliced(n);
        }
        out << rest.toString();
    }
    for (const QString& l : out)
        w = std::max(w, fm.horizontalAdvance(l));
    *widest = w;
    return out.join(u'\n');
}

QLabel* message_label(const QMessageBox& box) {
    return box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
}

void prepare_message_box(QMessageBox& box, const QString& text, bool yesNo) {
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(G.MsgBoxTitle);
    box.setTextFormat(Qt::PlainText);
    // Each line whole, the box as wide as the widest; only a line wider than the screen
    // allows is broken, a path after a "\" or "/" rather than inside a name.
    QLabel* label = message_label(box);
    const QFontMetrics fm = label ? label->fontMetrics() : box.fontMetrics();
    int widest = 0;
    box.setText(break_long_lines(display_text(text), fm, message_text_width_limit(), &widest));
    if (label) {
        // The text starts after the label's margins and indent; a pixel more for rounding.
        const QMargins m = label->contentsMargins();
        label->setMinimumWidth(widest + m.left() + m.right() + std::max(0, label->indent()) +
                               2 * label->margin() + 1);
    }
    box.setStandardButtons(yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    // The answers in the program's language, whatever translations are installed.
    const struct {
        QMessageBox::StandardButton button;
        const char16_t* text;
    } captions[] = {{QMessageBox::Ok, u"OK"},
                    {QMessageBox::Yes, u"はい(&Y)"},
                    {QMessageBox::No, u"いいえ(&N)"}};
    for (const auto& c : captions)
        if (QAbstractButton* b = box.button(c.button)) {
            b->setText(QString::fromUtf16(c.text));
            b->setIcon(QIcon());
        }
    if (yesNo) box.setEscapeButton(QMessageBox::No);
}

QWidget* message_owner() {
    // The screen the user works in; the progress window only stands over it.
    const auto usable = [](QWidget* w) {
        auto* s = qobject_cast<ScreenWindow*>(w);
        return s && s->isVisible() && s->code() != ScreenDispStatus ? s : nullptr;
    };
    if (QWidget* w = usable(QApplication::activeWindow())) return w;
    for (int16_t code : {G.CurrentScreen, G.PreviousScreen})
        if (QWidget* w = usable(screen_instance(code))) return w;
    return nullptr;
}

void centre_over(QWidget* box, const QWidget* owner) {
    if (!owner) return;
    QRect r(QPoint(), box->frameGeometry().size());
    r.moveCenter(owner->frameGeometry().center());
    // Wholly on the owner's screen, even when the owner is partly off it.
    if (const QScreen* s = owner->screen()) {
        const QRect room = s->availableGeometry();
        r.moveLeft(std::max(room.left(), std::min(r.left(), room.right() + 1 - r.width())));
        r.moveTop(std::max(room.top(), std::min(r.top(), room.bottom() + 1 - r.height())));
    }
    box->move(r.topLeft());
}

namespace {
// A message box without a parent (a disabled screen would disable it too), centred over
// the screen that raised it once the box knows its size.
class OwnedMessageBox : public QMessageBox {
  public:
    explicit OwnedMessageBox(QWidget* owner) : owner_(owner) {}

  protected:
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        centre_over(this, owner_);
    }

  private:
    QPointer<QWidget> owner_;
};
} // namespace

int16_t GuiSeam::message(const QString& text, bool yesNo) {
    OwnedMessageBox box(message_owner());
    prepare_message_box(box, text, yesNo);
    const int r = box.exec();
    if (!yesNo) return AnswerOk;
    return r == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

void gui_progress_show() {
    // Loaded by the operation that needs it; a second show keeps the same window.
    open_screen(ScreenDispStatus);
}

void gui_progress_label(int label, const QString& text) {
    if (auto* p = dynamic_cast<ProgressDisplay*>(screen_instance(ScreenDispStatus)))
        p->set_progress_label(label, text);
}

void gui_progress_hide() {
    if (ScreenWindow* w = screen_instance(ScreenDispStatus)) {
        if (auto* p = dynamic_cast<ProgressDisplay*>(w)) p->clear_progress_labels();
        w->unload();
    }
}

void GuiSeam::progress_show() {
    gui_progress_show();
}

void GuiSeam::progress_label(int label, const QString& text) {
    gui_progress_label(label, text);
}

void GuiSeam::progress_hide() {
    gui_progress_hide();
}

void GuiSeam::yield() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void GuiSeam::beep() {
    QApplication::beep();
}

void GuiSeam::terminate() {
    QCoreApplication::processEvents();
    std::exit(0);
}

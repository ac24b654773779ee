// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/header_input.h"
#include "core/confirm.h"
#include "core/seam.h"
#include "core/state.h"
#include "register/header_fields.h"
#include "ui/navigation.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

QString memo_for_storage(const QString& shown) {
    QString t = shown;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t;
}

QString memo_for_display(const QString& stored) {
    return display_text(stored);
}

HeaderInputScreen::HeaderInputScreen()
    : ScreenWindow(ScreenHeaderInput, QStringLiteral("header_input")) {
    struct LabelDesign {
        const char16_t* text;
        int left, top, width;
    };
    const LabelDesign ld[6] = {{u"見出し１", 240, 120, 2892},  {u"見出し２", 240, 840, 2892},
                               {u"見出し３", 3360, 120, 4212}, {u"見出し６", 240, 2520, 2892},
                               {u"年", 1600, 1884, 420},       {u"月", 2916, 1884, 420}};
    for (int i = 0; i < 6; ++i)
        labels_[i] =
            place_label(QStringLiteral("Label1_%1").arg(i + 1), QString::fromUtf16(ld[i].text),
                        ld[i].left, ld[i].top, ld[i].width, 240);
    struct ComboDesign {
        int left, top, width;
    };
    const ComboDesign cd[4] = {
        {240, 360, 2892}, {240, 1080, 2892}, {240, 1800, 1332}, {2040, 1800, 852}};
    for (int i = 0; i < 4; ++i) {
        combos_[i] = place<QComboBox>(QStringLiteral("Combo1_%1").arg(i + 1), cd[i].left, cd[i].top,
                                      cd[i].width, 360);
        combos_[i]->setEditable(true);
        // What is typed stays as typed: no completion, nothing added to the list.
        combos_[i]->setCompleter(nullptr);
        combos_[i]->setInsertPolicy(QComboBox::NoInsert);
        combos_[i]->setMaxVisibleItems(20);
    }
    memo_ = place<QPlainTextEdit>(QStringLiteral("Text1_1"), 3360, 360, 4212, 2892);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setTabChangesFocus(true);
    header6_ = place<QLineEdit>(QStringLiteral("Text1_2"), 240, 2760, 2892, 360);
    const struct {
        const char16_t* text;
        int left;
    } bd[3] = {{u"終 了", 240}, {u"ﾒｲﾝﾒﾆｭｰ", 2040}, {u"次 へ", 6360}};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = place<QPushButton>(QStringLiteral("Command1_%1").arg(i + 1), bd[i].left, 3360,
                                         1215, 495);
        buttons_[i]->setText(QString::fromUtf16(bd[i].text));
    }
    setTabOrder(combos_[0], combos_[1]);
    setTabOrder(combos_[1], combos_[2]);
    setTabOrder(combos_[2], combos_[3]);
    setTabOrder(combos_[3], header6_);
    setTabOrder(header6_, memo_);
    setTabOrder(memo_, buttons_[2]);
    connect(combos_[0], &QComboBox::activated, this, &HeaderInputScreen::title_picked);
    // The combo box also reports a typed title that equals a preset as "activated" (on
    // Enter, and when the field loses the keyboard); only the open list's own pick counts.
    combos_[0]->view()->installEventFilter(this);
    combos_[0]->view()->viewport()->installEventFilter(this);
    connect(buttons_[0], &QPushButton::clicked, this, &HeaderInputScreen::finish);
    connect(buttons_[1], &QPushButton::clicked, this, &HeaderInputScreen::back_to_menu);
    connect(buttons_[2], &QPushButton::clicked, this, &HeaderInputScreen::next);
}

void HeaderInputScreen::on_load() {
    setWindowTitle(G.WindowTitle);
    auto fill = [](QComboBox* c, const Array1<QString>& items, int count) {
        c->clear();
        for (int i = 1; i <= count && i <= items.size(); ++i)
            c->addItem(items(i));
        c->setCurrentIndex(-1);
        c->setEditText(QString());
    };
    fill(combos_[0], G.MagazineTitles, G.MagazineCount);
    fill(combos_[1], G.PublisherNames, G.PublisherCount);
    fill(combos_[2], G.YearNames, G.YearCount);
    fill(combos_[3], G.MonthNames, G.MonthCount);
    for (int i = 1; i <= 4 && i <= G.HeaderLabelCaptions.size(); ++i)
        if (!G.HeaderLabelCaptions(i).isEmpty()) labels_[i - 1]->setText(G.HeaderLabelCaptions(i));
    if ((G.ProgressFlags & 2) && G.HeaderTable.rows() >= 1) {
        combos_[0]->setEditText(G.HeaderTable(1, 1));
        combos_[1]->setEditText(G.HeaderTable(1, 2));
        memo_->setPlainText(memo_for_display(G.HeaderTable(1, 3)));
        combos_[2]->setEditText(G.HeaderTable(1, 4));
        combos_[3]->setEditText(G.HeaderTable(1, 5));
        header6_->setText(G.HeaderTable(1, 6));
        G.VolumeLabel = G.HeaderTable(1, 8);
    } else {
        QString year, month;
        header_date_defaults(QDate::currentDate(), year, month);
        combos_[2]->setEditText(year);
        combos_[3]->setEditText(month);
    }
    combos_[0]->setFocus();
}

bool HeaderInputScreen::eventFilter(QObject* o, QEvent* e) {
    const QAbstractItemView* list = combos_[0]->view();
    if (o == list || o == list->viewport()) {
        bool pick = e->type() == QEvent::MouseButtonRelease;
        // The list takes Enter when the shortcut is offered, before any key press.
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            pick = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select;
        }
        if (pick) {
            // The list picks while this event is handled, or not at all (a click beside
            // the entries): the mark lasts until the event loop runs again.
            listPick_ = true;
            QTimer::singleShot(0, this, [this] { listPick_ = false; });
        }
    }
    return ScreenWindow::eventFilter(o, e);
}

void HeaderInputScreen::title_picked(int index) {
    // Only a pick from the list brings its publisher; typed text changes nothing else.
    if (!listPick_ || index < 0) return;
    listPick_ = false;
    const int k = index + 1;
    if (k <= G.MagazinePublishers.size() && !G.MagazinePublishers(k).isEmpty())
        combos_[1]->setEditText(G.MagazinePublishers(k));
}

void HeaderInputScreen::finish() {
    record_position();
    int16_t kind = 1;
    confirm(kind);
}

bool HeaderInputScreen::on_close_request() {
    finish();
    return false;
}

void HeaderInputScreen::back_to_menu() {
    record_position();
    int16_t kind = 2;
    confirm(kind);
    if (kind != AnswerYes) return;
    unload();
    open_screen(ScreenMenu1);
}

void HeaderInputScreen::next() {
    record_position();
    HeaderEntry e;
    e.title = combos_[0]->currentText();
    e.publisher = combos_[1]->currentText();
    e.memo = memo_for_storage(memo_->toPlainText());
    e.year = combos_[2]->currentText();
    e.month = combos_[3]->currentText();
    e.header6 = header6_->text();
    store_registration_header(e);
    unload();
    open_screen(ScreenHeaderDisp);
}

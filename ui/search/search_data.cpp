// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/search/search_data.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include "core/confirm.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/search_run.h"
#include "ui/lists.h"
#include "ui/navigation.h"
#include <QAbstractListModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {
// Places a control inside a frame, positions in twips relative to the frame.
template <class W>
W* place_in(QWidget* frame, const QString& name, int left, int top, int width, int height) {
    auto* w = new W(frame);
    w->setObjectName(name);
    w->setGeometry(ScreenWindow::tw(left), ScreenWindow::tw(top), ScreenWindow::tw(width),
                   ScreenWindow::tw(height));
    return w;
}

bool ticked(const QCheckBox* c) {
    return c->isChecked();
}

void set_ticked(QCheckBox* c, bool on) {
    // setChecked fires the box's handler only when the value changes, as a click would.
    c->setChecked(on);
}

// Character cells of a line as the list shows it: a name byte that decodes to nothing
// is shown as its escape ("&#56448;"), any other character takes one or two cells.
int shown_cells(QStringView line) {
    int n = 0;
    for (QChar qc : line) {
        const char16_t c = qc.unicode();
        n += c == NameBackslash ? 1 : (c >= 0xDC00 && c <= 0xDCFF) ? 8 : cp932_char_bytes(c);
    }
    return n;
}
} // namespace

// The result lines as List1 shows them, one row each, all of one size (the widest line's):
// the view then lays out and paints only what is on screen, however many lines there are.
class ResultListModel : public QAbstractListModel {
  public:
    // The attached number of a line (minus the block for a header line, plus for a path)
    // and the line as held (what is shown escapes the name bytes that decode to nothing).
    static constexpr int KindRole = Qt::UserRole;
    static constexpr int LineRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    void set_lines(const QList<ResultEntry>& lines, const QAbstractItemView* view) {
        beginResetModel();
        lines_ = lines;
        rowSize_ = QSize();
        if (!lines_.isEmpty()) {
            // The widest line measured once; a few candidates by their cells, so that a font
            // whose half-width letters are not exactly half as wide still finds it.
            std::vector<std::pair<int, int>> cells; // cells, row
            cells.reserve(size_t(lines_.size()));
            for (int i = 0; i < lines_.size(); ++i)
                cells.emplace_back(shown_cells(lines_[i].text), i);
            const size_t measured = std::min<size_t>(cells.size(), 16);
            std::partial_sort(cells.begin(), cells.begin() + std::ptrdiff_t(measured), cells.end(),
                              [](const auto& a, const auto& b) { return a.first > b.first; });
            for (size_t i = 0; i < measured; ++i)
                rowSize_ = rowSize_.expandedTo(
                    line_item_size(view, one_line_text(lines_[cells[i].second].text)));
        }
        endResetModel();
    }
    void clear() { set_lines({}, nullptr); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= lines_.size()) return {};
        const ResultEntry& e = lines_[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return one_line_text(e.text);
        case Qt::SizeHintRole:
            return rowSize_;
        case KindRole:
            return int(e.kind);
        case LineRole:
            return e.text;
        default:
            return {};
        }
    }

  private:
    QList<ResultEntry> lines_;
    QSize rowSize_;
};

SearchDataScreen::SearchDataScreen()
    : ScreenWindow(ScreenSearchData, QStringLiteral("search_data")) {
    heading_ =
        place_label(QStringLiteral("Label1_1"), QStringLiteral("検索結果 "), 120, 96, 5292, 396);
    list_ = place<QListView>(QStringLiteral("List1"), 120, 480, 5292, 5448);
    results_ = new ResultListModel(list_);
    list_->setModel(results_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    make_uniform_line_list(list_);
    list_->installEventFilter(this);
    place_label(QStringLiteral("Label1_2"), QStringLiteral("検索文字入力"), 5880, 120, 1452, 252);
    for (int i = 0; i < 3; ++i) {
        auto* marker =
            place_label(QStringLiteral("Text3_%1").arg(i + 1), QStringLiteral("[%1]").arg(i + 1),
                        5520, 420 + 360 * i, 372, 216);
        marker->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        words_[i] =
            place<QLineEdit>(QStringLiteral("Text1_%1").arg(i + 1), 5880, 360 + 360 * i, 2412, 324);
        connect(words_[i], &QLineEdit::textChanged, this, [this, i] { text_changed(i + 1); });
    }
    // Check boxes and option buttons are a little taller than designed so that the
    // configured font is never clipped; the arrangement stays as designed.
    check_[3] = place<QCheckBox>(QStringLiteral("Check4"), 5640, 1440, 2532, 240);
    check_[3]->setText(QStringLiteral("ワイルドカード検索"));
    check_[4] = place<QCheckBox>(QStringLiteral("Check5"), 5640, 1680, 2532, 240);
    check_[4]->setText(QStringLiteral("見出しのみ検索"));

    frames_[3] = place<QGroupBox>(QStringLiteral("Frame4"), 5520, 1920, 2772, 1812);
    frames_[3]->setTitle(QStringLiteral("検索条件（次回有効）"));
    presetGroup_ = new QButtonGroup(this);
    presetGroup_->setExclusive(true);
    for (int i = 0; i < 6; ++i) {
        presets_[i] = place_in<QRadioButton>(frames_[3], QStringLiteral("Option1_%1").arg(i + 1),
                                             100, 240 + 240 * i, 2620, 240);
        presetGroup_->addButton(presets_[i], i + 1);
    }
    presets_[0]->setChecked(true);
    // A preset the user picks is the one remembered for the next time presets appear.
    connect(presetGroup_, &QButtonGroup::idClicked, this,
            [this](int id) { rememberedPreset_ = id; });

    frames_[0] = place<QGroupBox>(QStringLiteral("Frame1"), 5520, 3840, 2772, 492);
    frames_[0]->setTitle(QStringLiteral("大文字／小文字"));
    caseOpt_[0] =
        place_in<QRadioButton>(frames_[0], QStringLiteral("Option2_1"), 120, 220, 1092, 252);
    caseOpt_[1] =
        place_in<QRadioButton>(frames_[0], QStringLiteral("Option2_2"), 1320, 216, 1092, 252);
    frames_[2] = place<QGroupBox>(QStringLiteral("Frame3"), 5520, 4440, 2772, 492);
    frames_[2]->setTitle(QStringLiteral("半角／全角"));
    widthOpt_[0] =
        place_in<QRadioButton>(frames_[2], QStringLiteral("Option4_1"), 120, 216, 1092, 252);
    widthOpt_[1] =
        place_in<QRadioButton>(frames_[2], QStringLiteral("Option4_2"), 1320, 216, 1092, 252);
    for (QRadioButton* r : {caseOpt_[0], widthOpt_[0]})
        r->setText(QStringLiteral("区別無"));
    for (QRadioButton* r : {caseOpt_[1], widthOpt_[1]})
        r->setText(QStringLiteral("区別有"));
    caseOpt_[0]->setChecked(true);
    widthOpt_[0]->setChecked(true);

    frames_[1] = place<QGroupBox>(QStringLiteral("Frame2"), 5520, 5040, 2772, 1092);
    frames_[1]->setTitle(QStringLiteral("検索結果状態（次回有効）"));
    check_[2] = place_in<QCheckBox>(frames_[1], QStringLiteral("Check3"), 120, 240, 2055, 240);
    check_[2]->setText(QStringLiteral("検索結果ソート"));
    check_[0] = place_in<QCheckBox>(frames_[1], QStringLiteral("Check1"), 120, 540, 2055, 240);
    check_[0]->setText(QStringLiteral("見出し表示"));
    check_[1] = place_in<QCheckBox>(frames_[1], QStringLiteral("Check2"), 120, 820, 2055, 240);
    check_[1]->setText(QStringLiteral("ディレクトリ表示"));

    const struct {
        const char16_t* text;
        int left, width;
    } b[5] = {{u"終 了", 120, 1092},
              {u"文字列検索", 6600, 1692},
              {u"検索文字全消去", 2760, 1692},
              {u"ﾒｲﾝﾒﾆｭｰ", 1440, 1092},
              {u"ﾌﾞﾛｯｸ検索", 4680, 1692}};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = place<QPushButton>(QStringLiteral("Command%1").arg(i + 1), b[i].left, 6240,
                                         b[i].width, 492);
        buttons_[i]->setText(QString::fromUtf16(b[i].text));
    }
    connect(buttons_[0], &QPushButton::clicked, this, &SearchDataScreen::finish);
    connect(buttons_[1], &QPushButton::clicked, this, &SearchDataScreen::string_search);
    connect(buttons_[2], &QPushButton::clicked, this, &SearchDataScreen::clear_words);
    connect(buttons_[3], &QPushButton::clicked, this, &SearchDataScreen::back_to_menu);
    connect(buttons_[4], &QPushButton::clicked, this, &SearchDataScreen::block_search);
    // Enter in a search field starts the string search, the button drawn as the default.
    buttons_[1]->setDefault(true);
    for (QLineEdit* t : words_)
        connect(t, &QLineEdit::returnPressed, this, &SearchDataScreen::string_search);
    // Tab follows the layout: the list, the inputs and options top to bottom, then the
    // buttons from left to right.
    QWidget* order[] = {list_,        words_[0],   words_[1],   words_[2],   check_[3],
                        check_[4],    presets_[0], presets_[1], presets_[2], presets_[3],
                        presets_[4],  presets_[5], caseOpt_[0], caseOpt_[1], widthOpt_[0],
                        widthOpt_[1], check_[2],   check_[0],   check_[1],   buttons_[0],
                        buttons_[3],  buttons_[2], buttons_[4], buttons_[1]};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Check4 has no handler: it is read when a search runs.
    connect(check_[4], &QCheckBox::toggled, this, &SearchDataScreen::check5_clicked);
    connect(check_[0], &QCheckBox::toggled, this, [this] { apply_display(ShownLines::Headers); });
    connect(check_[1], &QCheckBox::toggled, this, [this] { apply_display(ShownLines::Dirs); });
    connect(check_[2], &QCheckBox::toggled, this, &SearchDataScreen::check3_clicked);
    connect(list_, &QListView::doubleClicked, this, &SearchDataScreen::open_result);
}

SearchControls SearchDataScreen::controls() const {
    SearchControls c;
    c.Option2_1 = caseOpt_[0]->isChecked();
    c.Option2_2 = caseOpt_[1]->isChecked();
    c.Option4_1 = widthOpt_[0]->isChecked();
    c.Option4_2 = widthOpt_[1]->isChecked();
    int16_t* v[5] = {&c.Check1, &c.Check2, &c.Check3, &c.Check4, &c.Check5};
    for (int i = 0; i < 5; ++i)
        *v[i] = ticked(check_[i]) ? 1 : 0;
    return c;
}

void SearchDataScreen::set_controls(const SearchControls& c) {
    // Option buttons of one frame exclude each other; with neither saved as selected,
    // the first (fold) is.
    caseOpt_[c.Option2_2 && !c.Option2_1 ? 1 : 0]->setChecked(true);
    widthOpt_[c.Option4_2 && !c.Option4_1 ? 1 : 0]->setChecked(true);
    const int16_t v[5] = {c.Check1, c.Check2, c.Check3, c.Check4, c.Check5};
    for (int i = 0; i < 5; ++i)
        set_ticked(check_[i], v[i] == 1);
}

SearchOptions SearchDataScreen::options() const {
    SearchOptions o;
    o.foldCase = !caseOpt_[1]->isChecked();
    o.foldWidth = !widthOpt_[1]->isChecked();
    o.showHeaders = ticked(check_[0]);
    o.showDirs = ticked(check_[1]);
    o.sort = ticked(check_[2]);
    o.wildcard = ticked(check_[3]);
    o.headerOnly = ticked(check_[4]);
    return o;
}

int SearchDataScreen::selected_preset() const {
    const int id = presetGroup_->checkedId();
    return id >= 1 ? id : 1;
}

void SearchDataScreen::on_load() {
    setWindowTitle(G.WindowTitle);
    for (QRadioButton* p : presets_)
        p->hide();
    shownPresets_ = 0;
    rememberedPreset_ = saved_preset();
    select_preset(rememberedPreset_);
    for (QLineEdit* t : words_)
        t->setText(QString());
    for (int k = 1; k <= 3; ++k)
        G.SearchWords(k).clear();
    clear_results();
    // No saved options at all (line 10 of the settings file empty): the screen's own
    // defaults, case and width folded and every box clear. A single unreadable saved value
    // takes the default of a first use: case and width folded, header lines shown, sorted.
    SearchControls c;
    if (G.SavedSettings(1).isEmpty())
        c.Check1 = c.Check3 = 0;
    else
        search_options(1, c);
    set_controls(c);
    // A settings file edited by hand may untick both kinds of line; one stays shown.
    apply_display(ShownLines::Headers);
    mirror_search_options(options());
    words_[0]->setFocus();
}

void SearchDataScreen::keep_options() {
    SearchControls c = controls();
    search_options(-1, c);
    G.SavedSettings(10) = QString::number(rememberedPreset_);
}

void SearchDataScreen::on_unload() {
    keep_options();
}

void SearchDataScreen::text_changed(int index) {
    G.SearchWords(index) = words_[index - 1]->text();
    update_presets();
}

void SearchDataScreen::select_preset(int preset) {
    if (preset < 1 || preset > 6) preset = 1;
    presets_[preset - 1]->setChecked(true);
}

void SearchDataScreen::update_presets() {
    const QString words[3] = {words_[0]->text(), words_[1]->text(), words_[2]->text()};
    const QStringList captions = preset_captions(words);
    for (int i = 0; i < 6; ++i) {
        if (i < captions.size()) presets_[i]->setText(captions[i]);
        presets_[i]->setVisible(i < captions.size());
    }
    const int was = shownPresets_;
    shownPresets_ = int(captions.size());
    select_preset(preset_after_change(was, shownPresets_, selected_preset(), rememberedPreset_));
}

void SearchDataScreen::apply_display(ShownLines kept) {
    // Each change fires the box's own handler, which finds the rule kept already.
    const SearchOptions o = consistent_display(options(), kept);
    set_ticked(check_[0], o.showHeaders);
    set_ticked(check_[1], o.showDirs);
}

void SearchDataScreen::check5_clicked() {
    mirror_search_options(options());
    apply_display(ShownLines::Headers);
}

void SearchDataScreen::check3_clicked() {
    mirror_search_options(options());
}

namespace {
void bring_to_front(QWidget* w) {
    w->show();
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    w->raise();
    w->activateWindow();
}
} // namespace

void SearchDataScreen::string_search() {
    if (operation_running() || !isEnabled()) return;
    const QString words[3] = {words_[0]->text(), words_[1]->text(), words_[2]->text()};
    SearchDisplay d;
    bool searched = false;
    // With a string to search for, the old results go before the scan starts, so that
    // nothing on screen passes for the new search's outcome while it runs.
    if (!words[0].isEmpty() || !words[1].isEmpty() || !words[2].isEmpty()) clear_results();
    {
        OperationScope op(this);
        searched = run_string_search(words, selected_preset(), options(), d);
        if (searched) show_results(d);
    }
    if (!searched) {
        // Nothing was filled: the list keeps what it shows, the user types.
        words_[0]->setFocus();
        return;
    }
    bring_to_front(this);
    seam().yield();
}

void SearchDataScreen::block_search() {
    if (operation_running() || !isEnabled()) return;
    // Ticked in this order, each with its own rule; they stay ticked afterwards.
    SearchOptions o = block_search_options(options());
    set_ticked(check_[0], o.showHeaders);
    set_ticked(check_[1], o.showDirs);
    set_ticked(check_[3], o.wildcard);
    set_ticked(check_[4], o.headerOnly);
    o = options();
    clear_results();
    {
        OperationScope op(this);
        show_results(run_block_search(o));
    }
    bring_to_front(this);
    seam().yield();
}

void SearchDataScreen::show_results(const SearchDisplay& d) {
    results_->set_lines(d.entries, list_);
    // The line that looks chosen is the chosen one: Enter opens it.
    if (results_->rowCount() > 0) list_->setCurrentIndex(results_->index(0));
    heading_->setText(display_text(d.caption));
}

void SearchDataScreen::clear_results() {
    results_->clear();
    heading_->setText(display_text(G.CrLf + QStringLiteral("検索結果")));
}

void SearchDataScreen::clear_words() {
    for (QLineEdit* t : words_)
        t->setText(QString());
    words_[0]->setFocus();
}

bool SearchDataScreen::eventFilter(QObject* o, QEvent* e) {
    if (o == list_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            open_result();
            return true;
        }
    }
    return ScreenWindow::eventFilter(o, e);
}

void SearchDataScreen::open_result() {
    if (operation_running() || !isEnabled()) return;
    const QModelIndex item = list_->currentIndex();
    if (G.ResultLineCount < 1 || !item.isValid() || !list_->selectionModel()->isSelected(item))
        return;
    G.HeaderViewFromSearch = 1;
    G.SelectedBlockNo =
        static_cast<int16_t>(std::abs(item.data(ResultListModel::KindRole).toInt()));
    G.SelectedResultLine = item.data(ResultListModel::LineRole).toString();
    open_on_top(ScreenHeaderDisp);
}

void SearchDataScreen::back_to_menu() {
    unload();
    open_screen(ScreenMenu1);
}

void SearchDataScreen::finish() {
    record_position();
    keep_options();
    int16_t kind = 1;
    confirm(kind);
}

bool SearchDataScreen::on_close_request() {
    // The program must not go on without a window: closing is going back to the menu,
    // with the options kept as ﾒｲﾝﾒﾆｭｰ keeps them.
    back_to_menu();
    return true;
}

QWidget* SearchDataScreen::default_focus() const {
    return words_[0];
}

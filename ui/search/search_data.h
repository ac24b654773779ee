// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// search_data: the search screen. Three search strings with their and/or presets, the
// case, width, wildcard and header-only options, the display options, string and block
// search, and the result list whose entries open the block view.
#include "search/search_rules.h"
#include "ui/screen_window.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
struct SearchDisplay;
class ResultListModel;

class SearchDataScreen : public ScreenWindow {
    Q_OBJECT
  public:
    SearchDataScreen();

    // The option buttons and check boxes as search_options stores them, and back.
    SearchControls controls() const;
    void set_controls(const SearchControls& c);
    // What a search runs with, read from the controls.
    SearchOptions options() const;
    // The selected preset (1..6) and the one remembered for when the presets are shown.
    int selected_preset() const;
    int remembered_preset() const { return rememberedPreset_; }

    void string_search();
    void block_search();
    void clear_words();
    // Opens the selected result line in the block view; nothing without one.
    void open_result();

  protected:
    void on_load() override;
    void on_unload() override;
    bool on_close_request() override;
    QWidget* default_focus() const override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void text_changed(int index);
    void update_presets();
    void select_preset(int preset);
    void check5_clicked();
    void apply_display(ShownLines kept);
    void check3_clicked();
    void show_results(const SearchDisplay& d);
    void clear_results();
    void back_to_menu();
    void finish();
    void keep_options();

    QLabel* heading_;
    QListView* list_;
    ResultListModel* results_;
    QLineEdit* words_[3];
    QCheckBox* check_[5];  // Check1 .. Check5
    QGroupBox* frames_[4]; // Frame1 .. Frame4
    QRadioButton* presets_[6];
    QRadioButton* caseOpt_[2];
    QRadioButton* widthOpt_[2];
    QButtonGroup* presetGroup_;
    QPushButton* buttons_[5]; // Command1 .. Command5
    int rememberedPreset_ = 1;
    int shownPresets_ = 0; // 0, 2 or 6
};

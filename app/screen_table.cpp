// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screen_table.h"
#include "ui/acquire/del_dir.h"
#include "ui/acquire/disp_status.h"
#include "ui/acquire/search_dir.h"
#include "core/state.h"
#include "ui/register/header_disp.h"
#include "ui/register/header_input.h"
#include "ui/register/menu1.h"
#include "ui/search/search_data.h"
#include "ui/navigation.h"
#include "ui/view/disp_directory.h"

void register_standard_screens() {
    register_screen(ScreenHeaderDisp, [] { return new HeaderDispScreen; });
    register_screen(ScreenHeaderInput, [] { return new HeaderInputScreen; });
    register_screen(ScreenMenu1, [] { return new Menu1Screen; });
    register_screen(ScreenSearchDir, [] { return new SearchDirScreen; });
    register_screen(ScreenDelDir, [] { return new DelDirScreen; });
    register_screen(ScreenDispStatus, [] { return new DispStatusScreen; });
    register_screen(ScreenSearchData, [] { return new SearchDataScreen; });
    register_screen(ScreenDispDirectory, [] { return new DispDirectoryScreen; });
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The screens of the program by screen code. A new screen adds its line here; the
// screens that open it need only its code.
#include "acquire/del_dir.h"
#include "acquire/disp_status.h"
#include "acquire/search_dir.h"
#include "core/state.h"
#include "register/header_disp.h"
#include "register/header_input.h"
#include "register/menu1.h"
#include "search/search_data.h"
#include "ui/navigation.h"
#include "view/disp_directory.h"

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

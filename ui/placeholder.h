#pragma once
// An empty stand-in for a screen that is not built yet: its title, a way back to the
// main menu, nothing else.
#include "ui/screen_window.h"

class PlaceholderScreen : public ScreenWindow {
    Q_OBJECT
  public:
    PlaceholderScreen(int16_t code, const QString& name);

  protected:
    bool on_close_request() override;

  private:
    void back_to_menu();
};

// tobrin: the desktop program. Its one optional argument is the configuration file's path.
#include "core/state.h"
#include "ui/gui_seam.h"
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    GuiSeam gui;
    set_seam(&gui);
    QLabel stub(G.WindowTitle);
    stub.setWindowTitle(G.WindowTitle);
    stub.show();
    return app.exec();
}

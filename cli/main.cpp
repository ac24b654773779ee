// tobrin-cli: the companion for terminals and scripts.
#include "cli/cli_seam.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    CliSeam cli;
    set_seam(&cli);
    std::fprintf(stderr, "usage: tobrin-cli COMMAND [options]\n");
    return 2;
}

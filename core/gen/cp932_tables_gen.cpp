// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the code page 932 tables as a source file, so that the program starts without
// asking the converter thousands of times.
#include "cp932_platform.h"
#include <cstdio>

int main() {
    using namespace cp932_platform;
    const auto t = build();
    std::printf("// Generated at build time from the platform's windows-31j converter.\n"
                "#include \"core/codepage_tables.h\"\n\n");
    std::printf("const char16_t Cp932Single[256] = {");
    for (int b = 0; b < 256; ++b)
        std::printf("%s0x%04X", b % 12 ? ", " : ",\n    " + (b == 0), unsigned(t->single[b]));
    std::printf("};\n\nconst char16_t Cp932Pairs[Cp932Leads][Cp932Trails] = {\n");
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!is_lead(lead)) continue;
        std::printf("    {");
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            std::printf("%s0x%04X",
                        trail == 0x40         ? ""
                        : (trail - 0x40) % 12 ? ", "
                                              : ",\n     ",
                        unsigned(t->pair[lead][trail]));
        std::printf("},\n");
    }
    std::printf("};\n\nconst Cp932Choice Cp932Chosen[] = {\n");
    for (const auto& [ch, bytes] : t->chosen)
        std::printf("    {0x%04X, 0x%04X},\n", unsigned(ch), unsigned(bytes));
    std::printf("};\nconst int Cp932ChosenCount = %d;\n", int(t->chosen.size()));
    return 0;
}

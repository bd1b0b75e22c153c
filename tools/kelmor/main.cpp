// kelmor: glyphs from TrueType fonts without writing a host program.
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "library_location.h"

namespace {

constexpr const char *kVersion = "0.1.0";

void PrintUsage(FILE *to) {
    std::fprintf(to,
                 "usage: kelmor COMMAND [ARGUMENTS]\n"
                 "\n"
                 "Commands:\n"
                 "  info FONT        show the tables, character maps, names and limits of a font\n"
                 "  render FONT ...  render text, codes or glyph numbers to the terminal or a PNG\n"
                 "  cob ...          build the code-space concordance files\n"
                 "  trace FONT ...   list the hinting instructions a glyph runs\n"
                 "  bdf FONT ...     write a range of glyphs as a BDF font\n"
                 "  carray FONT ...  write a range of glyphs as a C header (Adafruit GFX)\n"
                 "  lvgl FONT ...    write glyphs in grey levels as an LVGL font (C source)\n"
                 "  fonts ...        list, add, change and remove the installed fonts\n"
                 "  fot FILE.FOT     show what a Windows font resource file holds\n"
                 "\n"
                 "Options:\n"
                 "  --help           this text ('kelmor COMMAND --help' explains a command)\n"
                 "  --version        the tool's version\n");
}

struct Command {
    const char *name;
    int (*run)(int argc, char **argv);
};

constexpr Command kCommands[] = {
    {"info", CmdInfo},
    {"render", CmdRender},
    {"cob", CmdCob},
    {"trace", CmdTrace},
    {"bdf", CmdBdf},
    {"carray", CmdCarray},
    {"lvgl", CmdLvgl},
    {"fonts", CmdFonts},
    {"fot", CmdFot},
};

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const char *first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0 ||
        std::strcmp(first, "help") == 0) {
        PrintUsage(stdout);
        return 0;
    }
    if (std::strcmp(first, "--version") == 0) {
        std::printf("kelmor %s\n", kVersion);
        return 0;
    }
    for (const Command &command : kCommands) {
        if (std::strcmp(first, command.name) != 0) continue;
        kelmor::UseInstalledLibrarySettings();
        return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "kelmor: unknown command \"%s\" (try 'kelmor --help')\n", first);
    return 2;
}

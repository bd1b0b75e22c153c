// kelmor fot: what a Windows font resource file (.FOT) holds, read with the
// library's own reader: its resources, the TrueType file it names and its
// font directory entry.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "fot_prompt.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {

namespace {

const char kFotUsage[] =
    "usage: kelmor fot FILE.FOT\n"
    "\n"
    "Shows what a Windows font resource file holds: its resources, the\n"
    "TrueType file it names and its font directory entry.\n";

const char kCommand[] = "fot";

std::string IdText(uint16_t id, const char *name) {
    int32_t number = ResourceNumber(id);
    return number >= 0 ? std::to_string(number) : "\"" + PrintableText(name ? name : "") + "\"";
}

const char *TypeMeaning(uint16_t type) {
    switch (ResourceNumber(type)) {
        case kFontDirectoryType: return " (font directory)";
        case kTrueTypeFileType: return " (TrueType file name)";
        default: return "";
    }
}

void PrintResources(const EXEINFO *info) {
    std::printf("Resources (alignment %u bytes):\n", 1u << (info->wShiftCount & 31));
    if (!info->pResTable) std::printf("  (none)\n");
    for (const tgRESTYPE *t = info->pResTable; t; t = t->pNext) {
        std::printf("  type %s%s, %u resource(s)\n", IdText(t->wType, t->pResourceType).c_str(),
                    TypeMeaning(t->wType), t->wCount);
        for (uint16_t i = 0; i < t->wCount; ++i) {
            const RESINFO2 &r = t->pResInfoArray[i];
            unsigned long long shift = info->wShiftCount < 16 ? info->wShiftCount : 0;
            std::printf("    id %s at byte %llu, %llu bytes\n",
                        IdText(r.wID, r.pResourceName).c_str(),
                        (unsigned long long)r.wOffset << shift,
                        (unsigned long long)r.wLength << shift);
        }
    }
}

// The first resource of the last numbered type `number`, as the reader
// picks it.
const RESINFO2 *ResourceOfType(const EXEINFO *info, int32_t number) {
    const RESINFO2 *found = nullptr;
    for (const tgRESTYPE *t = info->pResTable; t; t = t->pNext)
        if (ResourceNumber(t->wType) == number && t->wCount > 0) found = t->pResInfoArray;
    return found;
}

void PrintFontFile(const EXEINFO *info) {
    std::vector<uint8_t> bytes;
    const RESINFO2 *res = ResourceOfType(info, kTrueTypeFileType);
    if (!res || !ReadResourceBytes(info, res, &bytes)) {
        std::printf("TrueType file: (not readable)\n");
        return;
    }
    // The name ends at its terminator, as the reader takes it.
    std::string name(bytes.begin(), std::find(bytes.begin(), bytes.end(), uint8_t(0)));
    std::printf("TrueType file: %s\n", PrintableText(name).c_str());
}

void PrintFontDirectory(const EXEINFO *info) {
    std::vector<uint8_t> bytes;
    FontDirInfo dir;
    const RESINFO2 *res = ResourceOfType(info, kFontDirectoryType);
    if (!res || !ReadResourceBytes(info, res, &bytes) ||
        !ReadFontDirEntry(bytes.data(), bytes.size(), &dir)) {
        std::printf("Font directory entry: (not readable)\n");
        return;
    }
    std::printf("Font directory entry:\n");
    std::printf("  face name       %s\n", PrintableText(dir.faceName).c_str());
    std::printf("  device name     %s\n", PrintableText(dir.deviceName).c_str());
    std::printf("  copyright       %s\n", PrintableText(dir.copyright).c_str());
    std::printf("  character set   %u\n", dir.dfCharSet);
    std::printf("  pitch & family  %u\n", dir.dfPitchAndFamily);
    std::printf("  weight          %u\n", dir.dfWeight);
    std::printf("  points          %u\n", dir.dfPoints);
    std::printf("  version         %u.%02u\n", dir.dfVersion >> 8, dir.dfVersion & 0xFF);
}

int ShowFot(const std::string &path) {
    EXEINFO *info = nullptr;
    int32_t rc = LoadExeInfo(path.c_str(), &info);
    if (rc < 0) return Report(kCommand, "cannot read " + path + ": " + ExeLoadError(rc));
    if (info->NewHdr.wNewSignature != kNeSignature) {
        std::printf("%s: an MZ executable without a new-format header: no resources\n",
                    path.c_str());
    } else {
        std::printf("%s: NE executable, type %u%s, expected Windows version %u.%02u\n",
                    path.c_str(), info->NewHdr.bExeType,
                    info->NewHdr.bExeType == kExeTypeWindows ? " (Windows)" : "",
                    info->NewHdr.wExpVersion >> 8, info->NewHdr.wExpVersion & 0xFF);
        PrintResources(info);
        PrintFontFile(info);
        PrintFontDirectory(info);
    }
    bool complete = ResourceOfType(info, kTrueTypeFileType) && ResourceOfType(info, kFontDirectoryType);
    FreeExeInfoMemory(info);
    if (!complete) return Report(kCommand, path + " is not a font resource file (it lacks the font directory or the TrueType file name)");
    return 0;
}

}  // namespace

}  // namespace kelmor

int CmdFot(int argc, char **argv) {
    using namespace kelmor;
    ArgCursor args(argc, argv);
    std::string path;
    bool help = false;
    while (!args.Done()) {
        if (args.Flag("--help") || args.Flag("-h")) {
            help = true;
        } else if (path.empty() && args.Positional(&path)) {
            continue;
        } else {
            return Report(kCommand, "unexpected argument \"" + args.Take() + "\" (try 'kelmor fot --help')",
                          kUsageError);
        }
    }
    if (help) {
        std::fputs(kFotUsage, stdout);
        return 0;
    }
    if (path.empty()) return Report(kCommand, "FILE.FOT is required (try 'kelmor fot --help')", kUsageError);
    return ShowFot(path);
}

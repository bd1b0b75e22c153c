// kelmor cob: writes the concordance files the library converts Shift-JIS,
// Big5, GB 2312, GBK and Wansung text with, and optionally registers them in
// an ini file so that the library finds them.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "args.h"
#include "cob_builder.h"
#include "commands.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {

namespace {

const char kCobUsage[] =
    "usage: kelmor cob --out DIR [--register INI]\n"
    "\n"
    "Builds the concordance files Jis2Uni.cob (Shift-JIS, as code page 932),\n"
    "Big5_Uni.cob (Big5), Gb2Uni.cob (GB 2312), Gbk_Uni.cob (GBK, code page\n"
    "936) and Wans2Uni.cob (Korean Wansung: EUC-KR and code page 949) from the\n"
    "C library's iconv tables and writes them into DIR, which is created when\n"
    "missing.\n"
    "\n"
    "  --out DIR        directory for the files\n"
    "  --register INI   also record each file under [Code Space Concordances]\n"
    "                   of the ini file INI (key: the file's full path)\n"
    "  --help           show this text\n";

const char kCommand[] = "cob";
const char kCobSection[] = "Code Space Concordances";

struct CobOptions {
    std::string outDir;
    std::string iniFile;
    bool help = false;
};

// True when the argument was this option; a missing or empty value, or one
// that is the next option, is recorded in *error.
bool TakeOption(ArgCursor &args, const char *name, std::string *value, std::string *error) {
    if (!args.Value(name, value)) return false;
    if (!args.Error().empty()) {
        *error = args.Error();
    } else if (value->empty() || value->rfind("--", 0) == 0) {
        *error = std::string(name) + " needs a value";
    }
    return true;
}

bool ParseCobOptions(int argc, char **argv, CobOptions *options, std::string *error) {
    ArgCursor args(argc, argv);
    while (!args.Done() && error->empty()) {
        if (args.Flag("--help") || args.Flag("-h")) {
            options->help = true;
        } else if (!TakeOption(args, "--out", &options->outDir, error) &&
                   !TakeOption(args, "--register", &options->iniFile, error)) {
            *error = "unexpected argument \"" + args.Take() + "\"";
        }
    }
    if (error->empty() && !options->help && options->outDir.empty()) {
        *error = "--out DIR is required";
    }
    return error->empty();
}

// The directory as an absolute path, created when missing: the ini key must
// name the file wherever the library is later run from.
bool PrepareOutDir(const std::string &dir, std::string *absoluteDir, std::string *error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path path = fs::absolute(dir, ec).lexically_normal();
    if (!ec) fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path)) {
        *error = "cannot use directory " + dir + (ec ? ": " + ec.message() : "");
        return false;
    }
    *absoluteDir = path.string();
    // lexically_normal keeps a trailing separator ("/tmp/x/"); the file name
    // is joined with one of its own.
    while (absoluteDir->size() > 1 && absoluteDir->back() == '/') absoluteDir->pop_back();
    return true;
}

// The value fields (the library reads only the key): source code space,
// target code space, and where the table came from.
bool RegisterCobFile(const std::string &iniFile, const CodeSpace &space, const std::string &path,
                     std::string *error) {
    std::string fields = std::string(space.lpszName) + ",Unicode,iconv " +
                         space.lpszIconvName + ",";
    if (!ProfileTextIsWritable(kCobSection, path.c_str(), fields.c_str())) {
        *error = "the path " + path + " cannot be an ini key";
        return false;
    }
    if (!ProfileWriteString(iniFile.c_str(), kCobSection, path.c_str(), fields.c_str())) {
        *error = "cannot write to " + iniFile;
        return false;
    }
    return true;
}

int BuildConcordances(const CobOptions &options) {
    std::string dir, error;
    if (!PrepareOutDir(options.outDir, &dir, &error)) return Report(kCommand, error);
    for (const CodeSpace &space : ConcordCodeSpaces()) {
        std::string path;
        if (!WriteCobFile(space, dir, &path, &error) ||
            (!options.iniFile.empty() && !RegisterCobFile(options.iniFile, space, path, &error))) {
            return Report(kCommand, error);
        }
        std::printf("%s\n", path.c_str());
    }
    if (!options.iniFile.empty()) {
        std::printf("registered in [%s] of %s\n", kCobSection, options.iniFile.c_str());
    }
    return 0;
}

}  // namespace

}  // namespace kelmor

int CmdCob(int argc, char **argv) {
    kelmor::CobOptions options;
    std::string error;
    if (!kelmor::ParseCobOptions(argc, argv, &options, &error)) {
        return kelmor::Report(kelmor::kCommand, error + " (try 'kelmor cob --help')",
                              kelmor::kUsageError);
    }
    if (options.help) {
        std::fputs(kelmor::kCobUsage, stdout);
        return 0;
    }
    return kelmor::BuildConcordances(options);
}

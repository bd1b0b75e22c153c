// A host that loads the shared library by a relative path and then changes
// its directory still finds the library's own ini file.
#include <gtest/gtest.h>

#ifdef KELMOR_SHARED_LIBRARY

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_paths.h"

namespace {

namespace fs = std::filesystem;

TEST(LibraryPath, RelativeLoadStillFindsTheIniBesideTheLibrary) {
    std::string libraryDir = kelmor_test::ScratchDir("relative-load");
    std::string elsewhere = kelmor_test::ScratchDir("relative-load-elsewhere");
    fs::copy_file(KELMOR_SHARED_LIBRARY, libraryDir + "/libkelmor.so");
    setenv("KELMOR_PROFILE", (libraryDir + "/profile.ini").c_str(), 1);
    fs::path start = fs::current_path();

    fs::current_path(libraryDir);
    void *library = dlopen("./libkelmor.so", RTLD_NOW | RTLD_LOCAL);
    fs::current_path(elsewhere);
    ASSERT_NE(nullptr, library) << dlerror();
    using RegisterApp = void *(*)(void *);
    auto registerApp = reinterpret_cast<RegisterApp>(dlsym(library, "KelmoRegisterApp"));
    ASSERT_NE(nullptr, registerApp);
    registerApp(nullptr);  // writes the default help entry into the ini file
    fs::current_path(start);

    EXPECT_TRUE(fs::exists(libraryDir + "/Kelmor.ini"));
    EXPECT_FALSE(fs::exists(elsewhere + "/Kelmor.ini"));
}

}  // namespace

#endif

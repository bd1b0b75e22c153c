// Prepares the directory an example host runs in: a Shift-JIS concordance
// for the example's line, and a fresh Kelmor.ini that registers it (no
// fonts installed).  On Linux the library finds that ini through a user
// profile of its own, profile.ini, named by KELMOR_PROFILE; on Windows the
// ini lies beside the example's copy of the DLL.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cob_writer.h"
#include "text_file.h"

int main() {
    const std::filesystem::path dir = std::filesystem::current_path();
    const std::string cob = (dir / "Jis2Uni.cob").string();
    std::vector<uint8_t> image = kelmor_test::ShiftJisConcordance(kelmor_test::JapaneseLineCodes());
    kelmor_test::WriteTextFile(cob, std::string(image.begin(), image.end()));
    kelmor_test::WriteTextFile((dir / "Kelmor.ini").string(),
                               "[Code Space Concordances]\r\n" + cob + "=\r\n");
    kelmor_test::WriteTextFile((dir / "profile.ini").string(),
                               "[Kelmor Type Font Interface 1.0]\r\nIniPath=" +
                                   (dir / "Kelmor.ini").string() + "\r\n");
    std::printf("prepared %s\n", dir.string().c_str());
    return 0;
}

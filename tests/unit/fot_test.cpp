// The .FOT reader on synthetic NE files: well-formed ones, the shapes real
// writers produce, and files broken in every field the reader trusts.
// Message boxes go to a recording service that answers as the case says.
#include "ttf/install/fot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelmor.h"
#include "ne_builder.h"
#include "platform/message_box.h"
#include "test_paths.h"
#include "ttf/install/exehdr.h"

using namespace kelmor;
using kelmor_test::Bytes;
using kelmor_test::FontDirectory;
using kelmor_test::NeBuilder;
using kelmor_test::Text;
using kelmor_test::kResourceTableAt;

namespace {

using kelmor_test::kDirSeparator;

struct Box {
    std::string text, caption;
    uint32_t type;
};
std::vector<Box> boxes;
int answer = kIdOk;

int RecordBox(const char *text, const char *caption, uint32_t type) {
    boxes.push_back({text, caption, type});
    return answer;
}

NeBuilder FotFile(const std::string &face = "Mincho Face", const std::string &ttf = "MINCHO.TTF") {
    NeBuilder b;
    b.AddType(0x8007).AddResource(0x8001, FontDirectory(face, "DEV"));
    b.AddType(0x80CC).AddResource(0x8001, Text(ttf));
    return b;
}

class Fot : public ::testing::Test {
protected:
    void SetUp() override {
        auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = kelmor_test::ScratchDir(test->name());
        boxes.clear();
        answer = kIdOk;
        previous_ = SetMessageBoxService(RecordBox);
        std::memset(fd_, 0xEE, sizeof fd_);
        std::strcpy(ttf_, "untouched");
    }
    void TearDown() override { SetMessageBoxService(previous_); }

    std::string Write(const Bytes &bytes, const std::string &name = "test.fot") {
        std::string path = dir_ + kDirSeparator + name;
        kelmor_test::WriteBytes(path, bytes);
        return path;
    }
    int Run(const std::string &path) { return DoFOT(path.c_str(), ttf_, fd_); }
    int32_t Load(const Bytes &bytes, EXEINFO **info) { return LoadExeInfo(Write(bytes).c_str(), info); }

    std::string dir_;
    MessageBoxService previous_ = nullptr;
    char ttf_[kFontFileBytes];
    uint8_t fd_[kFontDirBytes];
};

TEST_F(Fot, AcceptedFontGivesItsFileAndDirectoryEntry) {
    std::string path = Write(FotFile().Build());
    EXPECT_EQ(1, Run(path));
    EXPECT_STREQ("MINCHO.TTF", ttf_);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(path, boxes[0].caption);
    EXPECT_EQ(kMbOkCancel, boxes[0].type);
    EXPECT_EQ(
        "Char Set      128\n Pitch & Fam  49\n Weight        400\n Face Code    1234abcd\n"
        " DBCS 'Name' 'Mincho Face'",
        boxes[0].text);
    // The fixed part as in the file, the face name where the device name was.
    Bytes dir = FontDirectory("Mincho Face", "DEV");
    EXPECT_EQ(0, std::memcmp(fd_, dir.data() + 2, kFontDirFixedBytes));
    EXPECT_STREQ("Mincho Face", reinterpret_cast<char *>(fd_ + kFontDirFixedBytes));
}

TEST_F(Fot, DeclinedFontGivesZero) {
    answer = kIdCancel;
    EXPECT_EQ(0, Run(Write(FotFile().Build())));
    EXPECT_STREQ("MINCHO.TTF", ttf_);
    EXPECT_EQ(0xEE, fd_[0]);
}

TEST_F(Fot, FilesThatCannotBeLoadedGiveTheirCodes) {
    EXPECT_EQ(kExeCannotOpen, Run(dir_ + kDirSeparator + "missing.fot"));
    Bytes notMz = FotFile().Build();
    notMz[0] = 'X';
    EXPECT_EQ(kExeBadSignature, Run(Write(notMz)));
    EXPECT_EQ(kExeShortRead, Run(Write(Bytes(63, 'M'))));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Fot, PlainMzFileHasNoResources) {
    Bytes mz(200, 0);
    kelmor_test::PutLe16(mz, 0, 0x5A4D);
    kelmor_test::PutLe32(mz, 60, 100);  // points at no "NE"
    EXPECT_EQ(0, Run(Write(mz)));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Don't understand this file", boxes[0].text);
    EXPECT_EQ(kMbOk, boxes[0].type);
    EXPECT_STREQ("", ttf_);
}

// Some writers leave wFirstRelocationItem 0 but point at a real NE header.
TEST_F(Fot, NeSignatureMarksANewFormatFileToo) {
    EXPECT_EQ(1, Run(Write(FotFile().FirstRelocationItem(0).Build())));
    EXPECT_STREQ("MINCHO.TTF", ttf_);
}

TEST_F(Fot, OnlyWindowsExecutablesWithATableHaveResources) {
    for (NeBuilder b : {FotFile().ExeType(1), FotFile().NoResourceTable()}) {
        EXEINFO *info = nullptr;
        ASSERT_EQ(0, Load(b.Build(), &info));
        EXPECT_EQ(nullptr, info->pResTable);
        FreeExeInfoMemory(info);
    }
}

TEST_F(Fot, ReadsTypesResourcesAndNames) {
    NeBuilder b = FotFile();
    b.AddNamedType("FONTDIR").AddNamedResource("Named", Text("x"));
    EXEINFO *info = nullptr;
    ASSERT_EQ(0, Load(b.Shift(5).EntryTable({1, 2, 3}).Build(), &info));
    EXPECT_EQ(5, info->wShiftCount);
    ASSERT_NE(nullptr, info->pEntryTable);
    EXPECT_EQ(3, info->pEntryTable[2]);
    const tgRESTYPE *t = info->pResTable;
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0x8007, t->wType);
    EXPECT_EQ(nullptr, t->pResourceType);
    t = t->pNext->pNext;
    ASSERT_NE(nullptr, t);
    EXPECT_STREQ("FONTDIR", t->pResourceType);
    ASSERT_EQ(1, t->wCount);
    EXPECT_STREQ("Named", t->pResInfoArray[0].pResourceName);
    EXPECT_EQ(nullptr, t->pNext);
    FreeExeInfoMemory(info);
}

TEST_F(Fot, OffsetsAndLengthsCountAlignmentUnits) {
    Bytes file(1024, 0);
    for (size_t i = 512; i < 768; ++i) file[i] = uint8_t(i);
    EXEINFO info{};
    std::string path = Write(file);
    info.pFilename = &path[0];
    info.wShiftCount = 4;
    RESINFO2 res{};
    res.wOffset = 0x20;
    res.wLength = 0x10;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadResourceBytes(&info, &res, &bytes));
    ASSERT_EQ(256u, bytes.size());
    EXPECT_EQ(0, bytes[0]);  // byte 512
    EXPECT_EQ(255, bytes[255]);
    res.wLength = 0x21;  // one unit past the end
    EXPECT_FALSE(ReadResourceBytes(&info, &res, &bytes));
    info.wShiftCount = 16;
    res.wOffset = res.wLength = 0;
    EXPECT_FALSE(ReadResourceBytes(&info, &res, &bytes));
}

TEST_F(Fot, LongFileNamesAreCutTo127Characters) {
    std::string longName(300, 'L');
    EXPECT_EQ(1, Run(Write(FotFile("Face", longName).Build())));
    EXPECT_EQ(std::string(127, 'L'), ttf_);
}

TEST_F(Fot, LongFaceNamesAreCutToTheBlock) {
    std::string longFace(200, 'F');
    EXPECT_EQ(1, Run(Write(FotFile(longFace).Build())));
    EXPECT_EQ(std::string(140, 'F'),
              std::string(reinterpret_cast<char *>(fd_ + kFontDirFixedBytes)));
}

TEST_F(Fot, TheLastNumberedTypesAreUsed) {
    NeBuilder b;
    b.AddType(0x8007).AddResource(0x8001, FontDirectory("First"));
    b.AddType(0x80CC).AddResource(0x8001, Text("FIRST.TTF"));
    b.AddType(0x8007).AddResource(0x8001, FontDirectory("Second"));
    b.AddResource(0x8002, FontDirectory("Second's second"));
    b.AddType(0x80CC).AddResource(0x8001, Text("SECOND.TTF"));
    b.AddNamedType("x").AddResource(0x8001, FontDirectory("Named"));
    EXPECT_EQ(1, Run(Write(b.Build())));
    EXPECT_STREQ("SECOND.TTF", ttf_);
    EXPECT_STREQ("Second", reinterpret_cast<char *>(fd_ + kFontDirFixedBytes));
}

TEST_F(Fot, NamedTypesAreNeverTakenForNumbers) {
    // Type ids 7 and 204 without the number flag are name offsets.
    NeBuilder b;
    b.AddType(0x0007).AddResource(0x8001, FontDirectory("Face"));
    b.AddType(0x00CC).AddResource(0x8001, Text("A.TTF"));
    b.AddNamedType("ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ");
    EXPECT_EQ(0, Run(Write(b.Build())));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Don't understand this file", boxes[0].text);
}

TEST_F(Fot, EmptyResourcesReadAsEmpty) {
    NeBuilder b;
    b.AddType(0x8007).AddResource(0x8001, {});
    b.AddType(0x80CC).AddResource(0x8001, {});
    EXPECT_EQ(0, Run(Write(b.Build())));
    EXPECT_STREQ("", ttf_);
    EXPECT_TRUE(boxes.empty());  // an empty directory has no entry to show
}

TEST_F(Fot, OldExpectedVersionShowsNothing) {
    EXPECT_EQ(0, Run(Write(FotFile().ExpVersion(0x0200).Build())));
    EXPECT_TRUE(boxes.empty());
    EXPECT_STREQ("", ttf_);
}

// Every number the reader takes from the file, broken in turn.
TEST_F(Fot, HostileFilesFailCleanly) {
    using kelmor_test::PutLe16;
    using kelmor_test::PutLe32;
    const size_t typeRecord = kelmor_test::kFirstTypeRecordAt;
    const size_t firstEntry = typeRecord + 8;
    struct Case {
        const char *what;
        void (*edit)(Bytes &, size_t typeRecord, size_t firstEntry);
        int expected;
    } cases[] = {
        {"NE header past the end", [](Bytes &b, size_t, size_t) { PutLe32(b, 60, 0x7FFFFFF0); },
         kExeShortRead},
        {"NE header offset negative", [](Bytes &b, size_t, size_t) { PutLe32(b, 60, 0xFFFFFFFF); },
         kExeShortRead},
        {"wrong NE signature",
         [](Bytes &b, size_t, size_t) { PutLe16(b, kelmor_test::kNeHeaderAt, 0x4550); },
         kExeBadSignature},
        {"entry table past the end",
         [](Bytes &b, size_t, size_t) { PutLe16(b, kelmor_test::kNeHeaderAt + 4, 0xFFF0); },
         kExeShortRead},
        {"resource table past the end",
         [](Bytes &b, size_t, size_t) { PutLe16(b, kelmor_test::kNeHeaderAt + 36, 0xFFF0); },
         kExeShortRead},
        {"0xFFFF resources", [](Bytes &b, size_t t, size_t) { PutLe16(b, t + 2, 0xFFFF); },
         kExeShortRead},
        {"type list without its end",
         [](Bytes &b, size_t, size_t) {
             for (size_t i = kelmor_test::kFirstTypeRecordAt; i < b.size(); ++i) b[i] = 0x81;
         },
         kExeShortRead},
        {"type name past the end", [](Bytes &b, size_t t, size_t) { PutLe16(b, t, 0x7FF0); },
         kExeShortRead},
        {"resource name past the end", [](Bytes &b, size_t, size_t e) { PutLe16(b, e + 6, 0x7FF0); },
         kExeShortRead},
        {"resource past the end", [](Bytes &b, size_t, size_t e) { PutLe16(b, e, 0xFFFF); }, 0},
        {"resource longer than the file", [](Bytes &b, size_t, size_t e) { PutLe16(b, e + 2, 0xFFFF); },
         0},
        {"shift of 16", [](Bytes &b, size_t, size_t) { PutLe16(b, kResourceTableAt, 16); }, 0},
        {"shift of 0xFFFF", [](Bytes &b, size_t, size_t) { PutLe16(b, kResourceTableAt, 0xFFFF); }, 0},
    };
    for (const Case &c : cases) {
        Bytes bytes = FotFile().Build();
        c.edit(bytes, typeRecord, firstEntry);
        boxes.clear();
        EXPECT_EQ(c.expected, Run(Write(bytes))) << c.what;
        EXPECT_TRUE(boxes.empty()) << c.what;
    }
}

TEST_F(Fot, FontDirectoryNamesMustEndWithinTheResource) {
    Bytes dir = FontDirectory("Face", "Device");
    FontDirInfo info;
    ASSERT_TRUE(ReadFontDirEntry(dir.data(), dir.size(), &info));
    EXPECT_EQ("Device", info.deviceName);
    EXPECT_EQ("Face", info.faceName);
    EXPECT_EQ("Synthetic test font", info.copyright);
    EXPECT_EQ(12, info.dfPoints);
    EXPECT_FALSE(ReadFontDirEntry(dir.data(), dir.size() - 1, &info));  // face unterminated
    EXPECT_FALSE(ReadFontDirEntry(dir.data(), 2 + 115 + 3, &info));     // device unterminated
    EXPECT_FALSE(ReadFontDirEntry(dir.data(), 100, &info));
}

// Wine writes the face name where the device name belongs and an empty
// string after it.
TEST_F(Fot, AFaceNameWrittenFirstIsTheFaceName) {
    Bytes dir = FontDirectory("", "Written First");
    FontDirInfo info;
    ASSERT_TRUE(ReadFontDirEntry(dir.data(), dir.size(), &info));
    EXPECT_EQ("Written First", info.faceName);
    EXPECT_EQ("", info.deviceName);
}

}  // namespace

namespace {

// A file Wine's CreateScalableFontResourceA wrote for IPA Gothic (the test
// of real files under Wine writes more of them).  Its MZ header has 0 in
// wFirstRelocationItem, and its font directory puts the face name first
// (dfFace, 0x75, is where it stands).
TEST_F(Fot, ReadsAFileWineWrote) {
    std::string path = std::string(KELMOR_TEST_DATA) + "/wine_ipag.fot";
    EXEINFO *info = nullptr;
    ASSERT_EQ(0, LoadExeInfo(path.c_str(), &info));
    EXPECT_EQ(0, info->OldHdr.wFirstRelocationItem);
    EXPECT_EQ(kNeSignature, info->NewHdr.wNewSignature);
    FreeExeInfoMemory(info);

    EXPECT_EQ(1, Run(path));
    EXPECT_STREQ("Z:\\usr\\share\\fonts\\opentype\\ipafont-gothic\\ipag.ttf", ttf_);
    EXPECT_STREQ("??AGothic", reinterpret_cast<char *>(fd_ + kFontDirFixedBytes));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(
        "Char Set      0\n Pitch & Fam  54\n Weight        400\n Face Code    75\n"
        " DBCS 'Name' '??AGothic'",
        boxes[0].text);
}

}  // namespace

#if !defined(_WIN32)
namespace {

// A host of the shared library replaces the boxes through the export.
TEST_F(Fot, HostsReplaceTheMessageBoxThroughTheExport) {
    KELMOR_MESSAGEBOXPROC ours = RecordBox;
    KELMOR_MESSAGEBOXPROC before = KelmoSetMessageBox(nullptr);  // the default, on stderr
    EXPECT_EQ(ours, before);
    EXPECT_EQ(1, Run(Write(FotFile().Build())));  // the default answers OK
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(nullptr, KelmoSetMessageBox(ours));
    answer = kIdCancel;
    EXPECT_EQ(0, Run(Write(FotFile().Build())));
    EXPECT_EQ(1u, boxes.size());
}

TEST(MessageBoxDefault, AnswersWithTheDefaultButton) {
    EXPECT_EQ(kIdOk, DefaultAnswer(kMbOk));
    EXPECT_EQ(kIdOk, DefaultAnswer(kMbOkCancel));
    EXPECT_EQ(kIdCancel, DefaultAnswer(kMbOkCancel | kMbDefButton2));
    EXPECT_EQ(kIdYes, DefaultAnswer(kMbYesNo));
    EXPECT_EQ(kIdNo, DefaultAnswer(kMbYesNo | kMbDefButton2));
}

}  // namespace
#endif

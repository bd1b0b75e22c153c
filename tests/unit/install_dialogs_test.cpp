// The install dialogs' flows on Linux, where a dialog is an in-memory model
// of its controls: each test opens the selection dialog through
// KelmoInstallDialog and plays the user's part step by step, checking the
// installed list and the ini file after each.
#include "ttf/install/install_dialogs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "platform/posix/headless_dialog.h"
#include "platform/profile.h"
#include "resources/dialog_ids.h"
#include "test_paths.h"
#include "text_file.h"
#include "ttf/settings/settings.h"

using namespace kelmor;

namespace {

using Step = std::function<void(HeadlessDialog &)>;

std::vector<std::string> InstalledKeys() {
    std::vector<std::string> keys;
    for (_IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext)
        keys.push_back(pif->ppFields[0]);
    return keys;
}

std::vector<std::string> Rows(HeadlessDialog &d, int id) { return d.controls[id].rows; }
int32_t Selected(HeadlessDialog &d, int id) { return d.controls[id].selection; }
std::string Text(HeadlessDialog &d, int id) { return d.controls[id].text; }

bool FileExists(const std::string &path) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

// A font with a Unicode character map, a Macintosh PostScript name and a
// Japanese Microsoft full name.
std::string NamedFont(const std::string &path) {
    using kelmor_test::Bytes;
    const std::string postScript = "KelmorMincho-W3";
    return kelmor_test::FontBuilder()
        .Cmap4(3, 1, {{0x41, 1}})
        .Name(1, 0, 0, 6, Bytes(postScript.begin(), postScript.end()))
        .NameUtf16(3, 1, 0x411, 4, "Kelmor Mincho W3")
        .WriteTo(path);
}

class InstallDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = kelmor_test::ScratchDir(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ini_ = dir_ + "/Kelmor.ini";
        std::snprintf(szIniFile, sizeof szIniFile, "%s", ini_.c_str());
        szWinHelpFileName[0] = '\0';
        Selection = 0;
        SetHeadlessDriver([this](HeadlessDialog &dialog) {
            ASSERT_FALSE(steps_.empty()) << "a dialog opened that the test did not expect";
            Step step = steps_.front();
            steps_.pop_front();
            step(dialog);
        });
        SetOpenFileChooser([this](const std::string &, const std::string &pattern,
                                  const std::string &initialDir, std::string *path) {
            lastPattern_ = pattern;
            lastInitialDir_ = initialDir;
            *path = chosenFile_;
            return !chosenFile_.empty();
        });
    }
    void TearDown() override {
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps never ran";
        SetHeadlessDriver(nullptr);
        SetOpenFileChooser(nullptr);
        SetFotReader(nullptr);
        ZapKELMOs();
        szIniFile[0] = '\0';
    }

    void Install(const std::string &section) {
        kelmor_test::WriteTextFile(ini_, "[Installed DBCS Fonts]\n" + section);
        InitKELMOFromIni();
    }
    std::string IniValue(const std::string &key) {
        char value[512];
        ProfileReadString(ini_.c_str(), szInstalledFontsSection, key.c_str(), "<none>", value,
                          sizeof value);
        return value;
    }
    void Run(std::vector<Step> steps) {
        steps_.assign(steps.begin(), steps.end());
        EXPECT_EQ(0, KelmoInstallDialog());
    }

    std::string dir_, ini_;
    std::deque<Step> steps_;
    std::string chosenFile_, lastPattern_, lastInitialDir_;
};

const char kTwoFonts[] =
    "Mincho=MINCHO.FOT,/f/mincho.ttf,SJS,SJS,Mincho,48,SJS,\n"
    "Gothic=GOTHIC.FOT,/f/gothic.ttf,UNI,UNI,Gothic,24,GB,\n";

TEST_F(InstallDialogs, WithoutADriverNoDialogOpensAndTheListStays) {
    Install(kTwoFonts);
    SetHeadlessDriver(nullptr);
    EXPECT_EQ(0, KelmoInstallDialog());
    EXPECT_EQ((std::vector<std::string>{"Mincho", "Gothic"}), InstalledKeys());
}

// A host may hand the exported procedures any value; on Linux no dialog
// exists that the library did not make.
TEST_F(InstallDialogs, ProceduresIgnoreValuesThatAreNoDialogs) {
    Install(kTwoFonts);
    int notADialog = 0;
    char choice[80];
    for (uint32_t message : {kMsgInitDialog, kMsgCommand, kRefreshMessage, kRereadMessage}) {
        EXPECT_EQ(0, SelectTTFDlgProc(&notADialog, message, CTL_DELETE, intptr_t(choice)));
        EXPECT_EQ(0, EditTTFDlgProc(nullptr, message, CTL_CANCEL, 0));
    }
    EXPECT_EQ(0, notADialog);
    EXPECT_EQ(2u, InstalledKeys().size());
}

TEST_F(InstallDialogs, TestReDupeReplacesOnlyADifferentText) {
    char *slot = nullptr;
    TestReDupe(&slot, "A");
    ASSERT_STREQ("A", slot);
    char *before = slot;
    TestReDupe(&slot, "A");
    EXPECT_EQ(before, slot);  // equal text: the same string stays
    TestReDupe(&slot, "a");
    EXPECT_STREQ("a", slot);  // the comparison heeds case
    TestReDupe(&slot, slot);  // a string replacing itself is left alone
    EXPECT_STREQ("a", slot);
    TestReDupe(&slot, nullptr);
    EXPECT_STREQ("a", slot);
    TestReDupe(nullptr, "x");
    std::free(slot);
}

TEST_F(InstallDialogs, EmptyListNewCreatesAnEntryOfNones) {
    Run({[&](HeadlessDialog &select) {
             EXPECT_EQ(IDD_SELECT_FONT, select.templateId);
             EXPECT_TRUE(Rows(select, CTL_FONT_LIST).empty());
             EXPECT_EQ(-1, Selected(select, CTL_FONT_LIST));
             EXPECT_EQ(-1, Selection);
             HeadlessPress(select, CTL_NEW);
             EXPECT_EQ((std::vector<std::string>{"(None)"}), Rows(select, CTL_FONT_LIST));
             EXPECT_EQ(0, Selected(select, CTL_FONT_LIST));
             HeadlessPress(select, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             EXPECT_EQ(IDD_SETUP_FONT, edit.templateId);
             EXPECT_EQ("(None)", Text(edit, CTL_TYPEFACE));
             EXPECT_EQ("(None)", Text(edit, CTL_FOT_FILE));
             EXPECT_EQ("(None)", Text(edit, CTL_TTF_FILE));
             EXPECT_EQ("48", Text(edit, CTL_POINT_SIZE));
             EXPECT_EQ(9u, Rows(edit, CTL_DOC_SYMBOL_SET).size());
             EXPECT_EQ("Gly", Rows(edit, CTL_FONT_SYMBOL_SET).back());
             EXPECT_EQ(-1, Selected(edit, CTL_DOC_SYMBOL_SET));
             // Not yet in the file: only the selection dialog's OK writes.
             EXPECT_EQ("<none>", IniValue("(None)"));
             HeadlessPress(edit, CTL_OK);
         }});
    EXPECT_EQ("(None),(None),Unk,,,48,Unk,", IniValue("(None)"));
}

// The copy was never written, so its Cancel leaves the file alone: the key
// it shares belongs to the entry it was copied from.
TEST_F(InstallDialogs, CancelOfACopyRemovesItAndKeepsTheOriginal) {
    Install(kTwoFonts);
    const std::string gothic = "GOTHIC.FOT,/f/gothic.ttf,UNI,UNI,Gothic,24,GB,";
    Run({[&](HeadlessDialog &select) {
             HeadlessPick(select, CTL_FONT_LIST, 1);
             HeadlessPress(select, CTL_NEW);
             EXPECT_EQ((std::vector<std::string>{"Mincho", "Gothic"}), InstalledKeys());
             EXPECT_EQ(gothic, IniValue("Gothic"));
             HeadlessPress(select, CTL_CANCEL);
         },
         [&](HeadlessDialog &edit) {
             EXPECT_EQ("Gothic", Text(edit, CTL_TYPEFACE));
             EXPECT_EQ("/f/gothic.ttf", Text(edit, CTL_TTF_FILE));
             EXPECT_EQ(3, Selected(edit, CTL_DOC_SYMBOL_SET));   // GB
             EXPECT_EQ(1, Selected(edit, CTL_FONT_SYMBOL_SET));  // UNI
             EXPECT_EQ("24", Text(edit, CTL_POINT_SIZE));
             auto *info = reinterpret_cast<EditUserInfo *>(edit.userData);
             EXPECT_EQ(CTL_NEW, info->wParam);
             EXPECT_EQ(pifKELMOHead->pNext, info->pifBASE);
             EXPECT_EQ(pifKELMOTail, info->pif);
             EXPECT_EQ(3u, InstalledKeys().size());
             HeadlessPress(edit, CTL_CANCEL);
         }});
    EXPECT_EQ(gothic, IniValue("Gothic"));
}

// A typeface the ini file cannot hold is refused in the setup dialog; an
// entry that still cannot be stored keeps the selection dialog open after
// the others are saved.
TEST_F(InstallDialogs, AnUnstorableEntryLosesNoOtherChange) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_NEW);
             HeadlessPress(select, CTL_NEW);
             char *fields[kKELMOFields] = {const_cast<char *>("Broken"), nullptr,
                                           const_cast<char *>("/f/line\nbreak.ttf")};
             AddIniFieldsType(&pifKELMOHead, &pifKELMOTail, fields, kKELMOType, kKELMOFields);
             HeadlessPress(select, CTL_OK);
             EXPECT_FALSE(select.ended);
             ASSERT_EQ(1u, select.warnings.size());
             EXPECT_NE(std::string::npos, select.warnings[0].find("cannot hold"));
             // a copy of the selected Mincho, renamed
             EXPECT_EQ("MINCHO.FOT,/f/mincho.ttf,SJS,SJS,Mincho,48,SJS,", IniValue("Other"));
             EXPECT_EQ("<none>", IniValue("Broken"));
             HeadlessPress(select, CTL_CANCEL);
         },
         [&](HeadlessDialog &edit) {
             HeadlessType(edit, CTL_TYPEFACE, "Other");
             HeadlessPress(edit, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             HeadlessType(edit, CTL_TYPEFACE, "Mincho=Old");
             HeadlessPress(edit, CTL_OK);
             EXPECT_FALSE(edit.ended);
             EXPECT_EQ(1u, edit.warnings.size());
             HeadlessPress(edit, CTL_CANCEL);
         }});
    EXPECT_NE("<none>", IniValue("Mincho"));
    EXPECT_NE("<none>", IniValue("Gothic"));
}

TEST_F(InstallDialogs, RenamedEntryReplacesItsOldKeyOnOk) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
             HeadlessPick(select, CTL_FONT_LIST, 0);
             HeadlessPress(select, CTL_SETUP);
             EXPECT_EQ((std::vector<std::string>{"Ming", "Gothic"}), Rows(select, CTL_FONT_LIST));
             HeadlessPress(select, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             HeadlessType(edit, CTL_TYPEFACE, "Ming");
             HeadlessPick(edit, CTL_DOC_SYMBOL_SET, 4);  // Big5
             HeadlessType(edit, CTL_POINT_SIZE, "");
             HeadlessPress(edit, CTL_OK);
         }});
    EXPECT_EQ("<none>", IniValue("Mincho"));
    EXPECT_EQ("MINCHO.FOT,/f/mincho.ttf,SJS,SJS,Mincho,,Big5,", IniValue("Ming"));
}

TEST_F(InstallDialogs, SetupCancelKeepsTheEntry) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_SETUP);
             HeadlessPress(select, CTL_CANCEL);
         },
         [&](HeadlessDialog &edit) {
             HeadlessType(edit, CTL_TYPEFACE, "Ming");
             HeadlessPress(edit, CTL_CANCEL);
         }});
    EXPECT_EQ((std::vector<std::string>{"Mincho", "Gothic"}), InstalledKeys());
    EXPECT_NE("<none>", IniValue("Mincho"));
}

TEST_F(InstallDialogs, DeleteReachesTheFileBeforeOkOrCancel) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
        HeadlessPick(select, CTL_FONT_LIST, 0);
        HeadlessPress(select, CTL_DELETE);
        EXPECT_EQ("<none>", IniValue("Mincho"));
        EXPECT_EQ((std::vector<std::string>{"Gothic"}), Rows(select, CTL_FONT_LIST));
        EXPECT_EQ(0, Selected(select, CTL_FONT_LIST));
        HeadlessPress(select, CTL_CANCEL);
        EXPECT_TRUE(select.ended);
        EXPECT_EQ(0, select.result);
    }});
    EXPECT_EQ((std::vector<std::string>{"Gothic"}), InstalledKeys());
    EXPECT_EQ("<none>", IniValue("Mincho"));
}

TEST_F(InstallDialogs, ButtonsThatNeedASelectionDoNothingWithoutOne) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
        HeadlessPick(select, CTL_FONT_LIST, -1);
        HeadlessPress(select, CTL_DELETE);
        EXPECT_EQ(2u, InstalledKeys().size());
        EXPECT_EQ(0, HeadlessPress(select, 4711));  // an unknown command
        HeadlessPress(select, CTL_OK);
    }});
    EXPECT_EQ(2u, InstalledKeys().size());
}

TEST_F(InstallDialogs, SelectionIsKeptBetweenRunsAndFollowsAShorterList) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
        HeadlessPick(select, CTL_FONT_LIST, 1);
        HeadlessPress(select, CTL_CANCEL);
    }});
    EXPECT_EQ(1, Selection);
    Run({[&](HeadlessDialog &select) {
        EXPECT_EQ(1, Selected(select, CTL_FONT_LIST));
        HeadlessPress(select, CTL_DELETE);
        EXPECT_EQ(0, Selected(select, CTL_FONT_LIST));  // one row is left
        HeadlessPress(select, CTL_OK);
    }});
    EXPECT_EQ(0, Selection);
}

TEST_F(InstallDialogs, SeparateReadsTheChosenFontAndLogsBesideIt) {
    const std::string font = NamedFont(dir_ + "/mincho.ttf");
    chosenFile_ = font;
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_NEW);
             HeadlessPress(select, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             HeadlessPress(edit, CTL_SEPARATE);
             EXPECT_EQ("*.ttf", lastPattern_);
             EXPECT_EQ("KelmorMincho-W3", Text(edit, CTL_TYPEFACE));
             EXPECT_EQ("(None)", Text(edit, CTL_FOT_FILE));
             EXPECT_EQ(font, Text(edit, CTL_TTF_FILE));
             EXPECT_EQ(2, Selected(edit, CTL_DOC_SYMBOL_SET));   // SJS, from the language
             EXPECT_EQ(1, Selected(edit, CTL_FONT_SYMBOL_SET));  // UNI
             EXPECT_TRUE(FileExists(dir_ + "/mincho.map"));
             EXPECT_TRUE(edit.warnings.empty());
             HeadlessPress(edit, CTL_OK);
         }});
    EXPECT_EQ("(None)," + font + ",UNI,UNI,Kelmor Mincho W3,48,SJS,",
              IniValue("KelmorMincho-W3"));
}

// An entry may name a face of a collection (PATH|N); reading the font
// reads that face.
TEST_F(InstallDialogs, SeparateReadsTheFaceOfACollectionTheSlotNames) {
    using kelmor_test::Bytes;
    auto face = [](const std::string &postScript) {
        return kelmor_test::FontBuilder()
            .Cmap4(3, 1, {{0x41, 1}})
            .Name(1, 0, 0, 6, Bytes(postScript.begin(), postScript.end()))
            .Build();
    };
    const std::string ttc = kelmor_test::WriteBytes(
        kelmor_test::Collection({face("KelmorMing-A"), face("KelmorMing-B")}), dir_ + "/ming.ttc");
    chosenFile_ = ttc + "|1";
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_NEW);
             HeadlessPress(select, CTL_CANCEL);
         },
         [&](HeadlessDialog &edit) {
             HeadlessPress(edit, CTL_SEPARATE);
             EXPECT_TRUE(edit.warnings.empty());
             EXPECT_EQ("KelmorMing-B", Text(edit, CTL_TYPEFACE));
             EXPECT_TRUE(FileExists(dir_ + "/ming.map"));
             HeadlessPress(edit, CTL_CANCEL);
         }});
}

// A font file named like its own log is never taken for the log.
TEST_F(InstallDialogs, SeparateNeverOverwritesAFontNamedLikeItsLog) {
    for (const char *name : {"/X.map", "/Y.MAP"}) {
        const std::string font = NamedFont(dir_ + name);
        const std::string bytes = kelmor_test::ReadTextFile(font);
        chosenFile_ = font;
        Run({[&](HeadlessDialog &select) {
                 HeadlessPress(select, CTL_NEW);
                 HeadlessPress(select, CTL_CANCEL);
             },
             [&](HeadlessDialog &edit) {
                 HeadlessPress(edit, CTL_SEPARATE);
                 EXPECT_EQ("KelmorMincho-W3", Text(edit, CTL_TYPEFACE));
                 HeadlessPress(edit, CTL_CANCEL);
             }});
        EXPECT_EQ(bytes, kelmor_test::ReadTextFile(font)) << name;
        EXPECT_TRUE(FileExists(font + ".map")) << name;
    }
}

TEST_F(InstallDialogs, SeparateStartsInTheDirectoryOfTheCurrentFile) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_SETUP);
             HeadlessPress(select, CTL_CANCEL);
         },
         [&](HeadlessDialog &edit) {
             HeadlessPress(edit, CTL_SEPARATE);  // the user cancels: nothing changes
             EXPECT_EQ("/f", lastInitialDir_);
             EXPECT_EQ("MINCHO.FOT", Text(edit, CTL_FOT_FILE));
             HeadlessPress(edit, CTL_CANCEL);
         }});
}

TEST_F(InstallDialogs, AnUnopenableFileWarnsAndKeepsTheName) {
    Install(kTwoFonts);
    chosenFile_ = dir_ + "/missing.ttf";
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_SETUP);
             HeadlessPress(select, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             HeadlessPress(edit, CTL_SEPARATE);
             EXPECT_EQ((std::vector<std::string>{"File Error: Cannot Open File"}), edit.warnings);
             EXPECT_EQ(chosenFile_, Text(edit, CTL_TTF_FILE));
             EXPECT_EQ("Mincho", Text(edit, CTL_TYPEFACE));
             HeadlessPress(edit, CTL_OK);
         }});
    EXPECT_EQ("(None)," + chosenFile_ + ",SJS,SJS,Mincho,48,SJS,", IniValue("Mincho"));
}

// The .FOT reader stands in for a real file: what it names, and whether the
// user accepted, decides the TrueType path.
struct FotCase {
    const char *named;
    int32_t answer;
    const char *expectedTtf;  // relative to the test directory, or absolute
};

TEST_F(InstallDialogs, FromWindowsTakesTheTrueTypeFileTheFotNames) {
    const FotCase cases[] = {
        {"bare.ttf", 1, "@/bare.ttf"},  // a bare name lives beside the .FOT
        {"/elsewhere/dir.ttf", 1, "/elsewhere/dir.ttf"},
        {"declined.ttf", 0, "/f/mincho.ttf"},
        {"broken.ttf", -2, "/f/mincho.ttf"},
        // 127 characters: perhaps cut by the reader, so refused.
        {"/long/name/that/the/reader/may/have/cut/at/its/buffer/size/xxxxxxxxxxxxxxxxxxxxxxxxx"
         "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx.ttf",
         1, "/f/mincho.ttf"},
    };
    for (const FotCase &c : cases) {
        SCOPED_TRACE(c.named);
        Install(kTwoFonts);
        Selection = 0;
        static FotCase current;
        current = c;
        SetFotReader([](const char *, char *szFontFile128) {
            std::snprintf(szFontFile128, 128, "%s", current.named);
            return current.answer;
        });
        chosenFile_ = dir_ + "/MINCHO.FOT";
        std::string expected = c.expectedTtf;
        if (expected[0] == '@') expected = dir_ + expected.substr(1);
        Run({[&](HeadlessDialog &select) {
                 HeadlessPress(select, CTL_SETUP);
                 HeadlessPress(select, CTL_CANCEL);
             },
             [&](HeadlessDialog &edit) {
                 HeadlessPress(edit, CTL_FROM_WINDOWS);
                 EXPECT_EQ("*.fot", lastPattern_);
                 EXPECT_EQ(chosenFile_, Text(edit, CTL_FOT_FILE));
                 EXPECT_EQ(expected, Text(edit, CTL_TTF_FILE));
                 HeadlessPress(edit, CTL_CANCEL);
             }});
    }
}

TEST_F(InstallDialogs, EmptySlotsShowDefaultsAndOkStoresThem) {
    Install("Plain=A.FOT,/f/a.ttf,SJS,SJS,Plain,,,\n");
    Run({[&](HeadlessDialog &select) {
             HeadlessPress(select, CTL_SETUP);
             HeadlessPress(select, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             EXPECT_EQ(-1, Selected(edit, CTL_DOC_SYMBOL_SET));
             EXPECT_EQ("48", Text(edit, CTL_POINT_SIZE));
             HeadlessType(edit, CTL_TYPEFACE, std::string(100, 'N'));
             HeadlessPress(edit, CTL_OK);
         }});
    // The typeface box takes at most 79 characters.
    EXPECT_EQ("A.FOT,/f/a.ttf,SJS,SJS,Plain,48,Unk,", IniValue(std::string(79, 'N')));
}

// An entry whose name was emptied is not listed; the rows below it still
// open their own entries.
TEST_F(InstallDialogs, RowsSkipAnEntryWithoutAName) {
    Install(kTwoFonts);
    Run({[&](HeadlessDialog &select) {
             HeadlessPick(select, CTL_FONT_LIST, 0);
             HeadlessPress(select, CTL_SETUP);
             EXPECT_EQ((std::vector<std::string>{"Gothic"}), Rows(select, CTL_FONT_LIST));
             HeadlessPick(select, CTL_FONT_LIST, 0);
             HeadlessPress(select, CTL_SETUP);
             HeadlessPress(select, CTL_CANCEL);
         },
         [&](HeadlessDialog &edit) {
             HeadlessType(edit, CTL_TYPEFACE, "");
             HeadlessPress(edit, CTL_OK);
         },
         [&](HeadlessDialog &edit) {
             EXPECT_EQ("Gothic", Text(edit, CTL_TYPEFACE));
             HeadlessPress(edit, CTL_CANCEL);
         }});
}

TEST_F(InstallDialogs, OkCopiesTheListTextIntoTheCallersBuffer) {
    Install(kTwoFonts);
    HeadlessDialog select;
    select.proc = SelectTTFDlgProc;
    char choice[kInstallChoiceBytes];
    std::memset(choice, 'x', sizeof choice);
    EXPECT_EQ(1, SelectTTFDlgProc(&select, kMsgInitDialog, 0, reinterpret_cast<intptr_t>(choice)));
    select.controls[CTL_FONT_LIST].text = std::string(200, 'L');
    EXPECT_EQ(1, HeadlessPress(select, CTL_OK));
    EXPECT_EQ(std::string(79, 'L'), choice);
    EXPECT_EQ(1, select.result);
}

}  // namespace

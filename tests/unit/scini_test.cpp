#include "scini/scini.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "test_paths.h"
#include "text_file.h"

using namespace kelmor;

namespace {

using Strings = std::vector<std::string>;

// Slots 0 ... iFields - 1 of a record; a null slot reads as "<null>".
Strings SlotsOf(const _IniFieldsType *pif) {
    Strings slots;
    for (int32_t i = 0; i < pif->iFields; ++i)
        slots.push_back(pif->ppFields[i] ? pif->ppFields[i] : "<null>");
    return slots;
}

// A list owned by the test.
struct List {
    _IniFieldsType *head = nullptr;
    _IniFieldsType *tail = nullptr;
    ~List() { ZapIniFieldsTypes(&head, &tail); }

    // Fields not given are null: the caller's array must hold iMaxFields.
    _IniFieldsType *Add(std::vector<const char *> fields, int32_t iMaxFields = 4) {
        if (fields.size() < size_t(iMaxFields)) fields.resize(size_t(iMaxFields), nullptr);
        return AddIniFieldsType(&head, &tail, const_cast<char **>(fields.data()), 7, iMaxFields);
    }
    // The keys from head to tail, checked against the walk from the tail.
    Strings Keys() const {
        Strings keys, backwards;
        for (_IniFieldsType *pif = head; pif; pif = pif->pNext) keys.push_back(pif->ppFields[0]);
        for (_IniFieldsType *pif = tail; pif; pif = pif->pPrev)
            backwards.insert(backwards.begin(), pif->ppFields[0]);
        EXPECT_EQ(keys, backwards);
        return keys;
    }
    _IniFieldsType *Find(const char *key) const { return FindIniType(head, key); }
    void Read(const std::string &ini, int32_t iMaxFields, const char *section = "S") {
        ReadIniFieldsTypes(&head, &tail, 55, iMaxFields, ini.c_str(), section);
    }
};

std::string FreshIni() {
    auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return kelmor_test::ScratchDir(test->name()) + "/list.ini";
}

TEST(IniList, RecordsOwnCopiesAndUpdatesSkipNullFields) {
    List list;
    char key[] = "Key";
    char *fields[] = {key, key, nullptr, nullptr};
    _IniFieldsType *pif = AddIniFieldsType(&list.head, &list.tail, fields, 55, 4);
    ASSERT_NE(nullptr, pif);
    key[0] = 'X';
    EXPECT_EQ(Strings({"Key", "Key", "<null>", "<null>"}), SlotsOf(pif));

    const char *update[] = {"Gothic", nullptr, "two", "three", "beyond the record"};
    UpdateIniFromFields(list.head, const_cast<char **>(update));  // no such key
    update[0] = "kEY";
    UpdateIniFromFields(list.head, const_cast<char **>(update));
    EXPECT_EQ(Strings({"Key", "Key", "two", "three"}), SlotsOf(pif));

    EXPECT_EQ(nullptr, list.Add({"", "x"}));
    EXPECT_EQ(nullptr, list.Add({nullptr, "x"}));
    EXPECT_EQ(nullptr, list.Add({"K"}, kIniFieldCapacity + 1));
    EXPECT_EQ(Strings({"Key"}), list.Keys());
}

TEST(IniList, FindSelectRemoveAndMove) {
    List list;
    _IniFieldsType *a = list.Add({"A"});
    _IniFieldsType *b = list.Add({"Gothic"});
    _IniFieldsType *c = list.Add({"GOTHIC"});
    EXPECT_EQ(b, FindIniType(list.head, "gothic"));
    EXPECT_EQ(nullptr, FindIniType(list.head, "Goth"));
    EXPECT_EQ(nullptr, FindIniType(list.head, ""));
    EXPECT_EQ(nullptr, GetSelection(list.head, 0));
    EXPECT_EQ(a, GetSelection(list.head, 1));
    EXPECT_EQ(c, GetSelection(list.head, 3));
    EXPECT_EQ(nullptr, GetSelection(list.head, 4));

    EXPECT_EQ(c, MoveIniFieldToHead(&list.head, &list.tail, c));
    EXPECT_EQ(Strings({"GOTHIC", "A", "Gothic"}), list.Keys());
    for (_IniFieldsType *pif : {b, c, a}) {
        RemoveIniFieldsType(&list.head, &list.tail, pif);
        FreeIniFieldsType(pif);
    }
    EXPECT_EQ(nullptr, list.head);
    EXPECT_EQ(nullptr, list.tail);
    EXPECT_EQ(nullptr, MoveIniFieldToHead(&list.head, &list.tail, a));
}

TEST(IniList, TrimWhiteSpaceWorksInPlace) {
    char spaces[] = "   ", empty[] = "", padded[] = " \t a b \t ";
    EXPECT_STREQ("", TrimWhiteSpace(spaces));
    EXPECT_EQ(empty, TrimWhiteSpace(empty));
    EXPECT_STREQ("a b", TrimWhiteSpace(padded));
    EXPECT_STREQ(" \t a b", padded);
}

TEST(IniSection, ValuesSplitIntoTrimmedFields) {
    std::string ini = FreshIni();
    kelmor_test::WriteTextFile(ini, "[S]\r\nK=a, b ,,c\r\nShort=a\r\nStar=a,*,b\r\n"
                                    "Quoted=\"x,y\",z\r\nLong=1,2,3,4,5,6\r\n");
    List list;
    list.Read(ini, 5);
    std::vector<Strings> records;
    for (_IniFieldsType *pif = list.head; pif; pif = pif->pNext) records.push_back(SlotsOf(pif));
    EXPECT_EQ(std::vector<Strings>({{"K", "a", "b", "", "c"},
                                    {"Short", "a", "", "", ""},
                                    {"Star", "a", "", "", ""},
                                    {"Quoted", "x,y", "z", "", ""},
                                    {"Long", "1", "2", "3", "4"}}),
              records);
    EXPECT_EQ(55, list.head->iType);

    list.Read(ini, 5, "Absent");
    EXPECT_EQ(nullptr, list.head);
}

TEST(IniSection, WrittenRecordsReadBackInListOrder) {
    std::string ini = FreshIni();
    kelmor_test::WriteTextFile(ini, "[S]\r\nHandWritten=keep\r\nB=old\r\n");
    List list;
    list.Add({"A", "a", nullptr, "c"});
    std::string longField(200, 'v');
    list.Add({"B", longField.c_str()});
    WriteIniTypes(list.head, ini.c_str(), "S");

    char value[kIniValueReadBytes];
    ProfileReadString(ini.c_str(), "S", "A", "", value, sizeof value);
    EXPECT_STREQ("a,,c,", value);
    ProfileReadString(ini.c_str(), "S", "B", "", value, sizeof value);
    EXPECT_EQ(longField + ",,,", value);

    list.Read(ini, 4);
    EXPECT_EQ(Strings({"HandWritten", "A", "B"}), list.Keys());
    EXPECT_EQ(Strings({"A", "a", "", "c"}), SlotsOf(GetSelection(list.head, 2)));
}

TEST(IniSection, DeleteAllEmptiesOnlyThatSectionHoweverLarge) {
    std::string ini = FreshIni();
    // More key names than the first buffer holds.
    std::string text = "[S]\r\n";
    for (int i = 0; i < 600; ++i) text += "A rather long font key number " + std::to_string(i) + "=v\r\n";
    kelmor_test::WriteTextFile(ini, text + "[T]\r\nC=3\r\n");
    List list;
    list.Read(ini, 2);
    EXPECT_EQ(600u, list.Keys().size());
    DeleteAllIniEntries(ini.c_str(), "s");
    list.Read(ini, 2);
    EXPECT_EQ(nullptr, list.head);
    list.Read(ini, 2, "T");
    EXPECT_EQ(Strings({"C"}), list.Keys());
}

// Any field text but a line break reads back as written, and the next
// rewrite keeps it; plain fields are written as they always were, so files
// written before read the same.
TEST(IniSection, FieldsWithDelimitersQuotesOrTheMarkerReadBackAsWritten) {
    std::string ini = FreshIni();
    const char *texts[] = {"Comma, Inc", "say \"hi\"", "*", "\"", "\"\"", " padded\t",
                           "a*", "x=y", "C:\\F\\A.TTF", ""};
    const int count = int(sizeof texts / sizeof texts[0]);
    Strings keys;
    List list;
    for (int i = 0; i < count; ++i) keys.push_back("K" + std::to_string(i));
    for (int i = 0; i < count; ++i) list.Add({keys[i].c_str(), texts[i], "48", texts[i]}, 4);
    for (int round = 0; round < 2; ++round) {  // written, read, written again
        ASSERT_TRUE(WriteIniTypes(list.head, ini.c_str(), "S"));
        list.Read(ini, 4);
        EXPECT_EQ(keys, list.Keys());
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(Strings({keys[i], texts[i], "48", texts[i]}), SlotsOf(GetSelection(list.head, i + 1)));
    }
    char value[kIniValueReadBytes];
    ProfileReadString(ini.c_str(), "S", "K8", "", value, sizeof value);
    EXPECT_STREQ("C:\\F\\A.TTF,48,C:\\F\\A.TTF,", value);  // plain: unchanged form
    ProfileReadString(ini.c_str(), "S", "K0", "", value, sizeof value);
    EXPECT_STREQ("\"Comma, Inc\",48,\"Comma, Inc\",", value);
}

// One record the file cannot hold is left out; the others are written and
// the failure is reported.
TEST(IniSection, AnUnstorableRecordDoesNotBlockTheOthers) {
    std::string ini = FreshIni();
    List list;
    list.Add({"Good", "a"});
    list.Add({"Bad=Name", "b"});
    list.Add({"Broken", "line\nbreak"});
    list.Add({"Later", "c"});
    for (auto write : {WriteIniTypes, ReplaceIniSection}) {
        kelmor_test::WriteTextFile(ini, "[S]\r\nBroken=old,\r\n");
        EXPECT_FALSE(write(list.head, ini.c_str(), "S"));
        EXPECT_EQ(EINVAL, ProfileLastError());
        List back;
        back.Read(ini, 2);
        // The key of the record left out keeps its old value.
        EXPECT_EQ(write == WriteIniTypes ? Strings({"Broken", "Good", "Later"})
                                         : Strings({"Good", "Broken", "Later"}),
                  back.Keys());
        EXPECT_EQ(Strings({"Broken", "old"}), SlotsOf(back.Find("Broken")));
    }
    EXPECT_FALSE(IniRecordIsWritable(GetSelection(list.head, 2), "S"));
    EXPECT_TRUE(IniRecordIsWritable(list.head, "S"));
}

// A section in a file over a mebibyte reads whole.
TEST(IniSection, LargeFilesReadWhole) {
    std::string ini = FreshIni();
    std::string text = "[Filler]\r\n" + std::string(1536 * 1024, ';') + "\r\n[S]\r\n";
    for (int i = 0; i < 3000; ++i) text += "Font number " + std::to_string(i) + "=a,b,\r\n";
    kelmor_test::WriteTextFile(ini, text);
    List list;
    list.Read(ini, 3);
    EXPECT_EQ(3000u, list.Keys().size());
    EXPECT_EQ(Strings({"Font number 2999", "a", "b"}), SlotsOf(list.tail));
}

}  // namespace

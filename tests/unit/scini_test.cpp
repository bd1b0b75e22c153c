#include "scini/scini.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile.h"
#include "test_paths.h"
#include "text_file.h"

using namespace kelmor;
using kelmor_test::ScratchDir;
using kelmor_test::WriteTextFile;

namespace {

using Fields = std::vector<std::string>;

// Slots 0 ... iFields - 1 of a record; a null slot reads as "<null>".
Fields SlotsOf(const _IniFieldsType *pif) {
    Fields slots;
    for (int32_t i = 0; i < pif->iFields; ++i)
        slots.push_back(pif->ppFields[i] ? pif->ppFields[i] : "<null>");
    return slots;
}

// A list owned by the test, freed at the end.
struct List {
    _IniFieldsType *head = nullptr;
    _IniFieldsType *tail = nullptr;
    ~List() { ZapIniFieldsTypes(&head, &tail); }

    // Fields not given are null, as the caller's array must hold iMaxFields.
    _IniFieldsType *Add(std::vector<const char *> fields, int32_t iMaxFields = 4) {
        if (fields.size() < size_t(iMaxFields)) fields.resize(size_t(iMaxFields), nullptr);
        return AddIniFieldsType(&head, &tail, const_cast<char **>(fields.data()), 7, iMaxFields);
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (_IniFieldsType *pif = head; pif; pif = pif->pNext) keys.push_back(pif->ppFields[0]);
        // Walking back must give the same records.
        std::vector<std::string> backwards;
        for (_IniFieldsType *pif = tail; pif; pif = pif->pPrev)
            backwards.insert(backwards.begin(), pif->ppFields[0]);
        EXPECT_EQ(keys, backwards);
        return keys;
    }
};

class IniSection : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               "/list.ini";
    }
    // Reads section "S" of a file holding `lines` after the header.
    void ReadSection(const std::string &lines, int32_t iMaxFields) {
        WriteTextFile(ini_, "[S]\r\n" + lines);
        ReadIniFieldsTypes(&list_.head, &list_.tail, 55, iMaxFields, ini_.c_str(), "S");
    }
    std::string ini_;
    List list_;
};

TEST(IniList, RecordsCopyTheirFieldsAndKeepTheirShape) {
    List list;
    char key[] = "Key";
    char first[] = "one";
    char *fields[] = {key, first, nullptr, nullptr};
    _IniFieldsType *pif = AddIniFieldsType(&list.head, &list.tail, fields, 55, 4);
    ASSERT_NE(nullptr, pif);
    key[0] = 'X';
    first[0] = 'X';
    EXPECT_EQ(Fields({"Key", "one", "<null>", "<null>"}), SlotsOf(pif));
    EXPECT_EQ(55, pif->iType);
    EXPECT_EQ(nullptr, pif->ppFields[4]);

    const char *update[] = {"Other", nullptr, "two", "three", "beyond"};
    UpdateIniType(pif, const_cast<char **>(update), 5);
    EXPECT_EQ(Fields({"Key", "one", "two", "three"}), SlotsOf(pif));

    EXPECT_EQ(nullptr, list.Add({"", "x"}));
    EXPECT_EQ(nullptr, list.Add({nullptr, "x"}));
    EXPECT_EQ(nullptr, list.Add({"K"}, 0));
    EXPECT_EQ(nullptr, list.Add({"K"}, kIniFieldCapacity + 1));
    EXPECT_EQ(nullptr, AddIniFieldsType(&list.head, &list.tail, nullptr, 1, 4));
    EXPECT_EQ(std::vector<std::string>({"Key"}), list.Keys());
}

TEST(IniList, FindSelectAndUpdateByKey) {
    List list;
    list.Add({"Mincho", "a"});
    _IniFieldsType *second = list.Add({"Gothic", "b"});
    list.Add({"GOTHIC", "c"});
    EXPECT_EQ(second, FindIniType(list.head, "gothic"));
    EXPECT_EQ(nullptr, FindIniType(list.head, "Goth"));
    EXPECT_EQ(nullptr, FindIniType(list.head, ""));
    EXPECT_EQ(nullptr, FindIniType(list.head, nullptr));

    EXPECT_EQ(nullptr, GetSelection(list.head, 0));
    EXPECT_EQ(nullptr, GetSelection(list.head, -1));
    EXPECT_EQ(list.head, GetSelection(list.head, 1));
    EXPECT_EQ(second, GetSelection(list.head, 2));
    EXPECT_EQ(list.tail, GetSelection(list.head, 3));
    EXPECT_EQ(nullptr, GetSelection(list.head, 4));

    const char *fields[] = {"gOTHIC", "new", nullptr, "last", "beyond the record"};
    UpdateIniFromFields(list.head, const_cast<char **>(fields));
    EXPECT_EQ(Fields({"Gothic", "new", "<null>", "last"}), SlotsOf(second));
    EXPECT_EQ("c", std::string(list.tail->ppFields[1]));
    const char *unknown[] = {"Nobody", "x"};
    UpdateIniFromFields(list.head, const_cast<char **>(unknown));
}

TEST(IniList, RemoveAndMoveKeepHeadAndTailRight) {
    List list;
    _IniFieldsType *only = list.Add({"Only"});
    RemoveIniFieldsType(&list.head, &list.tail, only);
    EXPECT_EQ(nullptr, list.head);
    EXPECT_EQ(nullptr, list.tail);
    FreeIniFieldsType(only);
    EXPECT_EQ(nullptr, MoveIniFieldToHead(&list.head, &list.tail, nullptr));

    _IniFieldsType *a = list.Add({"A"});
    _IniFieldsType *b = list.Add({"B"});
    _IniFieldsType *c = list.Add({"C"});
    EXPECT_EQ(c, MoveIniFieldToHead(&list.head, &list.tail, c));
    EXPECT_EQ(std::vector<std::string>({"C", "A", "B"}), list.Keys());
    EXPECT_EQ(c, MoveIniFieldToHead(&list.head, &list.tail, c));
    EXPECT_EQ(a, MoveIniFieldToHead(&list.head, &list.tail, a));
    EXPECT_EQ(std::vector<std::string>({"A", "C", "B"}), list.Keys());

    RemoveIniFieldsType(&list.head, &list.tail, b);
    FreeIniFieldsType(b);
    RemoveIniFieldsType(&list.head, &list.tail, a);
    FreeIniFieldsType(a);
    EXPECT_EQ(std::vector<std::string>({"C"}), list.Keys());
    EXPECT_EQ(list.head, list.tail);
}

TEST(IniList, TrimWhiteSpaceWorksInPlace) {
    char spaces[] = "   ";
    EXPECT_STREQ("", TrimWhiteSpace(spaces));
    char empty[] = "";
    EXPECT_EQ(empty, TrimWhiteSpace(empty));
    char padded[] = " \t a b \t ";
    EXPECT_STREQ("a b", TrimWhiteSpace(padded));
    EXPECT_STREQ(" \t a b", padded);
    char single[] = "x";
    EXPECT_STREQ("x", TrimWhiteSpace(single));
    EXPECT_EQ(nullptr, TrimWhiteSpace(nullptr));
}

TEST_F(IniSection, ValuesSplitIntoTrimmedFields) {
    ReadSection("K=a, b ,,c\r\n", 5);
    ASSERT_NE(nullptr, list_.head);
    EXPECT_EQ(Fields({"K", "a", "b", "", "c"}), SlotsOf(list_.head));
    EXPECT_EQ(55, list_.head->iType);
}

TEST_F(IniSection, MissingFieldsAreEmptyAndExtraOnesIgnored) {
    ReadSection("K=a\r\nStar=a,*,b\r\nQuoted=\"x,y\",z\r\nLong=1,2,3,4,5,6\r\nNothing=\r\n", 4);
    std::vector<Fields> records;
    for (_IniFieldsType *pif = list_.head; pif; pif = pif->pNext) records.push_back(SlotsOf(pif));
    EXPECT_EQ(std::vector<Fields>({{"K", "a", "", ""},
                                   {"Star", "a", "", ""},
                                   {"Quoted", "x,y", "z", ""},
                                   {"Long", "1", "2", "3"},
                                   {"Nothing", "", "", ""}}),
              records);
}

TEST_F(IniSection, MissingFileOrSectionGivesAnEmptyList) {
    list_.Add({"Stale"});
    ReadIniFieldsTypes(&list_.head, &list_.tail, 55, 4, (ini_ + ".missing").c_str(), "S");
    EXPECT_EQ(nullptr, list_.head);
    ReadSection("K=v\r\n", 4);
    ReadIniFieldsTypes(&list_.head, &list_.tail, 55, 4, ini_.c_str(), "Absent");
    EXPECT_EQ(nullptr, list_.tail);
}

TEST_F(IniSection, WrittenRecordsReadBackInListOrder) {
    WriteTextFile(ini_, "[S]\r\nHandWritten=keep\r\nB=old\r\n");
    const char *a[] = {"A", "a", nullptr, "c"};
    AddIniFieldsType(&list_.head, &list_.tail, const_cast<char **>(a), 1, 4);
    list_.Add({"B", "b"});
    WriteIniTypes(list_.head, ini_.c_str(), "S");

    char value[64];
    ProfileReadString(ini_.c_str(), "S", "A", "", value, sizeof value);
    EXPECT_STREQ("a,,c,", value);
    ProfileReadString(ini_.c_str(), "S", "HandWritten", "", value, sizeof value);
    EXPECT_STREQ("keep", value);

    ReadIniFieldsTypes(&list_.head, &list_.tail, 55, 4, ini_.c_str(), "S");
    EXPECT_EQ(std::vector<std::string>({"HandWritten", "A", "B"}), list_.Keys());
    EXPECT_EQ(Fields({"A", "a", "", "c"}), SlotsOf(GetSelection(list_.head, 2)));
    EXPECT_EQ(Fields({"B", "b", "", ""}), SlotsOf(list_.tail));
}

TEST_F(IniSection, LongValuesAreWrittenWhole) {
    std::string longField(200, 'v');
    list_.Add({"K", longField.c_str(), "x"}, 3);
    WriteIniTypes(list_.head, ini_.c_str(), "S");
    char value[kIniValueReadBytes];
    ProfileReadString(ini_.c_str(), "S", "K", "", value, sizeof value);
    EXPECT_EQ(longField + ",x,", std::string(value));
}

TEST_F(IniSection, DeleteAllEmptiesOnlyThatSection) {
    ReadSection("A=1\r\nB=2\r\n[T]\r\nC=3\r\n", 2);
    DeleteAllIniEntries(ini_.c_str(), "s");
    ReadIniFieldsTypes(&list_.head, &list_.tail, 55, 2, ini_.c_str(), "S");
    EXPECT_EQ(nullptr, list_.head);
    ReadIniFieldsTypes(&list_.head, &list_.tail, 55, 2, ini_.c_str(), "T");
    EXPECT_EQ(std::vector<std::string>({"C"}), list_.Keys());
}

TEST_F(IniSection, SectionsLargerThanTheFirstBufferAreReadWhole) {
    std::string lines;
    for (int i = 0; i < 600; ++i) lines += "A rather long font key number " + std::to_string(i) + "=v\r\n";
    ReadSection(lines, 2);
    EXPECT_EQ(600u, list_.Keys().size());
    DeleteAllIniEntries(ini_.c_str(), "S");
    char names[16];
    EXPECT_EQ(0u, ProfileReadKeyNames(ini_.c_str(), "S", names, sizeof names));
}

}  // namespace

// The text of one ini file held as lines, with the edits the profile store
// needs.  Lines the store does not change keep their bytes and line ends.
#ifndef KELMOR_PLATFORM_POSIX_INI_TEXT_H
#define KELMOR_PLATFORM_POSIX_INI_TEXT_H

#include <string>
#include <unordered_map>
#include <vector>

namespace kelmor {

class IniText {
public:
    explicit IniText(const std::string &content);

    // Key names of the first section called `section`, in file order, up to
    // the first key with an empty name.
    std::vector<std::string> KeyNames(const std::string &section) const;
    // The value of the first `key` in that section; false when there is none.
    // Lookups go through an index, so reading every key of a large section
    // stays linear.
    bool FindValue(const std::string &section, const std::string &key, std::string *value) const;
    struct Entry {
        std::string key;
        std::string value;
    };
    // All three return whether the text changed.
    bool SetValue(const std::string &section, const std::string &key, const std::string &value);
    bool DeleteKey(const std::string &section, const std::string &key);
    // The section's listed keys become exactly `entries`, in order, where its
    // first key was; comments and other lines of the section stay, and so do
    // the keys from the first one with an empty name on, which no list of
    // key names shows.
    bool ReplaceSection(const std::string &section, const std::vector<Entry> &entries);

    std::string Text() const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string text;
        std::string end;     // "\r\n", "\n" or "" for a last line without one
        Kind kind;
        std::string name;    // section or key name as written, blanks trimmed
        std::string folded;  // the name in upper case, for comparisons
        std::string value;   // key lines only
    };
    struct Body {
        size_t header;  // index of the section's header line
        size_t end;     // one past its last line
    };

    static Line MakeLine(const std::string &text, const std::string &end);
    bool FindSection(const std::string &folded, Body *body) const;
    size_t FindKey(const Body &body, const std::string &folded) const;
    void InsertLine(size_t index, const std::string &text);
    void BuildIndex() const;

    std::vector<Line> lines_;
    std::string newLineEnd_;  // the ending given to lines the store adds
    std::string bom_;         // a byte-order mark the file starts with, kept
    // Folded "section\nkey" -> line of its value; rebuilt after edits.
    mutable std::unordered_map<std::string, size_t> index_;
    mutable bool indexed_ = false;
};

}  // namespace kelmor

#endif

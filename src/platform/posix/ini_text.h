// The text of one ini file held as lines, with the edits the profile store
// needs.  Lines the store does not change keep their bytes and line ends.
#ifndef KELMOR_PLATFORM_POSIX_INI_TEXT_H
#define KELMOR_PLATFORM_POSIX_INI_TEXT_H

#include <string>
#include <vector>

namespace kelmor {

class IniText {
public:
    explicit IniText(const std::string &content);

    // Key names of the first section called `section`, each once, in file
    // order.
    std::vector<std::string> KeyNames(const std::string &section) const;
    // The value of the first `key` in that section; false when there is none.
    bool FindValue(const std::string &section, const std::string &key, std::string *value) const;
    // Returns whether the text changed.
    bool SetValue(const std::string &section, const std::string &key, const std::string &value);
    bool DeleteKey(const std::string &section, const std::string &key);

    std::string Text() const;

private:
    struct Line {
        std::string text;
        std::string end;  // "\r\n", "\n" or "" for a last line without one
    };
    struct Body {
        size_t header;  // index of the section's header line
        size_t end;     // one past its last line
    };

    bool FindSection(const std::string &section, Body *body) const;
    size_t FindKey(const Body &body, const std::string &key) const;
    void InsertLine(size_t index, const std::string &text);
    void AppendLine(const std::string &text);

    std::vector<Line> lines_;
    std::string newLineEnd_;  // the ending given to lines the store adds
};

}  // namespace kelmor

#endif

#include "platform/posix/ini_text.h"

#include <algorithm>
#include <unordered_set>

#include "common/text.h"

namespace kelmor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string &text, size_t begin, size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Letter case is folded for ASCII only: names may be double-byte text, whose
// trail bytes must not be touched.
std::string Folded(std::string name) {
    for (char &c : name)
        c = AsciiUpper(c);
    return name;
}

// Blanks around a key name are not part of it, in the file or in a lookup.
std::string FoldedKey(const std::string &key) { return Folded(Trim(key, 0, key.size())); }

// One pair of matching quotes around a value is not part of it.
std::string Unquote(const std::string &value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

// Comments (';') and lines without '=' are "Other": the store never reads
// them and never changes them.  A line "=value" is a key with an empty name,
// as the Windows profile calls read it.
IniText::Line IniText::MakeLine(const std::string &text, const std::string &end) {
    Line line{text, end, Kind::Other, "", "", ""};
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    if (start == text.size() || text[start] == ';') return line;
    if (text[start] == '[') {
        size_t close = text.rfind(']');
        if (close == std::string::npos || close <= start) return line;
        line.kind = Kind::Section;
        line.name = Trim(text, start + 1, close);
    } else {
        size_t equals = text.find('=', start);
        if (equals == std::string::npos) return line;
        line.name = Trim(text, start, equals);
        line.kind = Kind::Key;
        line.value = Trim(text, equals + 1, text.size());
    }
    line.folded = Folded(line.name);
    return line;
}

// A UTF-8 byte-order mark before the first line is not part of it: the
// Windows profile calls read the section it precedes, and so do we.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

IniText::IniText(const std::string &content) {
    size_t pos = 0;
    if (content.compare(0, 3, kUtf8Bom) == 0) {
        bom_ = kUtf8Bom;
        pos = 3;
    }
    while (pos < content.size()) {
        size_t newline = content.find('\n', pos);
        if (newline == std::string::npos) {
            lines_.push_back(MakeLine(content.substr(pos), ""));
            break;
        }
        bool crlf = newline > pos && content[newline - 1] == '\r';
        size_t textEnd = crlf ? newline - 1 : newline;
        lines_.push_back(MakeLine(content.substr(pos, textEnd - pos), crlf ? "\r\n" : "\n"));
        pos = newline + 1;
    }
    newLineEnd_ = (!lines_.empty() && !lines_[0].end.empty()) ? lines_[0].end : "\r\n";
}

bool IniText::FindSection(const std::string &folded, Body *body) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Section || lines_[i].folded != folded) continue;
        body->header = i;
        body->end = i + 1;
        while (body->end < lines_.size() && lines_[body->end].kind != Kind::Section) ++body->end;
        return true;
    }
    return false;
}

size_t IniText::FindKey(const Body &body, const std::string &folded) const {
    for (size_t i = body.header + 1; i < body.end; ++i)
        if (lines_[i].kind == Kind::Key && lines_[i].folded == folded) return i;
    return lines_.size();
}

// As the Windows profile calls list them: a key written twice is listed
// twice, and a key with an empty name ends the list, since the list itself
// is ended by an empty name.
std::vector<std::string> IniText::KeyNames(const std::string &section) const {
    std::vector<std::string> names;
    Body body;
    if (!FindSection(Folded(section), &body)) return names;
    for (size_t i = body.header + 1; i < body.end; ++i) {
        if (lines_[i].kind != Kind::Key) continue;
        if (lines_[i].name.empty()) break;
        names.push_back(lines_[i].name);
    }
    return names;
}

// Only the first section of a name and the first key of a name in it count,
// as for every other lookup.
void IniText::BuildIndex() const {
    index_.clear();
    std::unordered_set<std::string> sectionsSeen;
    std::string section;
    bool firstOfItsName = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section) {
            section = lines_[i].folded;
            firstOfItsName = sectionsSeen.insert(section).second;
        } else if (lines_[i].kind == Kind::Key && firstOfItsName) {
            index_.emplace(section + '\n' + lines_[i].folded, i);
        }
    }
    indexed_ = true;
}

bool IniText::FindValue(const std::string &section, const std::string &key,
                        std::string *value) const {
    if (!indexed_) BuildIndex();
    auto found = index_.find(Folded(section) + '\n' + FoldedKey(key));
    if (found == index_.end()) return false;
    *value = Unquote(lines_[found->second].value);
    return true;
}

void IniText::InsertLine(size_t index, const std::string &text) {
    // The line before an insertion point at the end may lack its ending.
    if (index > 0 && lines_[index - 1].end.empty()) lines_[index - 1].end = newLineEnd_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                  MakeLine(text, newLineEnd_));
    indexed_ = false;
}

bool IniText::SetValue(const std::string &section, const std::string &key,
                       const std::string &value) {
    Body body;
    if (!FindSection(Folded(section), &body)) {
        InsertLine(lines_.size(), "[" + section + "]");
        InsertLine(lines_.size(), key + "=" + value);
        return true;
    }
    size_t index = FindKey(body, FoldedKey(key));
    if (index != lines_.size()) {
        // Keep the key as the file spells it.
        std::string text = lines_[index].name + "=" + value;
        if (text == lines_[index].text) return false;
        lines_[index] = MakeLine(text, lines_[index].end);
        indexed_ = false;
        return true;
    }
    // A new key goes after the section's last key, so that comments and
    // blank lines that lead into the next section stay with it.
    size_t insertAt = body.header + 1;
    for (size_t i = body.header + 1; i < body.end; ++i)
        if (lines_[i].kind == Kind::Key) insertAt = i + 1;
    InsertLine(insertAt, key + "=" + value);
    return true;
}

// Only the first line of the key goes, as with the Windows profile calls: a
// second line of the same key then becomes the one that is read.
bool IniText::DeleteKey(const std::string &section, const std::string &key) {
    Body body;
    if (!FindSection(Folded(section), &body)) return false;
    size_t index = FindKey(body, FoldedKey(key));
    if (index == lines_.size()) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    indexed_ = false;
    return true;
}

bool IniText::ReplaceSection(const std::string &section, const std::vector<Entry> &entries) {
    std::string before = Text();
    Body body;
    if (!FindSection(Folded(section), &body)) {
        if (entries.empty()) return false;
        InsertLine(lines_.size(), "[" + section + "]");
        body = {lines_.size() - 1, lines_.size()};
    }
    size_t insertAt = body.end;
    size_t kept = body.header + 1;
    bool listed = true;  // keys from the first empty name on are never listed: they stay
    for (size_t i = body.header + 1; i < body.end; ++i) {
        if (lines_[i].kind == Kind::Key && lines_[i].name.empty()) listed = false;
        if (lines_[i].kind == Kind::Key && listed) {
            insertAt = std::min(insertAt, kept);
            continue;
        }
        if (kept != i) lines_[kept] = std::move(lines_[i]);
        ++kept;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(kept),
                 lines_.begin() + static_cast<std::ptrdiff_t>(body.end));
    if (insertAt == body.end) insertAt = body.header + 1;  // a section without keys
    for (const Entry &entry : entries) InsertLine(insertAt++, entry.key + "=" + entry.value);
    indexed_ = false;
    return Text() != before;
}

std::string IniText::Text() const {
    std::string text = bom_;
    for (const Line &line : lines_) text += line.text + line.end;
    return text;
}

}  // namespace kelmor

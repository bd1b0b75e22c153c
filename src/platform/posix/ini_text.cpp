#include "platform/posix/ini_text.h"

namespace kelmor {

namespace {

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string name;   // section or key name
    std::string value;  // key lines only
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string &text, size_t begin, size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Letter case is folded for ASCII only: names may be double-byte text, whose
// trail bytes must not be touched.
bool SameName(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// Comments (';'), lines without '=' and key lines with an empty key are
// "Other": the store never reads them and never changes them.
ParsedLine ParseLine(const std::string &text) {
    ParsedLine parsed;
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    if (start == text.size() || text[start] == ';') return parsed;
    if (text[start] == '[') {
        size_t close = text.rfind(']');
        if (close != std::string::npos && close > start) {
            parsed.kind = LineKind::Section;
            parsed.name = Trim(text, start + 1, close);
        }
        return parsed;
    }
    size_t equals = text.find('=', start);
    if (equals == std::string::npos) return parsed;
    parsed.name = Trim(text, start, equals);
    if (parsed.name.empty()) return parsed;
    parsed.kind = LineKind::Key;
    parsed.value = Trim(text, equals + 1, text.size());
    return parsed;
}

// One pair of matching quotes around a value is not part of it.
std::string Unquote(const std::string &value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

IniText::IniText(const std::string &content) {
    size_t pos = 0;
    while (pos < content.size()) {
        size_t newline = content.find('\n', pos);
        Line line;
        if (newline == std::string::npos) {
            line.text = content.substr(pos);
            pos = content.size();
        } else {
            bool crlf = newline > pos && content[newline - 1] == '\r';
            size_t textEnd = crlf ? newline - 1 : newline;
            line.text = content.substr(pos, textEnd - pos);
            line.end = crlf ? "\r\n" : "\n";
            pos = newline + 1;
        }
        lines_.push_back(line);
    }
    newLineEnd_ = (!lines_.empty() && !lines_[0].end.empty()) ? lines_[0].end : "\r\n";
}

bool IniText::FindSection(const std::string &section, Body *body) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        ParsedLine parsed = ParseLine(lines_[i].text);
        if (parsed.kind != LineKind::Section || !SameName(parsed.name, section)) continue;
        body->header = i;
        body->end = i + 1;
        while (body->end < lines_.size() &&
               ParseLine(lines_[body->end].text).kind != LineKind::Section)
            ++body->end;
        return true;
    }
    return false;
}

size_t IniText::FindKey(const Body &body, const std::string &key) const {
    for (size_t i = body.header + 1; i < body.end; ++i) {
        ParsedLine parsed = ParseLine(lines_[i].text);
        if (parsed.kind == LineKind::Key && SameName(parsed.name, key)) return i;
    }
    return lines_.size();
}

std::vector<std::string> IniText::KeyNames(const std::string &section) const {
    std::vector<std::string> names;
    Body body;
    if (!FindSection(section, &body)) return names;
    for (size_t i = body.header + 1; i < body.end; ++i) {
        ParsedLine parsed = ParseLine(lines_[i].text);
        if (parsed.kind == LineKind::Key && FindKey(body, parsed.name) == i)
            names.push_back(parsed.name);
    }
    return names;
}

bool IniText::FindValue(const std::string &section, const std::string &key,
                        std::string *value) const {
    Body body;
    if (!FindSection(section, &body)) return false;
    size_t index = FindKey(body, key);
    if (index == lines_.size()) return false;
    *value = Unquote(ParseLine(lines_[index].text).value);
    return true;
}

void IniText::InsertLine(size_t index, const std::string &text) {
    // The line before an insertion point at the end may lack its ending.
    if (index > 0 && lines_[index - 1].end.empty()) lines_[index - 1].end = newLineEnd_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), Line{text, newLineEnd_});
}

void IniText::AppendLine(const std::string &text) { InsertLine(lines_.size(), text); }

bool IniText::SetValue(const std::string &section, const std::string &key,
                       const std::string &value) {
    Body body;
    if (!FindSection(section, &body)) {
        AppendLine("[" + section + "]");
        AppendLine(key + "=" + value);
        return true;
    }
    size_t index = FindKey(body, key);
    if (index != lines_.size()) {
        // Keep the key as the file spells it.
        std::string text = ParseLine(lines_[index].text).name + "=" + value;
        if (text == lines_[index].text) return false;
        lines_[index].text = text;
        return true;
    }
    // A new key goes after the section's last key, so that comments and
    // blank lines that lead into the next section stay with it.
    size_t insertAt = body.header + 1;
    for (size_t i = body.header + 1; i < body.end; ++i)
        if (ParseLine(lines_[i].text).kind == LineKind::Key) insertAt = i + 1;
    InsertLine(insertAt, key + "=" + value);
    return true;
}

bool IniText::DeleteKey(const std::string &section, const std::string &key) {
    Body body;
    if (!FindSection(section, &body)) return false;
    bool changed = false;
    for (size_t index; (index = FindKey(body, key)) != lines_.size(); --body.end) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
        changed = true;
    }
    return changed;
}

std::string IniText::Text() const {
    std::string text;
    for (const Line &line : lines_) text += line.text + line.end;
    return text;
}

}  // namespace kelmor

#include "code_set.h"

#include <algorithm>
#include <cstdio>

#include "text_input.h"

namespace kelmor {
namespace {

std::string Number(uint32_t code, int base) {
    char text[16];
    std::snprintf(text, sizeof text, base == 16 ? "%04X" : "%u", unsigned(code));
    return text;
}

// One list item: "A" or "A-B".
bool ParseItem(const std::string &item, int base, uint32_t highest, CodeRange *range,
               std::string *error) {
    const size_t dash = item.find('-');
    std::vector<uint32_t> first, last;
    if (!ParseNumberList(item.substr(0, dash), base, highest, &first, error) ||
        first.size() != 1)
        return false;
    range->first = range->last = first[0];
    if (dash == std::string::npos) return true;
    if (!ParseNumberList(item.substr(dash + 1), base, highest, &last, error) || last.size() != 1)
        return false;
    range->last = last[0];
    if (range->first <= range->last) return true;
    *error = "\"" + item + "\" runs backwards";
    return false;
}

}  // namespace

bool ParseRangeList(const std::string &text, int base, uint32_t highest,
                    std::vector<CodeRange> *ranges, std::string *error) {
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        CodeRange range{};
        if (!ParseItem(item, base, highest, &range, error)) return false;
        ranges->push_back(range);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool ExpandCodeList(const std::string &text, int base, uint32_t highest,
                    std::vector<uint32_t> *codes, std::string *error, size_t limit) {
    std::vector<CodeRange> ranges;
    if (!ParseRangeList(text, base, highest, &ranges, error)) return false;
    codes->clear();
    for (const CodeRange &r : ranges) {
        if (r.last - r.first >= limit - codes->size()) {
            *error = "more than " + std::to_string(limit) + " codes in \"" + text + "\"";
            return false;
        }
        for (uint64_t code = r.first; code <= r.last; ++code) codes->push_back(uint32_t(code));
    }
    return true;
}

std::vector<uint32_t> MergeCodes(const std::vector<CodeRange> &ranges,
                                 const std::vector<uint32_t> &singles,
                                 std::vector<uint32_t> *repeated) {
    std::vector<uint32_t> all;
    for (const CodeRange &r : ranges)
        for (uint64_t code = r.first; code <= r.last; ++code) all.push_back(uint32_t(code));
    all.insert(all.end(), singles.begin(), singles.end());
    std::sort(all.begin(), all.end());
    repeated->clear();
    std::vector<uint32_t> unique;
    for (size_t i = 0; i < all.size(); ++i) {
        if (i > 0 && all[i] == all[i - 1]) {
            if (repeated->empty() || repeated->back() != all[i]) repeated->push_back(all[i]);
            continue;
        }
        unique.push_back(all[i]);
    }
    return unique;
}

std::string CompactCodes(const std::vector<uint32_t> &codes, int base, size_t limit) {
    std::string text;
    size_t items = 0, i = 0;
    while (i < codes.size()) {
        size_t end = i;
        while (end + 1 < codes.size() && codes[end + 1] == codes[end] + 1) ++end;
        if (items == limit) {
            text += ", ... and " + std::to_string(codes.size() - i) + " more";
            break;
        }
        text += (items > 0 ? ", " : "") + Number(codes[i], base);
        if (end > i) text += "-" + Number(codes[end], base);
        ++items;
        i = end + 1;
    }
    return text;
}

bool Contiguous(const std::vector<uint32_t> &codes) {
    return codes.empty() || codes.back() - codes.front() + 1 == codes.size();
}

}  // namespace kelmor

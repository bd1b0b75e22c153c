#include "ne_builder.h"

#include <cstdio>

namespace kelmor_test {

namespace {

void Le16(Bytes &out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}
void Le32(Bytes &out, uint32_t value) {
    Le16(out, uint16_t(value));
    Le16(out, uint16_t(value >> 16));
}
void PadTo(Bytes &out, size_t size) {
    if (out.size() < size) out.resize(size, 0);
}

}  // namespace

NeBuilder &NeBuilder::FirstRelocationItem(uint16_t value) {
    firstRelocation_ = value;
    return *this;
}
NeBuilder &NeBuilder::ExeType(uint8_t value) {
    exeType_ = value;
    return *this;
}
NeBuilder &NeBuilder::ExpVersion(uint16_t value) {
    expVersion_ = value;
    return *this;
}
NeBuilder &NeBuilder::Shift(uint16_t value) {
    shift_ = value;
    return *this;
}
NeBuilder &NeBuilder::NoResourceTable() {
    resourceTable_ = false;
    return *this;
}
NeBuilder &NeBuilder::EntryTable(Bytes bytes) {
    entryTable_ = std::move(bytes);
    return *this;
}
NeBuilder &NeBuilder::AddType(uint16_t id) {
    types_.push_back({id, "", {}});
    return *this;
}
NeBuilder &NeBuilder::AddNamedType(const std::string &name) {
    types_.push_back({0, name, {}});
    return *this;
}
NeBuilder &NeBuilder::AddResource(uint16_t id, Bytes data) {
    types_.back().resources.push_back({id, "", std::move(data)});
    return *this;
}
NeBuilder &NeBuilder::AddNamedResource(const std::string &name, Bytes data) {
    types_.back().resources.push_back({0, name, std::move(data)});
    return *this;
}

Bytes NeBuilder::Build() const {
    // The resource table: shift, type records with their entries, the
    // terminating 0, then the names.  Entries are filled in once the data's
    // places are known.
    Bytes table;
    Le16(table, shift_);
    std::vector<size_t> entryAt;
    size_t names = 2;
    for (const Type &t : types_) names += 8 + 12 * t.resources.size();
    names += 2;
    Bytes nameBytes;
    auto idFor = [&](uint16_t id, const std::string &name) -> uint16_t {
        if (name.empty()) return id;
        uint16_t at = uint16_t(names + nameBytes.size());
        nameBytes.push_back(uint8_t(name.size()));
        nameBytes.insert(nameBytes.end(), name.begin(), name.end());
        return at;
    };
    for (const Type &t : types_) {
        Le16(table, idFor(t.id, t.name));
        Le16(table, uint16_t(t.resources.size()));
        Le32(table, 0);
        for (const Resource &r : t.resources) {
            entryAt.push_back(table.size());
            table.resize(table.size() + 12, 0);
            PutLe16(table, entryAt.back() + 6, idFor(r.id, r.name));
        }
    }
    Le16(table, 0);
    table.insert(table.end(), nameBytes.begin(), nameBytes.end());

    Bytes out(kNeHeaderAt, 0);
    PutLe16(out, 0, 0x5A4D);
    PutLe16(out, 24, firstRelocation_);
    PutLe32(out, 60, uint32_t(kNeHeaderAt));

    Bytes ne(64, 0);
    PutLe16(ne, 0, 0x454E);
    size_t tableOffset = kResourceTableAt - kNeHeaderAt;
    size_t residentNames = tableOffset + (resourceTable_ ? table.size() : 0);
    PutLe16(ne, 36, uint16_t(tableOffset));
    PutLe16(ne, 38, uint16_t(residentNames));
    PutLe16(ne, 4, uint16_t(residentNames + 1));
    PutLe16(ne, 6, uint16_t(entryTable_.size()));
    ne[54] = exeType_;
    PutLe16(ne, 62, expVersion_);
    out.insert(out.end(), ne.begin(), ne.end());
    if (resourceTable_) out.insert(out.end(), table.begin(), table.end());
    out.push_back(0);  // an empty resident-name table
    out.insert(out.end(), entryTable_.begin(), entryTable_.end());

    // The resources' bytes, each aligned to the shift, and their entries.
    size_t unit = size_t(1) << (shift_ < 16 ? shift_ : 0);
    size_t entry = 0;
    for (const Type &t : types_)
        for (const Resource &r : t.resources) {
            PadTo(out, (out.size() + unit - 1) / unit * unit);
            size_t at = kResourceTableAt + entryAt[entry++];
            if (resourceTable_) {
                PutLe16(out, at, uint16_t(out.size() / unit));
                PutLe16(out, at + 2, uint16_t((r.data.size() + unit - 1) / unit));
            }
            out.insert(out.end(), r.data.begin(), r.data.end());
        }
    PadTo(out, (out.size() + unit - 1) / unit * unit);
    return out;
}

std::string NeBuilder::WriteTo(const std::string &path) const {
    WriteBytes(path, Build());
    return path;
}

Bytes FontDirectory(const std::string &faceName, const std::string &deviceName, uint8_t charSet,
                    uint16_t weight, uint8_t pitchAndFamily, uint32_t face) {
    Bytes out;
    Le16(out, 1);  // one entry
    Bytes entry(115, 0);
    PutLe16(entry, 0, 1);       // fontOrdinal
    PutLe16(entry, 2, 0x0200);  // dfVersion
    const char copyright[] = "Synthetic test font";
    for (size_t i = 0; copyright[i]; ++i) entry[8 + i] = uint8_t(copyright[i]);
    PutLe16(entry, 70, 12);  // dfPoints
    PutLe16(entry, 85, weight);
    entry[87] = charSet;
    entry[92] = pitchAndFamily;
    PutLe32(entry, 107, face);
    out.insert(out.end(), entry.begin(), entry.end());
    Bytes names = Text(deviceName);
    out.insert(out.end(), names.begin(), names.end());
    names = Text(faceName);
    out.insert(out.end(), names.begin(), names.end());
    return out;
}

Bytes Text(const std::string &text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

void PutLe16(Bytes &bytes, size_t at, uint16_t value) {
    PadTo(bytes, at + 2);
    bytes[at] = uint8_t(value);
    bytes[at + 1] = uint8_t(value >> 8);
}

void PutLe32(Bytes &bytes, size_t at, uint32_t value) {
    PutLe16(bytes, at, uint16_t(value));
    PutLe16(bytes, at + 2, uint16_t(value >> 16));
}

void WriteBytes(const std::string &path, const Bytes &bytes) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace kelmor_test

// A writer of small NE executables shaped like Windows font resource files
// (.FOT): an MZ header pointing at an NE header, a resource table and the
// resources' bytes.  The defaults make a well-formed file; the setters and
// the byte offsets it reports let a case break exactly one thing:
//
//   auto bytes = NeBuilder()
//                    .AddType(0x8007).AddResource(0x8001, FontDirectory("Mincho"))
//                    .AddType(0x80CC).AddResource(0x8001, Text("MINCHO.TTF"))
//                    .Build();
//
// Type and resource ids are stored as given (0x8000 marks a number); a name
// given instead is stored in the table and the id becomes its offset.
#ifndef KELMOR_TESTS_NE_BUILDER_H
#define KELMOR_TESTS_NE_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor_test {

using Bytes = std::vector<uint8_t>;

// Where the builder puts things.
constexpr size_t kNeHeaderAt = 64;
constexpr size_t kResourceTableAt = 128;
constexpr size_t kFirstTypeRecordAt = kResourceTableAt + 2;

class NeBuilder {
public:
    NeBuilder &FirstRelocationItem(uint16_t value);
    NeBuilder &ExeType(uint8_t value);
    NeBuilder &ExpVersion(uint16_t value);
    NeBuilder &Shift(uint16_t value);
    // wResourceOffset equal to wResOffset: no resource table.
    NeBuilder &NoResourceTable();
    NeBuilder &EntryTable(Bytes bytes);

    NeBuilder &AddType(uint16_t id);
    NeBuilder &AddNamedType(const std::string &name);
    // A resource of the last type added.
    NeBuilder &AddResource(uint16_t id, Bytes data);
    NeBuilder &AddNamedResource(const std::string &name, Bytes data);

    Bytes Build() const;
    std::string WriteTo(const std::string &path) const;

private:
    struct Resource {
        uint16_t id;
        std::string name;
        Bytes data;
    };
    struct Type {
        uint16_t id;
        std::string name;
        std::vector<Resource> resources;
    };

    uint16_t firstRelocation_ = 0x40;
    uint8_t exeType_ = 2;
    uint16_t expVersion_ = 0x030A;
    uint16_t shift_ = 4;
    bool resourceTable_ = true;
    Bytes entryTable_ = {0, 0};
    std::vector<Type> types_;
};

// A font directory resource with one entry: the given face name, device
// name and the fields the library shows.
Bytes FontDirectory(const std::string &faceName, const std::string &deviceName = "",
                    uint8_t charSet = 128, uint16_t weight = 400, uint8_t pitchAndFamily = 0x31,
                    uint32_t face = 0x1234ABCD);
// Text with its terminator.
Bytes Text(const std::string &text);

// Little-endian stores into built bytes, for breaking a file on purpose.
void PutLe16(Bytes &bytes, size_t at, uint16_t value);
void PutLe32(Bytes &bytes, size_t at, uint32_t value);
void WriteBytes(const std::string &path, const Bytes &bytes);

}  // namespace kelmor_test

#endif

#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace marbleye::fpx {

// Property types of the serialised property sets this reader uses.
namespace property_type {
inline constexpr uint16_t kI4 = 3, kUi4 = 19, kBlob = 65, kClipboard = 71;
}

// The first section of a serialised property set: each property's type and
// the bytes that follow its type field, up to the end of the section.
class PropertySet {
public:
    // False when the stream is not a property set (byte order mark, section
    // offset or property table outside the stream).
    bool Parse(const std::vector<uint8_t>& stream);

    bool Has(uint32_t id) const { return values_.count(id) != 0; }
    // A 32-bit integer property (signed or unsigned).
    std::optional<uint32_t> Integer(uint32_t id) const;
    // The bytes of a counted property (a blob or a clipboard picture), empty
    // when missing, of another type or cut short.
    std::vector<uint8_t> Counted(uint32_t id, uint16_t type) const;

private:
    struct Value {
        uint16_t type = 0;
        std::vector<uint8_t> bytes;
    };
    std::map<uint32_t, Value> values_;
};

}  // namespace marbleye::fpx

#include "formats/fpx/FlashPixProperties.h"

#include <algorithm>
#include <cstddef>

namespace marbleye::fpx {

namespace {

constexpr uint16_t kByteOrderMark = 0xFFFE;
constexpr size_t kFirstSectionOffsetField = 44;  // after the header and the first format id
constexpr uint32_t kMaximumProperties = 65536;

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

bool PropertySet::Parse(const std::vector<uint8_t>& stream) {
    values_.clear();
    if (stream.size() < kFirstSectionOffsetField + 4) return false;
    if ((stream[0] | stream[1] << 8) != kByteOrderMark) return false;
    if (U32At(stream, 24) == 0) return false;  // no section
    const uint64_t section = U32At(stream, kFirstSectionOffsetField);
    if (section > stream.size() || stream.size() - section < 8) return false;
    const uint64_t sectionSize = U32At(stream, section);
    const uint32_t count = U32At(stream, section + 4);
    const uint64_t sectionEnd = section + std::min<uint64_t>(sectionSize, stream.size() - section);
    if (count > kMaximumProperties || section + 8 + uint64_t{count} * 8 > sectionEnd) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = section + 8 + size_t{i} * 8;
        const uint32_t id = U32At(stream, entry);
        const uint64_t offset = section + U32At(stream, entry + 4);
        if (offset + 4 > sectionEnd) continue;  // a property outside the section is left out
        Value value;
        value.type = static_cast<uint16_t>(stream[offset] | stream[offset + 1] << 8);
        value.bytes.assign(stream.begin() + static_cast<ptrdiff_t>(offset + 4),
                           stream.begin() + static_cast<ptrdiff_t>(sectionEnd));
        values_[id] = std::move(value);
    }
    return true;
}

std::optional<uint32_t> PropertySet::Integer(uint32_t id) const {
    const auto found = values_.find(id);
    if (found == values_.end() || found->second.bytes.size() < 4) return std::nullopt;
    const uint16_t type = found->second.type;
    if (type != property_type::kI4 && type != property_type::kUi4) return std::nullopt;
    return U32At(found->second.bytes, 0);
}

std::vector<uint8_t> PropertySet::Counted(uint32_t id, uint16_t type) const {
    const auto found = values_.find(id);
    if (found == values_.end() || found->second.type != type || found->second.bytes.size() < 4) return {};
    const std::vector<uint8_t>& bytes = found->second.bytes;
    const uint64_t length = U32At(bytes, 0);
    if (length > bytes.size() - 4) return {};
    return std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 4 + static_cast<ptrdiff_t>(length));
}

}  // namespace marbleye::fpx

#include "canvas/DeclaredSize.h"

#include <algorithm>
#include <limits>

namespace marbleye {

bool FileCanHold(uint64_t decodedBytes, uint64_t codedBytes, uint64_t maxExpansion) {
    if (decodedBytes <= kAlwaysHeldBytes) return true;
    const uint64_t factor = std::max(maxExpansion, kCutShortAllowance);
    if (codedBytes > std::numeric_limits<uint64_t>::max() / factor) return true;
    return decodedBytes <= codedBytes * factor;
}

}  // namespace marbleye

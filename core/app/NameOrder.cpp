#include "app/NameOrder.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace marbleye {

namespace {

// Hyphens and apostrophes weigh nothing at the first level.
constexpr uint16_t kIgnored = 0;

// Every printable ASCII character but the letters, digits, hyphen and
// apostrophe, in first-level order.
constexpr std::string_view kSymbols = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";
static_assert(kSymbols.size() == 31);

constexpr std::array<uint16_t, 256> MakeWeights() {
    std::array<uint16_t, 256> weights{};
    uint16_t next = 1;
    for (const char c : kSymbols) weights[static_cast<uint8_t>(c)] = next++;
    for (char c = '0'; c <= '9'; ++c) weights[static_cast<uint8_t>(c)] = next++;
    for (char c = 'a'; c <= 'z'; ++c) {
        weights[static_cast<uint8_t>(c)] = next;
        weights[static_cast<uint8_t>(c - 'a' + 'A')] = next++;
    }
    for (int byte = 1; byte < 256; ++byte) {
        if (weights[byte] == kIgnored && byte != '-' && byte != '\'') {
            weights[byte] = static_cast<uint16_t>(next + byte);
        }
    }
    return weights;
}

constexpr std::array<uint16_t, 256> kWeights = MakeWeights();

bool IsIgnored(char c) { return c == '-' || c == '\''; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
uint16_t WeightOf(char c) { return kWeights[static_cast<uint8_t>(c)]; }

const char* SkipIgnored(const char* p) {
    while (IsIgnored(*p)) ++p;
    return p;
}

const char* NextIgnored(const char* p) {
    while (*p != '\0' && !IsIgnored(*p)) ++p;
    return p;
}

}  // namespace

int CompareFileNames(const char* a, const char* b) {
    // The first level, noting the first case difference on the way for the
    // second.
    int caseOrder = 0;
    const char* p = SkipIgnored(a);
    const char* q = SkipIgnored(b);
    while (*p != '\0' && *q != '\0') {
        const uint16_t wp = WeightOf(*p);
        const uint16_t wq = WeightOf(*q);
        if (wp != wq) return wp < wq ? -1 : 1;
        if (caseOrder == 0) {
            if (IsLower(*p) && IsUpper(*q)) caseOrder = -1;
            if (IsUpper(*p) && IsLower(*q)) caseOrder = 1;
        }
        p = SkipIgnored(p + 1);
        q = SkipIgnored(q + 1);
    }
    if (*p != '\0' || *q != '\0') return *p == '\0' ? -1 : 1;
    if (caseOrder != 0) return caseOrder;

    // The third level: a hyphen or apostrophe later in the string comes first,
    // then the kind decides.
    p = NextIgnored(a);
    q = NextIgnored(b);
    while (*p != '\0' && *q != '\0') {
        const std::ptrdiff_t ip = p - a;
        const std::ptrdiff_t iq = q - b;
        if (ip != iq) return ip > iq ? -1 : 1;
        if (*p != *q) return *p == '\'' ? -1 : 1;
        p = NextIgnored(p + 1);
        q = NextIgnored(q + 1);
    }
    return (*p != '\0') - (*q != '\0');
}

}  // namespace marbleye

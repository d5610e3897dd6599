#include "package/jcalg1_literal_modes.h"

#include <algorithm>
#include <limits>

namespace vuni::jcalg1 {
namespace {

constexpr uint32_t kChangeTo8 = 9;  // 001 0000 0 1
constexpr uint32_t kChangeTo7 = 17; // 001 0000 0 0 + base byte
constexpr size_t kCandidateSpan = 512;
constexpr size_t kMaxCandidates = 8;

} // namespace

uint8_t BestBase(const uint32_t (&histogram)[256]) {
    uint64_t inWindow = 0;
    for (unsigned v = 0; v < 128; ++v) {
        inWindow += histogram[v];
    }
    uint64_t best = inWindow;
    unsigned bestBase = 0;
    for (unsigned b = 1; b < 256; ++b) {
        inWindow += histogram[(b + 127) & 255];
        inWindow -= histogram[b - 1];
        if (inWindow > best) {
            best = inWindow;
            bestBase = b;
        }
    }
    return static_cast<uint8_t>(bestBase);
}

LiteralModes::LiteralModes(const uint8_t* data, size_t size) : data_(data) {
    const size_t blockSize = size_t{1} << kBlockBits;
    blocks_.reserve(size / blockSize + 1);
    for (size_t start = 0; start < size; start += blockSize) {
        uint32_t histogram[256] = {};
        const size_t end = std::min(size, start + blockSize);
        for (size_t i = start; i < end; ++i) {
            ++histogram[data[i]];
        }
        histogram[0] = 0; // zero bytes have their own code
        uint64_t total = 0;
        for (uint32_t h : histogram) {
            total += h;
        }
        const uint8_t base = BestBase(histogram);
        uint64_t held = 0;
        for (unsigned v = 0; v < 128; ++v) {
            held += histogram[(base + v) & 255];
        }
        blocks_.push_back({total != 0 && held * 100 >= total * 98, base});
    }
}

void LiteralModes::Choose(const std::vector<uint8_t>& literals, LiteralMode current, bool started,
                          std::vector<LiteralMode>& choice) const {
    choice.assign(literals.size(), LiteralMode{8, 0});
    if (literals.empty()) {
        return;
    }
    // Candidate modes: 8 bits, the current one, and the best 7-bit base of each stretch.
    std::vector<LiteralMode> modes = {LiteralMode{8, 0}};
    if (current.bits == 7) {
        modes.push_back(current);
    }
    for (size_t s = 0; s < literals.size() && modes.size() < kMaxCandidates + 1;
         s += kCandidateSpan) {
        uint32_t histogram[256] = {};
        for (size_t i = s; i < std::min(literals.size(), s + kCandidateSpan); ++i) {
            ++histogram[literals[i]];
        }
        const LiteralMode m{7, BestBase(histogram)};
        if (std::find(modes.begin(), modes.end(), m) == modes.end()) {
            modes.push_back(m);
        }
    }
    const size_t k = modes.size();
    constexpr uint64_t kInf = std::numeric_limits<uint64_t>::max() / 4;
    std::vector<uint64_t> cost(k);
    for (size_t m = 0; m < k; ++m) {
        if (started && modes[m] == current) {
            cost[m] = 0;
        } else {
            cost[m] = modes[m].bits == 8 ? kChangeTo8 : kChangeTo7;
        }
    }
    // from[i * k + m]: the mode of literal i - 1 on the best way to mode m at literal i.
    std::vector<uint8_t> from(literals.size() * k);
    std::vector<uint64_t> next(k);
    for (size_t i = 0; i < literals.size(); ++i) {
        size_t bestPrev = 0;
        for (size_t m = 1; m < k; ++m) {
            if (cost[m] < cost[bestPrev]) {
                bestPrev = m;
            }
        }
        for (size_t m = 0; m < k; ++m) {
            uint64_t stay = cost[m];
            size_t prev = m;
            const uint64_t change = cost[bestPrev] + (modes[m].bits == 8 ? kChangeTo8 : kChangeTo7);
            if (change < stay) {
                stay = change;
                prev = bestPrev;
            }
            from[i * k + m] = static_cast<uint8_t>(prev);
            next[m] = modes[m].Holds(literals[i]) ? stay + modes[m].bits + 1 : kInf;
        }
        cost.swap(next);
    }
    size_t m = 0;
    for (size_t j = 1; j < k; ++j) {
        if (cost[j] < cost[m]) {
            m = j;
        }
    }
    for (size_t i = literals.size(); i-- > 0;) {
        choice[i] = modes[m];
        m = from[i * k + m];
    }
}

} // namespace vuni::jcalg1

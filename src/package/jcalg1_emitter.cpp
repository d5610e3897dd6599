#include "package/jcalg1_emitter.h"

#include <array>

namespace vuni::jcalg1 {
namespace {

constexpr uint32_t kRawBlock = 0xFFFFFFFF;          // distance marking a raw block
constexpr uint32_t kRawBlockCost = 8 + 8 * 256 + 1; // header, bytes, end bit

} // namespace

void TokenEmitter::Emit(size_t start, std::vector<Token>& tokens) {
    ChooseIndexBase(tokens);
    MergeRawBlocks(start, tokens);
    ChooseLiteralModes(start, tokens);
    size_t pos = start;
    bool inRaw = false; // a run of raw blocks is open
    for (const Token& t : tokens) {
        if (t.distance == kRawBlock) {
            if (inRaw) {
                bits_.Put(1, 1); // another block follows
            } else {
                Start();
                bits_.Put(0b001'0000'1, 8);
                inRaw = true;
            }
            for (size_t i = 0; i < kRawBlockSize; ++i) {
                bits_.Put(data_[pos + i], 8);
            }
        } else {
            if (inRaw) {
                bits_.Put(0, 1);
                inRaw = false;
            }
            if (t.length == 1) {
                EmitByte(pos, t);
            } else {
                EmitMatch(t.distance, t.length);
            }
        }
        pos += t.length;
    }
    if (inRaw) {
        bits_.Put(0, 1);
    }
}

void TokenEmitter::Finish() {
    bits_.Put(0, 12);
    bits_.Flush();
}

void TokenEmitter::EmitByte(size_t pos, const Token& t) {
    if (data_[pos] == 0) {
        Start();
        bits_.Put(0b001'0001, 7);
    } else if (t.distance != 0) {
        Start();
        bits_.Put(0b001'0000 | (t.distance + 1), 7);
    } else {
        SetLiteralMode(choice_[nextChoice_++]);
        bits_.Put(1, 1);
        bits_.Put(static_cast<uint8_t>(data_[pos] - literalMode_.base), literalMode_.bits);
    }
}

void TokenEmitter::EmitMatch(uint32_t dist, uint32_t len) {
    Start();
    if (dist == lastIndex_) {
        bits_.Put(0b01'00, 4);
        bits_.Gamma(len);
        return;
    }
    lastIndex_ = dist;
    if (dist <= kMaxShortDistance && len <= kMaxShortLength) {
        bits_.Put(dist << 2 | (len - 2), 12);
        return;
    }
    const uint32_t high = dist >> indexBase_;
    bits_.Put(0b01, 2);
    bits_.Gamma(high + 3);
    bits_.Put(dist & ((1u << indexBase_) - 1), indexBase_);
    bits_.Gamma(len - LengthBonus(dist));
}

void TokenEmitter::Start() {
    if (!started_) {
        SetLiteralMode(LiteralMode{8, 0});
    }
}

void TokenEmitter::SetLiteralMode(LiteralMode mode) {
    if (started_ && mode == literalMode_) {
        return;
    }
    started_ = true;
    literalMode_ = mode;
    if (mode.bits == 8) {
        bits_.Put(0b001'0000'0'1, 9);
    } else {
        bits_.Put(0b001'0000'0'0, 9);
        bits_.Put(mode.base, 8);
    }
}

void TokenEmitter::ChooseLiteralModes(size_t start, const std::vector<Token>& tokens) {
    literals_.clear();
    size_t pos = start;
    for (const Token& t : tokens) {
        if (t.length == 1 && t.distance == 0 && data_[pos] != 0) {
            literals_.push_back(data_[pos]);
        }
        pos += t.length;
    }
    modes_.Choose(literals_, literalMode_, started_, choice_);
    nextChoice_ = 0;
}

// Picks the index base that sends the explicit indexes of the tokens in the fewest bits, and
// switches to it first when the gain pays for the change. The parse priced them with the base
// before, which stays a close guess: neighbouring batches use alike distances.
void TokenEmitter::ChooseIndexBase(const std::vector<Token>& tokens) {
    std::array<uint64_t, 16> cost{};
    uint32_t last = lastIndex_;
    bool any = false;
    for (const Token& t : tokens) {
        if (t.length < 2 || t.distance == last) {
            continue;
        }
        last = t.distance;
        if (t.distance <= kMaxShortDistance && t.length <= kMaxShortLength) {
            continue;
        }
        any = true;
        for (unsigned b = 4; b < cost.size(); ++b) {
            cost[b] += IndexCost(t.distance, b);
        }
    }
    if (!any) {
        return;
    }
    unsigned best = indexBase_;
    for (unsigned b = 4; b < cost.size(); ++b) {
        if (cost[b] < cost[best]) {
            best = b;
        }
    }
    if (best != indexBase_ && cost[best] + kIndexBaseChangeCost < cost[indexBase_]) {
        Start();
        bits_.Put(0b000'0000000'01, 12);
        bits_.Put(best, 4); // 4-bit field: bases 1..15
        indexBase_ = best;
    }
}

// Each token's bits (a literal's as the parse priced it: 8 in a stretch of 7-bit literals), the
// last index after it and the next phrase from it on.
void TokenEmitter::PriceTokens(size_t start, const std::vector<Token>& tokens) {
    const size_t n = tokens.size();
    costs_.resize(n);
    lastAfter_.resize(n);
    nextPhrase_.resize(n + 1);
    uint32_t last = lastIndex_;
    size_t pos = start;
    for (size_t i = 0; i < n; ++i) {
        const Token& t = tokens[i];
        if (t.length == 1) {
            costs_[i] = (data_[pos] == 0 || t.distance != 0) ? kZeroOrNearByteCost
                                                             : modes_.EstimatedCost(pos);
        } else {
            costs_[i] = MatchCost(t.distance, t.length, last, indexBase_);
            last = t.distance;
        }
        lastAfter_[i] = last;
        pos += t.length;
    }
    nextPhrase_[n] = n;
    for (size_t i = n; i-- > 0;) {
        nextPhrase_[i] = tokens[i].length > 1 ? i : nextPhrase_[i + 1];
    }
}

// Replaces each stretch of tokens covering exactly 256 bytes that would cost more than a raw
// block by one. A raw block leaves the last index alone, so a stretch is not merged when it
// moves the last index and the next phrase after it reuses that index.
void TokenEmitter::MergeRawBlocks(size_t start, std::vector<Token>& tokens) {
    PriceTokens(start, tokens);
    const size_t n = tokens.size();
    merged_.clear();
    size_t a = 0;
    size_t b = 0;
    size_t bytes = 0;
    uint64_t cost = 0;
    while (a < n) {
        for (; b < n && bytes < kRawBlockSize; ++b) {
            bytes += tokens[b].length;
            cost += costs_[b];
        }
        bool merge = bytes == kRawBlockSize && cost > kRawBlockCost;
        if (merge) {
            const uint32_t before = a == 0 ? lastIndex_ : lastAfter_[a - 1];
            const size_t next = nextPhrase_[b];
            merge = before == lastAfter_[b - 1] || next == n ||
                    tokens[next].distance != lastAfter_[b - 1];
        }
        if (merge) {
            merged_.push_back({static_cast<uint32_t>(kRawBlockSize), kRawBlock});
            a = b;
            bytes = 0;
            cost = 0;
        } else {
            merged_.push_back(tokens[a]);
            bytes -= tokens[a].length;
            cost -= costs_[a];
            ++a;
        }
    }
    tokens.swap(merged_);
}

} // namespace vuni::jcalg1

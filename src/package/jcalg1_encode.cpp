// JCALG1 encoder: a hash-chain or binary-tree match finder feeding a bit-cost optimal parse
// over chunks of the input (or a greedy one for the fast levels), with the literal width chosen
// afterwards over each chunk's literals and the index base for the distances each chunk sends.
#include "package/jcalg1.h"
#include "package/jcalg1_bit_writer.h"
#include "package/jcalg1_costs.h"
#include "package/jcalg1_format.h"
#include "package/jcalg1_literal_modes.h"
#include "package/jcalg1_match_finder.h"
#include "package/jcalg1_optimal_parse.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace vuni {
namespace {

using jcalg1::IndexCost;
using jcalg1::kIndexBaseChangeCost;
using jcalg1::kZeroOrNearByteCost;
using jcalg1::LengthBonus;
using jcalg1::MatchCost;
using jcalg1::Token;

struct LevelParams {
    size_t window;
    unsigned depth;
    bool optimal; // weigh every way through a chunk; else greedy with one look ahead
    bool tree;    // binary-tree match finder rather than hash chains
    jcalg1::ParseSettings parse;
};

// Levels 1 to 3 parse greedily over hash chains: fast, about the size of zlib -9 on single
// script files. 4 to 9 parse by bit cost over binary trees, each deeper than the one before.
constexpr std::array<LevelParams, 9> kLevels = {{
    {size_t{1} << 18, 4, false, false, {1, 32, 0, 0, false}},
    {size_t{1} << 19, 8, false, false, {1, 48, 0, 0, false}},
    {size_t{1} << 20, 16, false, false, {1, 64, 0, 0, false}},
    {size_t{1} << 20, 12, true, true, {1, 48, 4, 16, false}},
    {size_t{1} << 20, 16, true, true, {2, 64, 8, 32, true}},
    {size_t{1} << 20, 24, true, true, {4, 96, 16, 64, true}},
    {size_t{1} << 20, 32, true, true, {6, 128, 40, 128, true}},
    {size_t{1} << 20, 64, true, true, {8, 256, 40, 256, true}},
    {size_t{1} << 20, 128, true, true, {12, 512, 40, 512, true}},
}};

constexpr size_t kChunk = jcalg1::OptimalParse::kChunk;
constexpr uint32_t kRawBlock = 0xFFFFFFFF;          // distance marking a raw block
constexpr uint32_t kRawBlockCost = 8 + 8 * 256 + 1; // header, bytes, end bit
constexpr uint32_t kGreedyByteCost = 8; // what the greedy parse expects a byte to cost alone

class Encoder {
public:
    Encoder(const uint8_t* data, size_t size, const LevelParams& params)
        : data_(data), size_(size), params_(params),
          finder_(data, size, std::min(params.window, std::bit_ceil(std::max<size_t>(size, 2))),
                  params.depth, params.parse.niceLength, params.tree, params.optimal),
          maxDistance_(static_cast<uint32_t>(
              std::min(params.window, std::bit_ceil(std::max<size_t>(size, 2))) - 1)),
          modes_(data, size), bits_(out_) {
        matches_.resize(finder_.MaxMatches());
        if (params.optimal) {
            parse_.emplace(data, size, maxDistance_, finder_, modes_, near_, params.parse);
        }
    }

    std::string Run() {
        out_.assign(jcalg1::kHeaderSize, '\0');
        size_t pos = 0;
        while (pos < size_) {
            pos = params_.optimal ? ParseOptimal(pos) : ParseGreedy(pos);
        }
        bits_.Put(0, 12);
        bits_.Flush();
        auto* header = reinterpret_cast<uint8_t*>(out_.data());
        header[0] = jcalg1::kSignature0;
        header[1] = jcalg1::kSignature1;
        jcalg1::StoreLe32(header + 2, static_cast<uint32_t>(size_));
        jcalg1::StoreLe32(header + 6, jcalg1::Checksum(data_, size_));
        return std::move(out_);
    }

private:
    // Parses a chunk by bit cost and emits it; returns the position after it.
    size_t ParseOptimal(size_t start) {
        tokens_.clear();
        const size_t next = parse_->Run(start, lastIndex_, indexBase_, tokens_);
        EmitTokens(start);
        return next;
    }

    struct Choice {
        Token token;
        int32_t gain; // bits saved against sending the bytes one by one
    };

    // The most profitable phrase at pos for last index last, or a length-0 token.
    Choice BestPhrase(size_t pos, uint32_t last) {
        Choice best{{0, 0}, 0};
        const auto room = static_cast<uint32_t>(std::min(size_ - pos, jcalg1::kMaxMatchLength));
        auto weigh = [&](uint32_t dist, uint32_t len) {
            const uint32_t cost = MatchCost(dist, len, last, indexBase_);
            if (cost != jcalg1::kInfinite) {
                const int32_t gain =
                    static_cast<int32_t>(kGreedyByteCost * len) - static_cast<int32_t>(cost);
                if (gain > best.gain) {
                    best = {{len, dist}, gain};
                }
            }
        };
        if (last <= pos) {
            const auto rep =
                static_cast<uint32_t>(jcalg1::CommonLength(data_ + pos - last, data_ + pos, room));
            if (rep >= 2) {
                weigh(last, rep);
            }
        }
        const size_t found = finder_.Find(pos, matches_.data());
        for (size_t k = 0; k < found; ++k) {
            weigh(matches_[k].distance, matches_[k].length);
            // Close matches longer than a short match can say: try the longest short one too.
            if (matches_[k].distance <= 127 && matches_[k].length > 5) {
                weigh(matches_[k].distance, 5);
            }
        }
        return best;
    }

    // Greedy parse with one position of look-ahead, over one chunk; returns where it stopped.
    size_t ParseGreedy(size_t start) {
        tokens_.clear();
        const size_t end = std::min(size_, start + kChunk);
        uint32_t last = lastIndex_;
        size_t pos = start;
        size_t entered = start; // positions below this are in the finder
        Choice here{{0, 0}, 0};
        bool known = false;
        auto byteToken = [&](size_t p) {
            tokens_.push_back({1, data_[p] == 0 ? 0 : near_.Distance(data_, p)});
            near_.See(data_, p);
        };
        // A look-ahead already made at end is used here: its position is in the finder.
        while (pos < end || known) {
            if (!known) {
                here = BestPhrase(pos, last);
                entered = pos + 1;
            }
            known = false;
            if (here.token.length == 0) {
                byteToken(pos);
                ++pos;
                continue;
            }
            if (here.token.length < params_.parse.niceLength && pos + 1 < size_) {
                const Choice next = BestPhrase(pos + 1, last);
                entered = pos + 2;
                if (next.gain > here.gain + static_cast<int32_t>(kGreedyByteCost) / 2) {
                    byteToken(pos);
                    ++pos;
                    here = next;
                    known = true;
                    continue;
                }
            }
            if (here.token.length >= params_.parse.niceLength) {
                here.token.length = static_cast<uint32_t>(
                    jcalg1::CommonLength(data_ + pos - here.token.distance, data_ + pos,
                                         std::min(size_ - pos, jcalg1::kMaxMatchLength)));
            }
            tokens_.push_back(here.token);
            if (here.token.distance != last) {
                last = here.token.distance;
            }
            for (size_t p = pos; p < pos + here.token.length; ++p) {
                if (p >= entered) {
                    finder_.Skip(p);
                }
                near_.See(data_, p);
            }
            pos += here.token.length;
            entered = std::max(entered, pos);
        }
        EmitTokens(start);
        return pos;
    }

    // Replaces each stretch of tokens covering exactly 256 bytes that would cost more than a
    // raw block by one. A raw block leaves the last index alone, so a stretch is not merged
    // when it moves the last index and the next phrase after it reuses that index.
    void MergeRawBlocks(size_t start) {
        const size_t n = tokens_.size();
        costs_.resize(n);
        lastAfter_.resize(n);
        nextPhrase_.resize(n + 1);
        uint32_t last = lastIndex_;
        size_t pos = start;
        for (size_t i = 0; i < n; ++i) {
            const Token& t = tokens_[i];
            if (t.length == 1) {
                costs_[i] = (data_[pos] == 0 || t.distance != 0) ? kZeroOrNearByteCost : 9;
            } else {
                costs_[i] = MatchCost(t.distance, t.length, last, indexBase_);
                last = t.distance;
            }
            lastAfter_[i] = last;
            pos += t.length;
        }
        nextPhrase_[n] = n;
        for (size_t i = n; i-- > 0;) {
            nextPhrase_[i] = tokens_[i].length > 1 ? i : nextPhrase_[i + 1];
        }
        merged_.clear();
        size_t a = 0;
        size_t b = 0;
        size_t bytes = 0;
        uint64_t cost = 0;
        while (a < n) {
            while (b < n && bytes < jcalg1::kRawBlockSize) {
                bytes += tokens_[b].length;
                cost += costs_[b];
                ++b;
            }
            bool merge = bytes == jcalg1::kRawBlockSize && cost > kRawBlockCost;
            if (merge) {
                const uint32_t before = a == 0 ? lastIndex_ : lastAfter_[a - 1];
                const size_t next = nextPhrase_[b];
                merge = before == lastAfter_[b - 1] || next == n ||
                        tokens_[next].distance != lastAfter_[b - 1];
            }
            if (merge) {
                merged_.push_back({static_cast<uint32_t>(jcalg1::kRawBlockSize), kRawBlock});
                a = b;
                bytes = 0;
                cost = 0;
            } else {
                merged_.push_back(tokens_[a]);
                bytes -= tokens_[a].length;
                cost -= costs_[a];
                ++a;
            }
        }
        tokens_.swap(merged_);
    }

    void EmitTokens(size_t start) {
        ChooseIndexBase();
        MergeRawBlocks(start);
        literals_.clear();
        size_t pos = start;
        for (const Token& t : tokens_) {
            if (t.length == 1 && t.distance == 0 && data_[pos] != 0) {
                literals_.push_back(data_[pos]);
            }
            pos += t.length;
        }
        modes_.Choose(literals_, literalMode_, started_, choice_);

        pos = start;
        size_t lit = 0;
        bool inRaw = false; // a run of raw blocks is open
        for (const Token& t : tokens_) {
            if (t.distance == kRawBlock) {
                if (inRaw) {
                    bits_.Put(1, 1); // another block follows
                } else {
                    Start();
                    bits_.Put(0b001'0000'1, 8);
                    inRaw = true;
                }
                for (size_t i = 0; i < jcalg1::kRawBlockSize; ++i) {
                    bits_.Put(data_[pos + i], 8);
                }
                pos += t.length;
                continue;
            }
            if (inRaw) {
                bits_.Put(0, 1);
                inRaw = false;
            }
            if (t.length == 1) {
                if (data_[pos] == 0) {
                    Start();
                    bits_.Put(0b001'0001, 7);
                } else if (t.distance != 0) {
                    Start();
                    bits_.Put(0b001'0000 | (t.distance + 1), 7);
                } else {
                    SetLiteralMode(choice_[lit++]);
                    bits_.Put(1, 1);
                    bits_.Put(static_cast<uint8_t>(data_[pos] - literalMode_.base),
                              literalMode_.bits);
                }
            } else {
                EmitMatch(t.distance, t.length);
            }
            pos += t.length;
        }
        if (inRaw) {
            bits_.Put(0, 1);
        }
    }

    void Start() {
        if (!started_) {
            SetLiteralMode(jcalg1::LiteralMode{8, 0});
        }
    }

    void SetLiteralMode(jcalg1::LiteralMode mode) {
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

    void EmitMatch(uint32_t dist, uint32_t len) {
        Start();
        if (dist == lastIndex_) {
            bits_.Put(0b01'00, 4);
            bits_.Gamma(len);
            return;
        }
        lastIndex_ = dist;
        if (dist <= 127 && len <= 5) {
            bits_.Put(dist << 2 | (len - 2), 12);
            return;
        }
        const uint32_t high = dist >> indexBase_;
        bits_.Put(0b01, 2);
        bits_.Gamma(high + 3);
        bits_.Put(dist & ((1u << indexBase_) - 1), indexBase_);
        bits_.Gamma(len - LengthBonus(dist));
    }

    // Picks the index base that sends the explicit indexes of the tokens about to be emitted
    // in the fewest bits, and switches to it first when the gain pays for the change. The
    // parse priced them with the base before, which stays a close guess: neighbouring chunks
    // use alike distances.
    void ChooseIndexBase() {
        std::array<uint64_t, 16> cost{};
        uint32_t last = lastIndex_;
        bool any = false;
        for (const Token& t : tokens_) {
            if (t.length < 2 || t.distance == last) {
                continue;
            }
            last = t.distance;
            if (t.distance <= 127 && t.length <= 5) {
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

    const uint8_t* data_;
    size_t size_;
    LevelParams params_;
    jcalg1::MatchFinder finder_;
    uint32_t maxDistance_;
    jcalg1::LiteralModes modes_;
    jcalg1::NearBytes near_;
    std::optional<jcalg1::OptimalParse> parse_;
    std::string out_;
    jcalg1::BitWriter bits_;
    std::vector<jcalg1::Match> matches_;
    std::vector<Token> tokens_;
    std::vector<Token> merged_;
    std::vector<uint32_t> costs_;
    std::vector<uint32_t> lastAfter_;
    std::vector<size_t> nextPhrase_;
    std::vector<uint8_t> literals_;
    std::vector<jcalg1::LiteralMode> choice_;
    jcalg1::LiteralMode literalMode_{8, 0};
    bool started_ = false;
    uint32_t lastIndex_ = jcalg1::kInitialLastIndex;
    unsigned indexBase_ = jcalg1::kInitialIndexBase;
};

// Inputs up to this size are encoded at every level up to the one asked for, and the smallest
// stream is kept: a parse's guesses (literal costs, index base, where a long match is taken)
// can leave a deeper search a few bytes behind a shallower one, and on such inputs every
// level together costs little time. Levels above the default always do so: they are asked for
// the smallest stream, whatever the time.
constexpr size_t kAllLevelsInput = size_t{1} << 17;

std::string EncodeAtLevel(const uint8_t* data, size_t size, int level) {
    // The encoder goes before the lower levels run: each holds window-sized tables.
    std::string out = Encoder(data, size, kLevels[static_cast<size_t>(level - 1)]).Run();
    if (level > 1 && (size <= kAllLevelsInput || level > kJcalg1DefaultLevel)) {
        std::string lower = EncodeAtLevel(data, size, level - 1);
        if (lower.size() < out.size()) {
            out.swap(lower);
        }
    }
    return out;
}

} // namespace

std::string Jcalg1Encode(const uint8_t* data, size_t size, int level) {
    // The match finder keeps positions in 32-bit signed slots.
    if (data == nullptr || size == 0 || static_cast<uint64_t>(size) > 0x7FFFFFFFu) {
        return {};
    }
    return EncodeAtLevel(data, size, std::clamp(level, 1, 9));
}

} // namespace vuni

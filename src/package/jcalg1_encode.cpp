// JCALG1 encoder: a hash-chain or binary-tree match finder feeding a bit-cost optimal parse
// over chunks of the input (or a greedy one for the fast levels), with the literal width chosen
// afterwards over each chunk's literals and the index base for the distances each chunk sends.
#include "package/jcalg1.h"
#include "package/jcalg1_costs.h"
#include "package/jcalg1_emitter.h"
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
constexpr uint32_t kGreedyByteCost = 8; // what the greedy parse expects a byte to cost alone

class Encoder {
public:
    Encoder(const uint8_t* data, size_t size, const LevelParams& params)
        : data_(data), size_(size), params_(params),
          finder_(data, size, std::min(params.window, std::bit_ceil(std::max<size_t>(size, 2))),
                  params.depth, params.parse.niceLength, params.tree, params.optimal),
          maxDistance_(static_cast<uint32_t>(
              std::min(params.window, std::bit_ceil(std::max<size_t>(size, 2))) - 1)),
          modes_(data, size), emitter_(data, modes_, out_) {
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
        emitter_.Finish();
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
        const size_t next = parse_->Run(start, emitter_.LastIndex(), emitter_.IndexBase(), tokens_);
        emitter_.Emit(start, tokens_);
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
            const uint32_t cost = MatchCost(dist, len, last, emitter_.IndexBase());
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
        uint32_t last = emitter_.LastIndex();
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
        emitter_.Emit(start, tokens_);
        return pos;
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
    jcalg1::TokenEmitter emitter_;
    std::vector<jcalg1::Match> matches_;
    std::vector<Token> tokens_;
};

// Inputs up to this size are encoded at every level up to the one asked for, and the smallest
// stream is kept: a parse's guesses (literal costs, index base, where a long match is taken)
// can leave a deeper search a few bytes behind a shallower one, and on such inputs every
// level together costs little time. Levels above the default always do so: they are asked for
// the smallest stream, whatever the time.
constexpr size_t kAllLevelsInput = size_t{1} << 17;

bool Encodable(const uint8_t* data, size_t size) {
    // The match finder keeps positions in 32-bit signed slots.
    return data != nullptr && size != 0 && static_cast<uint64_t>(size) <= 0x7FFFFFFFu;
}

std::string EncodeAtLevel(const uint8_t* data, size_t size, int level) {
    std::string out = jcalg1::EncodeOneLevel(data, size, level);
    if (level > 1 && (size <= kAllLevelsInput || level > kJcalg1DefaultLevel)) {
        std::string lower = EncodeAtLevel(data, size, level - 1);
        if (lower.size() < out.size()) {
            out.swap(lower);
        }
    }
    return out;
}

} // namespace

std::string jcalg1::EncodeOneLevel(const uint8_t* data, size_t size, int level) {
    if (!Encodable(data, size)) {
        return {};
    }
    return Encoder(data, size, kLevels[static_cast<size_t>(std::clamp(level, 1, 9) - 1)]).Run();
}

std::string Jcalg1Encode(const uint8_t* data, size_t size, int level) {
    if (!Encodable(data, size)) {
        return {};
    }
    return EncodeAtLevel(data, size, std::clamp(level, 1, 9));
}

} // namespace vuni

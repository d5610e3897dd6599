#include "package/jcalg1_optimal_parse.h"

#include <algorithm>

namespace vuni::jcalg1 {
namespace {

constexpr size_t kDominanceReach = 8; // positions ahead a position's cost is compared with

// Next length to weigh after len on the way to to: every one up to dense, then only to.
inline uint32_t NextLength(uint32_t len, uint32_t to, uint32_t dense) {
    return (len >= dense && len < to) ? to : len + 1;
}

} // namespace

OptimalParse::OptimalParse(const uint8_t* data, size_t size, uint32_t maxDistance,
                           MatchFinder& finder, const LiteralModes& modes, NearBytes& near,
                           const ParseSettings& settings)
    : data_(data), size_(size), maxDistance_(maxDistance), finder_(finder), modes_(modes),
      near_(near), settings_(settings) {
    settings_.arrivals = std::clamp(settings_.arrivals, 1u, kMaxArrivals);
    const size_t span = std::min(kChunk, size) + 1;
    arrivals_.resize(span * settings_.arrivals);
    counts_.resize(span);
    matches_.resize(finder.MaxMatches());
}

// Keeps a among the cheapest arrivals at chunk position at, at most one per last index,
// sorted by cost; an equal cost keeps the arrival found first.
void OptimalParse::Relax(size_t at, const Arrival& a) {
    const unsigned k = settings_.arrivals;
    Arrival* const list = &arrivals_[at * k];
    unsigned n = counts_[at];
    if (n == k && a.cost >= list[k - 1].cost) {
        return;
    }
    for (unsigned s = 0; s < n; ++s) {
        if (list[s].last == a.last) {
            if (list[s].cost <= a.cost) {
                return;
            }
            std::copy(list + s + 1, list + n, list + s);
            --n;
            break;
        }
    }
    unsigned p = n;
    while (p > 0 && list[p - 1].cost > a.cost) {
        --p;
    }
    if (n == k) {
        --n;
    }
    std::copy_backward(list + p, list + n, list + n + 1);
    list[p] = a;
    counts_[at] = static_cast<uint8_t>(n + 1);
}

// Whether a position just after i, up to the last one reached, already costs no more than
// cost: the way on from i is then unlikely to pay for a search.
bool OptimalParse::Dominated(size_t i, size_t ready, uint32_t cost) const {
    const size_t to = std::min(ready, i + kDominanceReach);
    const unsigned k = settings_.arrivals;
    for (size_t j = i + 1; j <= to; ++j) {
        if (counts_[j] != 0 && arrivals_[j * k].cost <= cost) {
            return true;
        }
    }
    return false;
}

Token OptimalParse::TakeLong(size_t pos, size_t i, size_t found, unsigned indexBase,
                             unsigned& slot) {
    const size_t limit = std::min(size_ - pos, kMaxMatchLength);
    const Arrival* const here = &arrivals_[i * settings_.arrivals];
    const unsigned n = counts_[i];
    Token best{0, 0};
    int64_t bestScore = 0;
    // What a choice saves against sending its bytes at 8 bits each.
    auto weigh = [&](unsigned s, uint32_t dist, size_t len) {
        if (len < 2) {
            return;
        }
        const uint32_t cost = MatchCost(dist, static_cast<uint32_t>(len), here[s].last, indexBase);
        if (cost == kInfinite) {
            return;
        }
        const int64_t score = 8 * static_cast<int64_t>(len) - here[s].cost - cost;
        if (best.length == 0 || score > bestScore) {
            best = {static_cast<uint32_t>(len), dist};
            bestScore = score;
            slot = s;
        }
    };
    for (unsigned s = 0; s < n; ++s) {
        const uint32_t last = here[s].last;
        if (last <= pos) {
            weigh(s, last, CommonLength(data_ + pos - last, data_ + pos, limit));
        }
    }
    if (found != 0) {
        const Match m = matches_[found - 1];
        if (m.distance <= maxDistance_) {
            weigh(0, m.distance, CommonLength(data_ + pos - m.distance, data_ + pos, limit));
        }
    }
    const Match far = finder_.Longest(pos, limit, settings_.longDepth);
    if (far.length != 0 && far.distance <= maxDistance_) {
        weigh(0, far.distance, far.length);
    }
    return best;
}

void OptimalParse::Reach(size_t upto) {
    for (; ready_ < upto; counts_[++ready_] = 0) {
    }
}

// One byte from each arrival at i: a zero, a byte seen up to 14 bytes back, or a literal.
void OptimalParse::RelaxByte(size_t i, size_t pos) {
    const Arrival* const here = &arrivals_[i * settings_.arrivals];
    const uint32_t near = data_[pos] == 0 ? 0 : near_.Distance(data_, pos);
    const uint32_t cost =
        (data_[pos] == 0 || near != 0) ? kZeroOrNearByteCost : modes_.EstimatedCost(pos);
    Reach(i + 1);
    for (unsigned s = 0; s < counts_[i]; ++s) {
        Relax(i + 1, {here[s].cost + cost, here[s].last, 1, near, s});
    }
}

// How far the last index of each arrival at i copies, up to the nice length; the longest.
uint32_t OptimalParse::MeasureRepeats(size_t i, size_t pos) {
    const Arrival* const here = &arrivals_[i * settings_.arrivals];
    const size_t measure = std::min<size_t>(size_ - pos, settings_.niceLength);
    uint32_t longest = 0;
    for (unsigned s = 0; s < counts_[i]; ++s) {
        const uint32_t rep = here[s].last;
        repLength_[s] =
            rep <= pos
                ? static_cast<uint32_t>(CommonLength(data_ + pos - rep, data_ + pos, measure))
                : 0;
        longest = std::max(longest, repLength_[s]);
    }
    return longest;
}

// Each arrival's last index again, for the lengths MeasureRepeats found.
void OptimalParse::RelaxRepeats(size_t i, uint32_t room) {
    const Arrival* const here = &arrivals_[i * settings_.arrivals];
    for (unsigned s = 0; s < counts_[i]; ++s) {
        const uint32_t to = std::min(repLength_[s], room);
        for (uint32_t len = 2; len <= to; len = NextLength(len, to, settings_.denseLengths)) {
            Relax(i + len, {here[s].cost + RepeatCost(len), here[s].last, len, here[s].last, s});
        }
    }
}

// The found matches with explicit indexes, from the cheapest arrival at i: their cost does not
// depend on the way in.
void OptimalParse::RelaxExplicit(size_t i, uint32_t room, size_t found, unsigned indexBase) {
    const Arrival& best = arrivals_[i * settings_.arrivals];
    const uint32_t c = best.cost;
    uint32_t from = 2;
    for (size_t m = 0; m < found; ++m) {
        const Match match = matches_[m];
        const uint32_t to = std::min(match.length, room);
        uint32_t len = from;
        from = match.length + 1;
        if (match.distance > maxDistance_ || match.distance == best.last) {
            continue;
        }
        if (match.distance <= kMaxShortDistance) {
            for (; len <= std::min(to, kMaxShortLength); ++len) {
                Relax(i + len, {c + kShortMatchCost, match.distance, len, match.distance, 0});
            }
        }
        const uint32_t bonus = LengthBonus(match.distance);
        const uint32_t index = c + IndexCost(match.distance, indexBase);
        for (len = std::max(len, bonus + 2); len <= to;
             len = NextLength(len, to, settings_.denseLengths)) {
            Relax(i + len,
                  {index + GammaBits(len - bonus), match.distance, len, match.distance, 0});
        }
    }
}

// Appends the cheapest way to arrival slot of chunk position stop.
void OptimalParse::Backtrack(size_t stop, unsigned slot, std::vector<Token>& tokens) {
    path_.clear();
    for (size_t i = stop, s = slot; i > 0;) {
        const Arrival& a = arrivals_[i * settings_.arrivals + s];
        path_.push_back({a.length, a.distance});
        s = a.from;
        i -= a.length;
    }
    tokens.insert(tokens.end(), path_.rbegin(), path_.rend());
}

// Enters the positions a long match taken at pos covers.
void OptimalParse::Cover(size_t pos, uint32_t length) {
    for (size_t p = pos + 1; p < pos + length; ++p) {
        if (settings_.treeCovered) {
            finder_.Skip(p);
        } else {
            finder_.SkipCovered(p);
        }
        near_.See(data_, p);
    }
}

size_t OptimalParse::Run(size_t start, uint32_t last, unsigned indexBase,
                         std::vector<Token>& tokens) {
    const size_t span = std::min(size_ - start, kChunk);
    counts_[0] = 1;
    arrivals_[0] = {0, last, 0, 0, 0};
    ready_ = 0;
    for (size_t i = 0; i < span; ++i) {
        const size_t pos = start + i;
        const auto room = static_cast<uint32_t>(std::min<size_t>(span - i, kMaxMatchLength));
        RelaxByte(i, pos);
        size_t found = 0;
        if (Dominated(i, ready_, arrivals_[i * settings_.arrivals].cost)) {
            finder_.Skip(pos);
        } else {
            found = finder_.Find(pos, matches_.data());
        }
        near_.See(data_, pos);

        uint32_t longest = MeasureRepeats(i, pos);
        if (found != 0) {
            longest = std::max(longest, matches_[found - 1].length);
        }
        if (longest >= settings_.niceLength) {
            unsigned slot = 0;
            const Token jump = TakeLong(pos, i, found, indexBase, slot);
            if (jump.length != 0) {
                Backtrack(i, slot, tokens);
                tokens.push_back(jump);
                Cover(pos, jump.length);
                return pos + jump.length;
            }
        }
        Reach(i + std::min(longest, room));
        RelaxRepeats(i, room);
        RelaxExplicit(i, room, found, indexBase);
    }
    Backtrack(span, 0, tokens);
    return start + span;
}

} // namespace vuni::jcalg1

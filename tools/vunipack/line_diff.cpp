#include "line_diff.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vuni::pack {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

enum class Op : char { Same = ' ', Removed = '-', Added = '+' };

// The edit script between a and b, shortest first (Myers' greedy walk over diagonals: time
// and memory grow with the number of changed lines, not with the file's length, so that a
// default script of 20,000 lines with a few merged blocks is quick). Past kMaxEdits changes
// the rest is given as all removed, then all added.
constexpr long kMaxEdits = 2000; // the walk keeps about kMaxEdits^2 numbers

std::vector<Op> EditScript(const std::vector<std::string_view>& a,
                           const std::vector<std::string_view>& b) {
    const auto n = static_cast<long>(a.size());
    const auto m = static_cast<long>(b.size());
    const long offset = std::min(n + m, kMaxEdits) + 1;
    std::vector<long> v(static_cast<size_t>(2 * offset + 1), 0);
    std::vector<std::vector<long>> trace;
    long found = -1;
    for (long d = 0; d <= n + m && d <= kMaxEdits && found < 0; ++d) {
        // The diagonals -d-1 to d+1 of the step before, which the walk back reads.
        trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
        for (long k = -d; k <= d; k += 2) {
            const auto at = [&](long diagonal) { return static_cast<size_t>(diagonal + offset); };
            long x = (k == -d || (k != d && v[at(k - 1)] < v[at(k + 1)])) ? v[at(k + 1)]
                                                                          : v[at(k - 1)] + 1;
            long y = x - k;
            while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) {
                ++x;
                ++y;
            }
            v[at(k)] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) {
        std::vector<Op> ops(static_cast<size_t>(n), Op::Removed);
        ops.insert(ops.end(), static_cast<size_t>(m), Op::Added);
        return ops;
    }
    // Back from the end: each step of d came from one diagonal, after a run of same lines.
    std::vector<Op> reversed;
    long x = n;
    long y = m;
    for (long d = found; d > 0; --d) {
        const std::vector<long>& before = trace[static_cast<size_t>(d)];
        const auto at = [d](long diagonal) { return static_cast<size_t>(diagonal + d + 1); };
        const long k = x - y;
        const bool down = k == -d || (k != d && before[at(k - 1)] < before[at(k + 1)]);
        const long previousK = down ? k + 1 : k - 1;
        const long previousX = before[at(previousK)];
        const long previousY = previousX - previousK;
        while (x > previousX + (down ? 0 : 1) && y > previousY + (down ? 1 : 0)) {
            reversed.push_back(Op::Same);
            --x;
            --y;
        }
        reversed.push_back(down ? Op::Added : Op::Removed);
        x = previousX;
        y = previousY;
    }
    reversed.insert(reversed.end(), static_cast<size_t>(x), Op::Same);
    return {reversed.rbegin(), reversed.rend()};
}

std::string Range(size_t start, size_t count) {
    return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

} // namespace

std::string UnifiedDiff(std::string_view before, std::string_view after,
                        const std::string& beforeName, const std::string& afterName, int context) {
    const std::vector<std::string_view> a = Lines(before);
    const std::vector<std::string_view> b = Lines(after);
    const std::vector<Op> ops = EditScript(a, b);
    const auto reach = static_cast<size_t>(std::max(context, 0));
    std::string out;
    size_t k = 0;
    size_t ia = 0; // lines of a and b before ops[k]
    size_t ib = 0;
    while (k < ops.size()) {
        if (ops[k] == Op::Same) {
            ++k;
            ++ia;
            ++ib;
            continue;
        }
        // A hunk: back up over the context, then run until 2 * context same lines in a row.
        const size_t back = std::min({reach, ia, k});
        size_t start = k - back;
        size_t end = k;
        for (size_t same = 0; end < ops.size() && same <= 2 * reach; ++end) {
            same = ops[end] == Op::Same ? same + 1 : 0;
        }
        // The same lines beyond the context after the last change are not the hunk's.
        size_t trailing = 0;
        while (end > k && ops[end - 1] == Op::Same) {
            ++trailing;
            --end;
        }
        end = std::min(ops.size(), end + std::min(trailing, reach));
        size_t la = ia - back;
        size_t lb = ib - back;
        std::string body;
        size_t countA = 0;
        size_t countB = 0;
        for (size_t e = start; e < end; ++e) {
            const Op op = ops[e];
            const std::string_view line = op == Op::Added ? b[lb + countB] : a[la + countA];
            body += static_cast<char>(op);
            body.append(line);
            body += '\n';
            countA += op != Op::Added ? 1 : 0;
            countB += op != Op::Removed ? 1 : 0;
        }
        if (out.empty()) {
            out = "--- " + beforeName + "\n+++ " + afterName + "\n";
        }
        out += "@@ -" + Range(la, countA) + " +" + Range(lb, countB) + " @@\n" + body;
        ia = la + countA;
        ib = lb + countB;
        k = end;
    }
    return out;
}

} // namespace vuni::pack

// Plain search kernels against a byte-by-byte comparison, in both directions, exact and
// folded, over ranges of every length around the kernels' block sizes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/core/pattern.h"
#include "editor/core/plain_search.h"

namespace {

DWORD Naive(const std::string& text, DWORD first, DWORD last, const PlainPattern& p,
            bool backward) {
    auto matchesAt = [&](DWORD at) {
        for (DWORD k = 0; k < p.length; ++k) {
            char c = p.matchCase ? text[at + k] : FoldCase(text[at + k]);
            if (c != p.text[k]) {
                return false;
            }
        }
        return true;
    };
    if (!backward) {
        for (DWORD at = first; at <= last; ++at) {
            if (matchesAt(at)) {
                return at;
            }
        }
    } else {
        for (DWORD at = last + 1; at-- > first;) {
            if (matchesAt(at)) {
                return at;
            }
        }
    }
    return PLAIN_NOT_FOUND;
}

std::vector<SearchKernel> RunnableKernels() {
    std::vector<SearchKernel> kernels;
    for (SearchKernel kernel : {SearchKernel::Portable, SearchKernel::Avx2}) {
        if (SelectSearchKernel(kernel)) {
            kernels.push_back(kernel);
        }
    }
    return kernels;
}

class KernelRestorer {
public:
    ~KernelRestorer() { SelectSearchKernel(saved_); }

private:
    SearchKernel saved_ = ActiveSearchKernel();
};

// Letters in both cases and the bytes one bit 0x20 away from letters ('@' and '`', '[' and
// '{'), which a careless fold would confuse.
TEST(PlainSearch, EveryKernelFindsWhatAComparisonFinds) {
    KernelRestorer restore;
    std::mt19937 random(5);
    const char alphabet[] = "abAB@`[{q";
    for (int round = 0; round < 4000; ++round) {
        std::string text(random() % 100, ' ');
        for (char& c : text) {
            c = alphabet[random() % 9];
        }
        std::string source(1 + random() % 4, ' ');
        for (char& c : source) {
            c = alphabet[random() % 9];
        }
        PlainPattern pattern;
        PreparePlainPattern(source.c_str(), random() % 2 == 0, pattern);
        if (text.size() < pattern.length) {
            continue;
        }
        DWORD last = static_cast<DWORD>(text.size()) - pattern.length;
        DWORD first = static_cast<DWORD>(random() % (last + 1));
        for (SearchKernel kernel : RunnableKernels()) {
            SelectSearchKernel(kernel);
            for (bool backward : {false, true}) {
                DWORD got = backward ? FindPlainBackward(text.data(), first, last, pattern)
                                     : FindPlainForward(text.data(), first, last, pattern);
                ASSERT_EQ(got, Naive(text, first, last, pattern, backward))
                    << SearchKernelName(kernel) << " '" << source << "' in '" << text << "' from "
                    << first << " to " << last << (backward ? " backward" : "");
            }
        }
    }
}

// Loads stay within the range's text: the text ends where an inaccessible page would begin,
// at every length, so a kernel reading past it would be caught by the address sanitizer.
TEST(PlainSearch, FindsMatchesAtBothEndsOfEveryRangeLength) {
    KernelRestorer restore;
    for (SearchKernel kernel : RunnableKernels()) {
        SelectSearchKernel(kernel);
        for (DWORD n = 6; n < 130; ++n) {
            std::string text(n, 'e');
            text.replace(0, 3, "Xyz");
            text.replace(n - 3, 3, "xYz");
            std::vector<char> exact(text.begin(), text.end());
            PlainPattern folded;
            PreparePlainPattern("XYZ", false, folded);
            DWORD last = n - 3;
            EXPECT_EQ(FindPlainForward(exact.data(), 0, last, folded), 0u) << n;
            EXPECT_EQ(FindPlainBackward(exact.data(), 0, last, folded), last) << n;
            EXPECT_EQ(FindPlainForward(exact.data(), 1, last, folded), last) << n;
            EXPECT_EQ(FindPlainBackward(exact.data(), 0, last - 1, folded), 0u) << n;
            PlainPattern caseMatters;
            PreparePlainPattern("xYz", true, caseMatters);
            EXPECT_EQ(FindPlainForward(exact.data(), 0, last, caseMatters), last) << n;
        }
    }
}

}  // namespace

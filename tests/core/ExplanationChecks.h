#pragma once

#include "core/Explanation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace tv::test {

// Equal, or both not a number.
inline bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The properties every explanation has: the contributions of a node's children add up to
// its change (to 1e-9 of the magnitudes involved), an input that did not change contributes exactly
// 0, and the children stand in order of the size of their contribution.
inline void CheckExplanation(const ExplanationNode& node, const std::string& where) {
    if (node.children.empty()) return;
    double sum = 0, magnitude = std::max(std::fabs(node.oldValue), std::fabs(node.newValue));
    for (const ExplanationNode& c : node.children) {
        sum += c.contribution;
        magnitude += std::fabs(c.contribution);
        if (c.kind != ExplanationNode::Remainder &&
            (c.oldValue == c.newValue || (std::isnan(c.oldValue) && std::isnan(c.newValue)))) {
            EXPECT_EQ(c.contribution, 0.0) << where << " variable " << node.number;
        }
        CheckExplanation(c, where);
    }
    if (std::isfinite(node.change) && std::isfinite(sum)) {
        // Relative to the numbers that add up: a zero change may be the sum of large parts.
        EXPECT_NEAR(sum, node.change, 1e-9 * magnitude) << where << " variable " << node.number;
    }
    auto size = [](const ExplanationNode& n) {
        return std::isnan(n.contribution) ? HUGE_VAL : std::fabs(n.contribution);
    };
    for (size_t k = 1; k < node.children.size(); ++k)
        EXPECT_GE(size(node.children[k - 1]), size(node.children[k])) << where;
}

} // namespace tv::test

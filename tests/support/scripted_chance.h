// A source of chance for the hint that hands out scripted uniforms.
#pragma once

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <vector>

#include "game/hint.h"

namespace testing_support {

class ScriptedChance final : public game::Chance {
public:
    explicit ScriptedChance(std::deque<double> values) : values_(std::move(values)) {}
    void seed(std::uint32_t value) override { seeds_.push_back(value); }
    double uniform() override {
        if (values_.empty()) throw std::logic_error("the scripted chance ran out");
        const double u = values_.front();
        values_.pop_front();
        return u;
    }
    std::size_t left() const noexcept { return values_.size(); }
    const std::vector<std::uint32_t>& seeds() const noexcept { return seeds_; }

private:
    std::deque<double> values_;
    std::vector<std::uint32_t> seeds_;
};

}  // namespace testing_support

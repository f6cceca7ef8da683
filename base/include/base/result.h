// A value or the Problem that kept it from being made: never both, never neither.
#pragma once

#include <type_traits>
#include <utility>
#include <variant>

#include "base/problem.h"

namespace zorbalin {

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
    Result(Problem problem) : state_(std::in_place_index<1>, std::move(problem)) {}  // NOLINT

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Problem& problem() const { return std::get<1>(state_); }
    Problem&& takeProblem() { return std::get<1>(std::move(state_)); }

private:
    std::variant<T, Problem> state_;
};

// Success without a value.
struct Done {
    friend bool operator==(Done, Done) = default;
};
using Status = Result<Done>;
inline Status done() { return Done{}; }

}  // namespace zorbalin

// Exceptions as the window meets them: a problem thrown where it cannot be returned (a
// constructor, a platform callback), and the one rule that turns whatever a handler threw
// into the problem the user is told of.
#pragma once

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "base/problem.h"

namespace zorbalin {

class ProblemError : public std::exception {
public:
    explicit ProblemError(Problem problem) : problem_(std::move(problem)) {}
    const Problem& problem() const noexcept { return problem_; }
    const char* what() const noexcept override { return "zorbalin::ProblemError"; }

private:
    Problem problem_;
};

// An exception's own text, for the brackets of a message: it is narrow text of no known
// encoding, so ASCII is kept and every other byte becomes '?'.
inline std::u16string exceptionText(const std::exception& exception) {
    std::u16string text;
    for (const char* c = exception.what(); *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        text += byte < 0x80 ? static_cast<char16_t>(byte) : u'?';
    }
    return text;
}

// What a handler that threw tells the user: its problem, out of memory, or an internal failure
// with the exception's text. Call it inside a catch block.
inline Problem problemOfCurrentException() noexcept {
    try {
        throw;
    } catch (const ProblemError& error) {
        try {
            return error.problem();
        } catch (...) {
            return problemOf(ProblemCode::OutOfMemory);
        }
    } catch (const std::bad_alloc&) {
        return problemOf(ProblemCode::OutOfMemory);
    } catch (const std::exception& exception) {
        try {
            return problemOf(ProblemCode::Internal, exceptionText(exception));
        } catch (...) {
            return problemOf(ProblemCode::OutOfMemory);
        }
    } catch (...) {
        return problemOf(ProblemCode::Internal);
    }
}

}  // namespace zorbalin

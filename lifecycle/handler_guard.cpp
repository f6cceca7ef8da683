#include "lifecycle/handler_guard.h"

#include <exception>
#include <new>
#include <string_view>
#include <utility>

namespace zorbalin::lifecycle {

namespace {

// An exception's text is ASCII in practice; anything else is shown byte by byte as Latin-1
// rather than risk a second failure while reporting the first.
std::u16string widened(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

}  // namespace

Problem problemOfCurrentException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return problemOf(ProblemCode::OutOfMemory);
    } catch (const std::exception& exception) {
        try {
            return problemOf(ProblemCode::Internal, widened(exception.what()));
        } catch (...) {
            return problemOf(ProblemCode::OutOfMemory);
        }
    } catch (...) {
        return problemOf(ProblemCode::Internal);
    }
}

}  // namespace zorbalin::lifecycle

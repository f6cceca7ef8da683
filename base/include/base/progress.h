// Long work tells how far it has come, so that the window can show that it is busy and how
// much is left. The shared code reports; each front end shows it.
#pragma once

#include <cstdint>

namespace zorbalin {

enum class ProgressStage { Reading, Decoding, Tidying, Loading, Writing };

class Progress {
public:
    virtual ~Progress() = default;
    // `done` of `total` units (bytes, characters) of the stage; total 0 means unknown.
    // Called often: an implementation shows at most a few updates a second.
    virtual void report(ProgressStage stage, std::uint64_t done, std::uint64_t total) = 0;
};

// For callers that show nothing.
class NoProgress final : public Progress {
public:
    void report(ProgressStage, std::uint64_t, std::uint64_t) override {}
};

}  // namespace zorbalin

#include "same_file.h"

namespace zorbalin::files {

Problem lookupFailure(Problem found) {
    if (found.cause == SystemCause::NotFound) return problemOf(ProblemCode::ChangedSinceRead);
    return withCode(std::move(found), ProblemCode::WriteFailed);
}

Result<FileFacts> nameLeadsTo(Folder& folder, std::u16string_view name, const FileStamp& stamp) {
    Result<FileFacts> facts = folder.factsOf(name);
    if (!facts) return lookupFailure(facts.takeProblem());
    if (facts->kind != FileKind::RegularFile || facts->stamp != stamp) {
        return problemOf(ProblemCode::ChangedSinceRead);
    }
    return facts;
}

}  // namespace zorbalin::files

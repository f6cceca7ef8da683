// Candidate lists of a given size for the benchmarks: names of varying length, as a class
// or a customer list would hold them.
#pragma once

#include <QString>

#include <string>

namespace zorbalin::bench {

enum class ListShape {
    Tidy,            // one candidate per line, no line break at the end
    FewBlankRuns,    // a run of blank lines in the middle and a line break at the end
    BlankLineEvery,  // an empty line after every candidate: every break changes
};

// The candidate text with CR LF between lines.
std::u16string candidateText(int lines, ListShape shape);

// The same text as a user would paste it into an editor: LF between lines.
QString pastedText(const std::u16string& crlfText);

// What tidying leaves of a list of that shape: the candidates, one per line.
inline std::u16string tidiedText(int lines) { return candidateText(lines, ListShape::Tidy); }

// Writes the list as a UTF-8 file, every line ended by CR LF as editors save it.
// Returns false when the file cannot be written.
bool writeCandidateFile(const QString& path, int lines);

}  // namespace zorbalin::bench

// Splits the common-dialog filter text into its pairs.
#include "dialogs/open_file_dialog.h"

namespace zorbalin::dialogs {

std::vector<FilterPair> parseCommonDialogFilter(std::u16string_view filter) {
    std::vector<std::u16string_view> parts;
    for (std::size_t start = 0; start <= filter.size();) {
        const std::size_t nul = filter.find(u'\0', start);
        const std::size_t end = nul == std::u16string_view::npos ? filter.size() : nul;
        parts.push_back(filter.substr(start, end - start));
        if (nul == std::u16string_view::npos) break;
        start = nul + 1;
    }
    std::vector<FilterPair> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty()) {
            break;  // an empty entry ends the list, as the double NUL does
        }
        pairs.push_back({std::u16string(parts[i]), std::u16string(parts[i + 1])});
    }
    return pairs;
}

}  // namespace zorbalin::dialogs

// Turns the common-dialog filter text into Qt name filters.
#include "dialogs/open_file_dialog.h"

namespace zorbalin::dialogs {
namespace {

// In the common dialog "*.*" matches every name, with or without a dot; Qt would read it
// literally and hide names without a dot.
QString qtPattern(const QString& pattern) {
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
}

// "*.txt;*.log" -> "*.txt *.log": Qt separates the patterns of one filter by blanks.
QString qtPatterns(const QString& commonDialogPattern) {
    QStringList patterns;
    for (const QString& part : commonDialogPattern.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty()) {
            patterns.append(qtPattern(trimmed));
        }
    }
    return patterns.join(u' ');
}

}  // namespace

QStringList nameFiltersFromCommonDialogFilter(const QString& filter) {
    const QStringList parts = filter.split(QChar(u'\0'));
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = qtPatterns(parts[i + 1]);
        if (description.isEmpty() || patterns.isEmpty()) {
            break;  // an empty entry ends the list, as the double NUL does
        }
        nameFilters.append(description + QStringLiteral(" (") + patterns + u')');
    }
    return nameFilters;
}

}  // namespace zorbalin::dialogs

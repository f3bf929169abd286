#include "app/FileFilter.h"

namespace velluma {

QStringList QtFileFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == "*.*") pattern = "*";
    }
    filters.append(parts[i] + " (" + patterns.join(' ') + ")");
  }
  return filters;
}

}  // namespace velluma

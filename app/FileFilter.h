#pragma once

#include <QStringList>
#include <string>

namespace velluma {

// The dialogs' filters are given as "Description|patterns|Description|patterns" (patterns
// separated by ';'); Qt wants one "Description (patterns)" per entry. "*.*" means every file, as
// it does on the operator's Windows stations, also files without an extension.
QStringList QtFileFilters(const std::string& filter);

}  // namespace velluma

#pragma once

#include "store/AlertTable.h"

#include <filesystem>

namespace zento::bench {

/// Loads the table the way the original platform calls cost: the section names listed once,
/// then each of the ten values of each alert fetched by scanning the file text from its start.
/// Kept only as the yardstick the real loader is measured against.
AlertTable referenceLoadAllAlerts(const std::filesystem::path& iniPath);

} // namespace zento::bench

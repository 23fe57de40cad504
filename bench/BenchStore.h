#pragma once

#include <filesystem>

namespace zento::bench {

/// Writes a store of `n` alerts, all due in `year` (so nothing falls due while a run lasts when
/// the year lies ahead), with the defaults section first, as the program would have saved it.
/// False when the file could not be written.
bool writeStore(const std::filesystem::path& path, int n, int year = 2027);

/// A store of `n` alerts in a private folder of this process, written once per size.
std::filesystem::path storeOf(int n);

/// The private folder of this process; removed by removeBenchFolder().
std::filesystem::path benchFolder();
void removeBenchFolder();

} // namespace zento::bench

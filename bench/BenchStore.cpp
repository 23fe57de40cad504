#include "BenchStore.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

namespace zento::bench {

namespace fs = std::filesystem;

bool writeStore(const fs::path& path, int n, int year) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[Param]\r\nNb=" << n << "\r\nFond=\r\nPolice=\r\nImg=5\r\n";
    for (int id = 1; id <= n; ++id) {
        out << "[Alerte" << id << "]\r\n"
            << "Info1=Rendez-vous numéro " << id << " chez le dentiste\r\n"
            << "Info2=" << (id % 28 + 1 < 10 ? "0" : "") << id % 28 + 1 << "/0" << id % 9 + 1 << '/' << year
            << "\r\n"
            << "Info3=" << id % 9 << "\r\nInfo4=" << id % 16 << "\r\nInfo5=Defaut.wav\r\n"
            << "Info6=8438015\r\nInfo7=0\r\nInfo8=09:30\r\nInfo9=0\r\nInfo10=\r\n";
    }
    out.close();
    return !out.fail();
}

fs::path benchFolder() {
    return fs::temp_directory_path() / ("zento-bench-" + std::to_string(::getpid()));
}

fs::path storeOf(int n) {
    const fs::path dir = benchFolder();
    fs::create_directories(dir);
    const fs::path path = dir / ("Alertes-" + std::to_string(n) + ".ini");
    if (!fs::exists(path) && !writeStore(path, n))
        throw std::runtime_error("cannot write " + path.string());
    return path;
}

void removeBenchFolder() {
    std::error_code ec;
    fs::remove_all(benchFolder(), ec);
}

} // namespace zento::bench

// Every #include of src/ goes to the including file's layer or one below, and no two folders
// depend on each other, even through others. (The core cannot include Qt: its build has no Qt.)
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Layering {
    std::vector<std::string> order;             ///< lowest first
    std::map<std::string, std::string> layerOf; ///< "folder/Name" -> layer
};

/// The layers file CMake writes: the order on the first line, then "folder/Name layer" lines.
Layering readLayering(const fs::path& file) {
    Layering l;
    std::ifstream in(file);
    std::string line, stem, layer;
    std::getline(in, line);
    std::istringstream order(line);
    while (order >> layer)
        l.order.push_back(layer);
    while (in >> stem >> layer)
        l.layerOf[stem] = layer;
    return l;
}

std::string stemOf(const fs::path& relative) {
    return (relative.parent_path() / relative.stem()).generic_string();
}

std::string folderOf(const std::string& stem) {
    return stem.substr(0, stem.find('/'));
}

/// What breaks the rules in the tree under `src`, one line each.
std::string checkLayers(const fs::path& src, const Layering& l) {
    std::string findings;
    const auto rank = [&](const std::string& layer) {
        return std::find(l.order.begin(), l.order.end(), layer);
    };
    const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::map<std::string, std::set<std::string>> folderEdges;
    for (const auto& e : fs::recursive_directory_iterator(src)) {
        const fs::path file = fs::relative(e.path(), src);
        if (!e.is_regular_file() || (file.extension() != ".h" && file.extension() != ".cpp"))
            continue;
        const std::string stem = stemOf(file);
        const auto own = l.layerOf.find(stem);
        if (own == l.layerOf.end()) {
            findings += file.generic_string() + " has no layer\n";
            continue;
        }
        std::ifstream in(e.path());
        std::smatch m;
        for (std::string line; std::getline(in, line);) {
            if (!std::regex_search(line, m, quoted))
                continue;
            const std::string target = stemOf(fs::path(m[1].str()));
            const auto theirs = l.layerOf.find(target);
            if (theirs == l.layerOf.end())
                findings += file.generic_string() + " includes " + m[1].str() + ", which has no layer\n";
            else if (rank(theirs->second) > rank(own->second))
                findings += file.generic_string() + " (" + own->second + ") includes " + m[1].str() + " (" +
                            theirs->second + ")\n";
            if (folderOf(target) != folderOf(stem))
                folderEdges[folderOf(stem)].insert(folderOf(target));
        }
    }
    // Each folder's reach, grown until nothing is added: a folder that reaches itself is in a cycle.
    for (bool grown = true; grown;) {
        grown = false;
        for (auto& [folder, reach] : folderEdges)
            for (const std::string& next : std::set<std::string>(reach))
                for (const std::string& further : folderEdges[next])
                    grown |= reach.insert(further).second;
    }
    for (const auto& [folder, reach] : folderEdges)
        if (reach.count(folder))
            findings += "folder " + folder + " includes itself through others\n";
    return findings;
}

} // namespace

TEST(Layers, TheProgramsIncludesGoDownAndMakeNoCycle) {
    const Layering l = readLayering(ZENTO_LAYERS_FILE);
    ASSERT_EQ(l.order, (std::vector<std::string>{"core", "qt", "windows", "app"}));
    ASSERT_GT(l.layerOf.size(), 50u);
    EXPECT_EQ(checkLayers(ZENTO_SOURCE_DIR, l), "");
}

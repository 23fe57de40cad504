// Every #include of src/ goes to the including file's layer or one below, and no two folders
// depend on each other, even through others. (The core cannot include Qt: its build has no Qt.)
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(Layers, TheProgramsIncludesGoDownAndMakeNoCycle) {
    // The layers file CMake writes: the order, lowest first, then "folder/Name layer" lines.
    std::ifstream layers(ZENTO_LAYERS_FILE);
    std::string line, stem, layer;
    std::getline(layers, line);
    ASSERT_EQ(line, "core qt windows app");
    const std::vector<std::string> order{"core", "qt", "windows", "app"};
    std::map<std::string, std::string> layerOf;
    while (layers >> stem >> layer)
        layerOf[stem] = layer;
    ASSERT_GT(layerOf.size(), 50u);
    const auto rank = [&](const std::string& l) { return std::find(order.begin(), order.end(), l); };
    const auto stemOf = [](const fs::path& p) { return (p.parent_path() / p.stem()).generic_string(); };
    const auto folderOf = [](const std::string& s) { return s.substr(0, s.find('/')); };

    std::string findings;
    const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::map<std::string, std::set<std::string>> reach; ///< folder -> the folders it includes
    for (const auto& e : fs::recursive_directory_iterator(ZENTO_SOURCE_DIR)) {
        const fs::path file = fs::relative(e.path(), ZENTO_SOURCE_DIR);
        const std::string own = stemOf(file), name = file.generic_string();
        if (!e.is_regular_file() || (file.extension() != ".h" && file.extension() != ".cpp"))
            continue;
        if (!layerOf.count(own)) {
            findings += name + " has no layer\n";
            continue;
        }
        std::ifstream in(e.path());
        std::smatch m;
        for (std::string text; std::getline(in, text);) {
            if (!std::regex_search(text, m, quoted))
                continue;
            const std::string target = stemOf(fs::path(m[1].str()));
            if (!layerOf.count(target))
                findings += name + " includes " + m[1].str() + ", which has no layer\n";
            else if (rank(layerOf[target]) > rank(layerOf[own]))
                findings +=
                    name + " (" + layerOf[own] + ") includes " + m[1].str() + " (" + layerOf[target] + ")\n";
            if (folderOf(target) != folderOf(own))
                reach[folderOf(own)].insert(folderOf(target));
        }
    }
    // Each folder's reach, grown until nothing is added: a folder that reaches itself is in a cycle.
    for (bool grown = true; grown;) {
        grown = false;
        for (auto& [folder, r] : reach)
            for (const std::string& next : std::set<std::string>(r))
                for (const std::string& further : reach[next])
                    grown |= r.insert(further).second;
    }
    for (const auto& [folder, r] : reach)
        if (r.count(folder))
            findings += "folder " + folder + " includes itself through others\n";
    EXPECT_EQ(findings, "");
}

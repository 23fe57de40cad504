// Every #include of src/ goes to the including file's layer or one below, core files include no
// Qt header, and no two folders depend on each other, even through others.
#include "support/TestEnvironment.h"

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
    std::vector<std::string> order;              ///< lowest first
    std::map<std::string, std::string> layerOf;  ///< "folder/Name" -> layer
};

/// The layers file CMake writes: the order on the first line, then "folder/Name layer" lines.
Layering readLayering(const fs::path& file) {
    Layering l;
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    std::istringstream order(line);
    for (std::string layer; order >> layer;)
        l.order.push_back(layer);
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string stem, layer;
        if (words >> stem >> layer)
            l.layerOf[stem] = layer;
    }
    return l;
}

std::string stemOf(const fs::path& relative) {
    return (relative.parent_path() / relative.stem()).generic_string();
}

std::string folderOf(const std::string& stem) {
    return stem.substr(0, stem.find('/'));
}

/// A cycle among folders as "a -> b -> a", or "" when there is none.
std::string findCycle(const std::map<std::string, std::set<std::string>>& edges) {
    std::map<std::string, int> state; // 0 unseen, 1 on the path, 2 done
    std::vector<std::string> path;
    std::string found;
    std::function<bool(const std::string&)> visit = [&](const std::string& f) {
        state[f] = 1;
        path.push_back(f);
        if (const auto it = edges.find(f); it != edges.end())
            for (const std::string& next : it->second) {
                if (state[next] == 1) {
                    const auto from = std::find(path.begin(), path.end(), next);
                    for (auto p = from; p != path.end(); ++p)
                        found += *p + " -> ";
                    found += next;
                    return true;
                }
                if (state[next] == 0 && visit(next))
                    return true;
            }
        path.pop_back();
        state[f] = 2;
        return false;
    };
    for (const auto& [folder, targets] : edges)
        if (state[folder] == 0 && visit(folder))
            return found;
    return {};
}

/// What breaks the rules in the tree under `src`, one line each.
std::vector<std::string> checkLayers(const fs::path& src, const Layering& l) {
    std::vector<std::string> findings;
    const auto rank = [&](const std::string& layer) {
        return std::find(l.order.begin(), l.order.end(), layer) - l.order.begin();
    };
    const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    const std::regex qt(R"(^\s*#\s*include\s*<(Q|qt)[^>]*>)");
    std::map<std::string, std::set<std::string>> folderEdges;
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(src))
        if (e.is_regular_file() && (e.path().extension() == ".h" || e.path().extension() == ".cpp"))
            files.push_back(fs::relative(e.path(), src));
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string stem = stemOf(file);
        const auto own = l.layerOf.find(stem);
        if (own == l.layerOf.end()) {
            findings.push_back(file.generic_string() + " has no layer");
            continue;
        }
        std::ifstream in(src / file);
        std::smatch m;
        for (std::string line; std::getline(in, line);) {
            if (own->second == l.order.front() && std::regex_search(line, qt))
                findings.push_back(file.generic_string() + " is core and includes Qt: " + line);
            if (!std::regex_search(line, m, quoted))
                continue;
            const std::string target = stemOf(fs::path(m[1].str()));
            const auto theirs = l.layerOf.find(target);
            if (theirs == l.layerOf.end()) {
                findings.push_back(file.generic_string() + " includes " + m[1].str() + ", which has no layer");
                continue;
            }
            if (rank(theirs->second) > rank(own->second))
                findings.push_back(file.generic_string() + " (" + own->second + ") includes " + m[1].str() +
                                   " (" + theirs->second + ")");
            if (folderOf(target) != folderOf(stem))
                folderEdges[folderOf(stem)].insert(folderOf(target));
        }
    }
    if (const std::string cycle = findCycle(folderEdges); !cycle.empty())
        findings.push_back("folders include each other: " + cycle);
    return findings;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + '\n';
    return out;
}

} // namespace

TEST(Layers, TheProgramsIncludesGoDownAndMakeNoCycle) {
    const Layering l = readLayering(ZENTO_LAYERS_FILE);
    ASSERT_EQ(l.order, (std::vector<std::string>{"core", "qt", "windows", "app"}));
    ASSERT_GT(l.layerOf.size(), 50u);
    const auto findings = checkLayers(ZENTO_SOURCE_DIR, l);
    EXPECT_TRUE(findings.empty()) << joined(findings);
}

TEST(Layers, TheCheckFindsEveryKindOfBreak) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> files; ///< path, content
        const char* finding;                                     ///< a part of the expected finding
    };
    const Case cases[] = {
        {"an include that goes up", {{"store/A.h", "#include \"ui/B.h\"\n"}, {"ui/B.h", ""}},
         "store/A.h (core) includes ui/B.h (qt)"},
        {"Qt in the core", {{"store/A.cpp", "#include <QString>\n"}}, "is core and includes Qt"},
        {"a file without a layer", {{"store/Z.cpp", ""}}, "store/Z.cpp has no layer"},
        {"a cycle through three folders",
         {{"ui/B.h", "#include \"session/C.h\"\n"},
          {"session/C.h", "#include \"store/A.h\"\n"},
          {"store/A.h", "  #  include \"ui/B.h\"\n"}},
         "folders include each other: "},
        {"a cycle within one layer", {{"ui/B.h", "#include \"session/C.h\""}, {"session/C.h", "#include \"ui/B.h\""}},
         "session -> ui -> session"},
    };
    Layering l;
    l.order = {"core", "qt", "windows", "app"};
    l.layerOf = {{"store/A", "core"}, {"ui/B", "qt"}, {"session/C", "qt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zento::test::TempDir src;
        for (const auto& [path, content] : c.files) {
            fs::create_directories((src / path).parent_path());
            zento::test::writeFile(src / path, content);
        }
        const std::string found = joined(checkLayers(src.path(), l));
        EXPECT_NE(found.find(c.finding), std::string::npos) << found;
    }
}

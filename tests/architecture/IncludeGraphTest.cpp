// The libraries' include graph against the table of docs/architecture.md:
// every include of another library's header must be an edge the table
// lists, the table lists every library, and its edges form no cycle.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using TGraph = std::map<std::string, std::set<std::string>>;

// The backticked names of a table cell.
std::vector<std::string> Names(const std::string& cell)
{
    std::vector<std::string> names;
    static const std::regex name("`([a-z_]+)`");
    for (auto it = std::sregex_iterator(cell.begin(), cell.end(), name); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    return names;
}

// The table "| library | uses |" of the section "## Libraries".
TGraph DeclaredUses(std::istream& document)
{
    TGraph declared;
    std::string line;
    bool inSection = false;
    while (std::getline(document, line)) {
        if (line.starts_with("## "))
            inSection = line == "## Libraries";
        if (!inSection || !line.starts_with("| `"))
            continue;
        const size_t split = line.find('|', 1);
        const std::vector<std::string> libraries = Names(line.substr(1, split - 1));
        const std::vector<std::string> uses = Names(line.substr(split + 1));
        for (const std::string& library : libraries)
            declared[library].insert(uses.begin(), uses.end());
    }
    return declared;
}

// Per folder of Root, the other folders whose headers its files include.
TGraph IncludedLibraries(const fs::path& root)
{
    TGraph included;
    static const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+)/)");
    for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
        if (!folder.is_directory())
            continue;
        const std::string library = folder.path().filename().string();
        included[library];
        for (const fs::directory_entry& file : fs::recursive_directory_iterator(folder.path())) {
            const std::string extension = file.path().extension().string();
            if (extension != ".h" && extension != ".cpp")
                continue;
            std::ifstream in(file.path());
            std::string line;
            std::smatch match;
            while (std::getline(in, line))
                if (std::regex_search(line, match, include) && match[1] != library &&
                    fs::is_directory(root / match[1].str()))
                    included[library].insert(match[1]);
        }
    }
    return included;
}

// "a -> b" for every included edge the table does not list, and "a" for a
// library the table leaves out.
std::vector<std::string> Undeclared(const TGraph& declared, const TGraph& included)
{
    std::vector<std::string> faults;
    for (const auto& [library, uses] : included) {
        const auto row = declared.find(library);
        if (row == declared.end()) {
            faults.push_back(library);
            continue;
        }
        for (const std::string& used : uses)
            if (!row->second.contains(used))
                faults.push_back(library + " -> " + used);
    }
    return faults;
}

bool HasCycle(const TGraph& graph)
{
    std::map<std::string, int> state;  // 1 on the path, 2 done
    std::function<bool(const std::string&)> visit = [&](const std::string& node) {
        if (state[node] == 1)
            return true;
        if (state[node] == 2)
            return false;
        state[node] = 1;
        if (const auto it = graph.find(node); it != graph.end())
            for (const std::string& next : it->second)
                if (visit(next))
                    return true;
        state[node] = 2;
        return false;
    };
    for (const auto& [node, uses] : graph)
        if (visit(node))
            return true;
    return false;
}

const char* const kTable = R"(# How
## Libraries
| library | uses |
| --- | --- |
| `framework` | (the system) |
| `common`, `imaging` | `framework` |
| `panels` | `common`, `framework` |

## The main window
| `panels` | `mainwindow` |
)";

}  // namespace

TEST(IncludeGraph, TheSourceTreeIncludesOnlyWhatTheTableDeclares)
{
    const fs::path root = QRV_SOURCE_ROOT;
    std::ifstream document(root / "docs" / "architecture.md");
    ASSERT_TRUE(document) << "docs/architecture.md";
    const TGraph declared = DeclaredUses(document);
    ASSERT_FALSE(declared.empty()) << "no table under \"## Libraries\"";
    const TGraph included = IncludedLibraries(root / "src");
    ASSERT_GE(included.size(), 10u);
    for (const std::string& fault : Undeclared(declared, included))
        ADD_FAILURE() << "undeclared: " << fault;
    EXPECT_FALSE(HasCycle(declared)) << "the table's libraries use each other in a circle";
}

TEST(IncludeGraph, AnEdgeOrALibraryTheTableLeavesOutIsFound)
{
    std::istringstream table(kTable);
    const TGraph declared = DeclaredUses(table);
    EXPECT_EQ(declared.at("imaging"), (std::set<std::string>{"framework"}));
    EXPECT_EQ(declared.at("framework"), std::set<std::string>{}) << "the system is no library";
    EXPECT_EQ(declared.at("panels"), (std::set<std::string>{"common", "framework"})) << "only its own section counts";

    struct Case {
        const char* name;
        TGraph included;
        std::vector<std::string> faults;
    };
    const Case cases[] = {
        {"as declared", {{"panels", {"common"}}, {"common", {"framework"}}}, {}},
        {"an undeclared edge", {{"imaging", {"framework", "common"}}}, {"imaging -> common"}},
        {"an undeclared library", {{"archives", {"framework"}}}, {"archives"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Undeclared(declared, c.included), c.faults) << c.name;
}

TEST(IncludeGraph, ACircleInTheTableIsFound)
{
    EXPECT_FALSE(HasCycle({{"a", {"b"}}, {"b", {"c"}}, {"c", {}}}));
    EXPECT_TRUE(HasCycle({{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}}));
}

// Reads the #include lines of the product folders and fails on an arrow between folders that the
// table of allowed arrows does not list, on an allowed arrow that no include uses (the table must
// say what the code does, not what it once did), and on any cycle between folders.
//
//   quova_layering_check <source root> <table file>
//
// The table is the part of the table file between the lines "<!-- layering:begin -->" and
// "<!-- layering:end -->": a Markdown table whose rows read
//   | `folder` | `other`, `other/Header.h`, ... | why |
// The first cell names a folder (a node: "engine", "platform/win32"); the second lists what its
// files may include: whole folders, single headers of a folder ("framework/HeapBuffer.h": only
// that header), "*" (anything), or "-" (nothing). A file belongs to the longest node that is a
// prefix of its path. Includes of a path in no node are ignored when its first folder is not a
// product folder (system and third-party headers) and are errors otherwise (a new folder must be
// given its row).
//
// Exit status 0 when every arrow is allowed and used and there is no cycle, 1 on a violation, 2 when the
// table cannot be read.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Row
{
    std::set<std::string> folders; // whole folders it may include
    std::set<std::string> headers; // single headers it may include
    bool anything = false;
};

using Table = std::map<std::string, Row>;
using Graph = std::map<std::string, std::set<std::string>>;

// The backticked words of a table cell.
std::vector<std::string> Words(const std::string& cell)
{
    std::vector<std::string> words;
    size_t open = cell.find('`');
    while (open != std::string::npos)
    {
        const size_t close = cell.find('`', open + 1);
        if (close == std::string::npos) break;
        if (close > open + 1) words.push_back(cell.substr(open + 1, close - open - 1));
        open = cell.find('`', close + 1);
    }
    return words;
}

// The path of an #include line ("x/y.h" or <x/y.h>); empty for any other line.
std::string IncludedPath(const std::string& line)
{
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return {};
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return {};
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '"' && line[i] != '<')) return {};
    const size_t end = line.find(line[i] == '"' ? '"' : '>', i + 1);
    return end == std::string::npos ? std::string() : line.substr(i + 1, end - i - 1);
}

std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    size_t start = line.find('|');
    while (start != std::string::npos)
    {
        const size_t end = line.find('|', start + 1);
        if (end == std::string::npos) break;
        cells.push_back(line.substr(start + 1, end - start - 1));
        start = end;
    }
    return cells;
}

bool ReadTable(const fs::path& file, Table* table)
{
    std::ifstream in(file);
    if (!in) return false;
    bool inside = false;
    std::string line;
    while (std::getline(in, line))
    {
        if (line.find("<!-- layering:begin -->") != std::string::npos)
            inside = true;
        else if (line.find("<!-- layering:end -->") != std::string::npos)
            inside = false;
        if (!inside) continue;
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() < 2) continue;
        const std::vector<std::string> node = Words(cells[0]);
        if (node.size() != 1) continue; // the header row and the separator
        Row& row = (*table)[node[0]];
        for (const std::string& word : Words(cells[1]))
        {
            if (word == "*")
                row.anything = true;
            else if (word == "-")
                continue;
            else if (word.size() > 2 && word.compare(word.size() - 2, 2, ".h") == 0)
                row.headers.insert(word);
            else
                row.folders.insert(word);
        }
    }
    return !table->empty();
}

// The longest node that is path itself or a folder above it; empty when none.
std::string NodeOf(const Table& table, const std::string& path)
{
    std::string best;
    for (const auto& [node, row] : table)
        if ((path == node || path.compare(0, node.size() + 1, node + "/") == 0) && node.size() > best.size())
            best = node;
    return best;
}

std::string FirstFolder(const std::string& path)
{
    return path.substr(0, path.find('/'));
}

bool Allowed(const Row& row, const std::string& target, const std::string& include)
{
    return row.anything || row.folders.count(target) != 0 || row.headers.count(include) != 0;
}

// Reports every cycle of graph once per node that starts a search; true when there is none.
bool Acyclic(const Graph& graph, const char* what)
{
    std::map<std::string, int> state; // 0 unseen, 1 on the path, 2 done
    std::vector<std::string> path;
    bool acyclic = true;
    std::function<void(const std::string&)> visit = [&](const std::string& node)
    {
        state[node] = 1;
        path.push_back(node);
        const auto edges = graph.find(node);
        if (edges != graph.end())
            for (const std::string& next : edges->second)
            {
                if (state[next] == 1)
                {
                    std::string cycle;
                    for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it)
                        cycle += *it + " -> ";
                    std::printf("cycle between folders (%s): %s%s\n", what, cycle.c_str(), next.c_str());
                    acyclic = false;
                }
                else if (state[next] == 0)
                    visit(next);
            }
        path.pop_back();
        state[node] = 2;
    };
    for (const auto& [node, edges] : graph)
        if (state[node] == 0) visit(node);
    return acyclic;
}

bool IsSource(const fs::path& file)
{
    static const std::set<std::string> kinds = {".h", ".hpp", ".cpp", ".cc", ".inc", ".in"};
    return kinds.count(file.extension().string()) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s <source root> <table file>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    Table table;
    if (!ReadTable(argv[2], &table))
    {
        std::fprintf(stderr, "no table of allowed arrows in %s\n", argv[2]);
        return 2;
    }
    std::set<std::string> productFolders;
    Graph allowedGraph;
    for (const auto& [node, row] : table)
    {
        productFolders.insert(FirstFolder(node));
        for (const std::string& folder : row.folders)
            allowedGraph[node].insert(folder);
        for (const std::string& header : row.headers)
            allowedGraph[node].insert(NodeOf(table, header));
    }

    Graph found;
    std::map<std::string, std::set<std::string>> used; // per node: the folders and headers it used
    int violations = 0;
    int files = 0;
    for (const std::string& top : productFolders)
    {
        if (!fs::is_directory(root / top)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / top))
        {
            if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
            ++files;
            const std::string file = entry.path().lexically_relative(root).generic_string();
            const std::string from = NodeOf(table, file);
            if (from.empty())
            {
                std::printf("%s: its folder has no row in the table\n", file.c_str());
                ++violations;
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number)
            {
                const std::string target = IncludedPath(line);
                if (target.find('/') == std::string::npos || productFolders.count(FirstFolder(target)) == 0)
                    continue;
                const std::string to = NodeOf(table, target);
                if (to.empty())
                {
                    std::printf("%s:%d includes %s, in a folder that has no row in the table\n", file.c_str(),
                                number, target.c_str());
                    ++violations;
                    continue;
                }
                if (to == from) continue;
                found[from].insert(to);
                used[from].insert(to);
                used[from].insert(target);
                if (!Allowed(table.at(from), to, target))
                {
                    std::printf("%s:%d includes %s: the arrow %s -> %s is not allowed\n", file.c_str(),
                                number, target.c_str(), from.c_str(), to.c_str());
                    ++violations;
                }
            }
        }
    }
    for (const auto& [node, row] : table)
    {
        std::set<std::string> allowed = row.folders;
        allowed.insert(row.headers.begin(), row.headers.end());
        for (const std::string& what : allowed)
            if (used[node].count(what) == 0)
            {
                std::printf("the table allows %s -> %s, but no include uses it: drop it\n", node.c_str(),
                            what.c_str());
                ++violations;
            }
    }
    if (!Acyclic(allowedGraph, "allowed by the table")) ++violations;
    if (!Acyclic(found, "included")) ++violations;
    std::printf("%d files of %zu folders read, %d violations\n", files, table.size(), violations);
    return violations == 0 ? 0 : 1;
}

// Every line of the golden file of the data formulas: the routine named on
// the line, given the line's answer bytes, must print the line's text.
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "golden_lists.h"

namespace vaz::test {
namespace {

GoldenBytes parse_bytes(std::istringstream &in, std::string &token) {
  GoldenBytes bytes;
  while (in >> token && token != "->") {
    const std::size_t eq = token.find('=');
    bytes.emplace_back(std::stoi(token.substr(1, eq - 1)),
                       static_cast<u8>(std::stoul(token.substr(eq + 1), nullptr, 16)));
  }
  return bytes;
}

TEST(FormulaGolden, EveryLineOfTheGoldenFile) {
  std::ifstream file(VAZ_FORMULAS_GOLDEN);
  ASSERT_TRUE(file) << VAZ_FORMULAS_GOLDEN;
  std::map<std::string, std::set<int>> itemsSeen;
  std::string line;
  int lines = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string ecu, name, token;
    int item = 0;
    in >> ecu >> name >> item;
    const GoldenList *list = find_golden_list(name);
    ASSERT_NE(list, nullptr) << line;
    const GoldenBytes bytes = parse_bytes(in, token);
    const std::size_t open = line.find('"', line.find("->"));
    const std::string expected = line.substr(open + 1, line.rfind('"') - open - 1);
    EXPECT_EQ(run_golden(*list, static_cast<u16>(item), bytes), expected)
        << ecu << ' ' << name << " item " << item << " bytes [" << format_bytes(list->where, bytes) << ']';
    itemsSeen[name].insert(item);
    ++lines;
  }
  // Every item of every list, and one past each end, has its lines.
  for (const GoldenList &l : golden_lists()) { EXPECT_EQ(itemsSeen[l.name].size(), l.items + 2u) << l.name; }
  EXPECT_GT(lines, 1000);
}

}  // namespace
}  // namespace vaz::test

// Makes the seed corpus of fuzz_session from real sessions: each simulated car of the
// workbench is driven through tours of its menus, and the wire trace of every session
// becomes a seed (ECU type, coded script, one answer chunk per request). Sessions whose
// traces repeat one already kept are dropped.
//
// Usage: fuzz_session_seeds BUILD_DIR OUT_DIR
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "session_script.h"
#include "workbench.h"

namespace {

struct Car {
  int ecuType;
  const char *car;
};

// Every host ECU type with its own car; detection (11) with each Bosch car.
const std::vector<Car> kCars{
    {1, "m154"},    {2, "m154-add"}, {3, "m154n"},  {4, "m70-e2"},   {5, "m70-e3"},   {6, "m72"},
    {7, "m797-e2"}, {8, "m797-e3"},  {9, "gm-efi"}, {10, "gm-isfi"}, {11, "m154"},    {11, "m154n"},
    {11, "m70-e2"}, {11, "m70-e3"},  {11, "m72"},   {11, "m797-e2"}, {11, "m797-e3"}, {11, "none"},
};

std::vector<std::string> tours() {
  std::vector<std::string> t;
  for (int k = 1; k <= 10; ++k) {
    const std::string c = "choose " + std::to_string(k) + "\n";
    t.push_back(c + "stay 2\nleave\ntick all\nstay 3\nback\nback\nback\n");
    t.push_back(c + "yes\nstay 1\nback\nback\n");
    for (int j = 1; j <= 12; ++j) {
      const std::string s = c + "choose " + std::to_string(j) + "\n";
      t.push_back(s + "yes\nchoose 1\nchoose 2\nback\nback\nback\n");
      t.push_back(s + "enter 850\nstay 2\nback\nback\nback\n");
      t.push_back(s + "yes\nenter 900\nstay 2\nback\nback\nback\n");
      t.push_back(s + "press 2\npress 2\npress 1\npress 3\nyes\nback\nback\n");
      t.push_back(s + "choose 2\nback\nchoose 1\nyes\nback\nback\n");
    }
  }
  return t;
}

std::vector<unsigned> hex_bytes(const std::string &text) {
  std::vector<unsigned> bytes;
  std::istringstream in(text);
  std::string h;
  while (in >> h) bytes.push_back(std::stoul(h, nullptr, 16));
  return bytes;
}

// One chunk per request the plug-in sent: the answer as one frame, or "no answer"
// (none, late, or discarded for its checksum).
std::string chunks_of(const std::string &trace) {
  std::string out;
  bool pending = false;
  bool answered = false;
  std::vector<unsigned> answer;
  auto flush = [&] {
    if (!pending) return;
    if (answered) {
      out += static_cast<char>(answer.size() > 255 ? 0x80 : 0);  // bit 7: 256 more
      out += static_cast<char>(answer.size() & 0xFF);
      for (unsigned b : answer) out += static_cast<char>(b);
    } else {
      out += static_cast<char>(4);
      out += static_cast<char>(0);
    }
    pending = answered = false;
  };
  std::istringstream in(trace);
  std::string line;
  while (std::getline(in, line)) {
    const auto tag = line.find_first_not_of(" .0123456789");
    if (tag == std::string::npos) continue;
    const std::string kind = line.substr(tag, 2);
    const std::string body = line.size() > tag + 3 ? line.substr(tag + 3) : "";
    if (kind == "T>") {
      flush();
      pending = true;
    } else if (kind == "E<" && pending) {
      answer = hex_bytes(body);
      answered = true;
    } else if (kind == "--" && (body.find("after the time-out") != std::string::npos ||
                                body.find("checksum wrong: discarded") != std::string::npos)) {
      answered = false;
    }
  }
  flush();
  return out;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: fuzz_session_seeds BUILD_DIR OUT_DIR\n";
    return 2;
  }
  std::string dir = argv[1];
  if (dir.back() != '/') dir += '/';
  vazdiag::Workbench bench(dir);
  std::set<std::string> seen;
  int kept = 0;
  for (const Car &car : kCars) {
    for (const std::string &tour : tours()) {
      std::string coded;
      std::istringstream lines(tour);
      std::string l;
      while (std::getline(lines, l)) coded += static_cast<char>(*fuzz_session::step_byte(l));
      vazdiag::SessionSetup s;
      s.ecuType = car.ecuType;
      s.car = car.car;
      s.carOptions = {{"dtc", "0102,0325"}};
      if (std::string(car.car) == "none") s.carOptions.clear();
      if (car.ecuType >= 9 && car.ecuType <= 10) s.carOptions.clear();
      s.script = fuzz_session::script_text(reinterpret_cast<const std::uint8_t *>(coded.data()), coded.size());
      const vazdiag::SessionResult r = bench.run(s);
      const std::string answers = chunks_of(r.trace);
      if (!seen.insert(std::to_string(car.ecuType) + answers).second) continue;
      std::string seed;
      seed += static_cast<char>(car.ecuType - 1);
      seed += static_cast<char>(coded.size());
      seed += coded + answers;
      char name[96];
      std::snprintf(name, sizeof name, "%s/%02d_%s_%03d", argv[2], car.ecuType, car.car, kept++);
      std::ofstream(name, std::ios::binary) << seed;
    }
  }
  std::cout << kept << " seeds\n";
  return 0;
}

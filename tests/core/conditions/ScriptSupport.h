#pragma once
// Running scripts in tests: through the library and through Debian's
// dealer, and reading back what they print.
#include "core/conditions/ScriptRun.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace zelv::testing {

inline std::string RunOurs(const std::string& text, std::uint64_t seed, int threads = 2,
                           ScriptRunResult* result = nullptr) {
    ScriptRunOptions o;
    o.Name = "t.dl";
    o.Seed = seed;
    o.Threads = threads;
    std::ostringstream out;
    const ScriptRunResult r = RunScriptText(text, o, out);
    if (result) *result = r;
    return out.str();
}

inline std::string DealerPath() {
    for (const char* p : {"/usr/games/dealer", "/usr/bin/dealer"})
        if (::access(p, X_OK) == 0) return p;
    return {};
}

inline std::string RunDealer(const std::string& text, std::uint64_t seed) {
    char path[] = "/tmp/zelv_dealer_XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) return {};
    ::close(fd);
    std::ofstream(path) << text;
    const std::string command = DealerPath() + " -s " + std::to_string(seed) + " " + path + " 2>&1";
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    std::remove(path);
    return out;
}

// What a run printed: its statistics, averages and frequency rows.
struct Printed {
    double Generated = 0, Produced = 0;
    std::map<std::string, double> Averages;                         // by label
    std::map<std::string, std::map<std::string, double>> Frequency; // label -> row -> count
};

inline Printed ReadPrinted(const std::string& out) {
    Printed p;
    std::istringstream in(out);
    std::string line, table;
    while (std::getline(in, line)) {
        if (line.rfind("Generated ", 0) == 0)
            p.Generated = std::stod(line.substr(10));
        else if (line.rfind("Produced ", 0) == 0)
            p.Produced = std::stod(line.substr(9));
        else if (line.rfind("Frequency ", 0) == 0)
            table = line.substr(10, line.size() - 11);
        else if (const auto tab = line.find('\t'); tab != std::string::npos && !table.empty()) {
            std::string row = line.substr(0, tab);
            row.erase(0, row.find_first_not_of(' '));
            p.Frequency[table][row] = std::stod(line.substr(tab + 1));
        } else if (const auto colon = line.find(": "); colon != std::string::npos)
            p.Averages[line.substr(0, colon)] = std::stod(line.substr(colon + 2));
    }
    return p;
}

// A deal read from printoneline: cards by seat (N, E, S, W), suit (S, H, D, C).
struct TextDeal {
    std::array<std::array<std::string, 4>, 4> Suits;
};

inline std::vector<TextDeal> ReadOneLiners(const std::string& out) {
    std::vector<TextDeal> deals;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("n ", 0) != 0) continue;
        std::istringstream words(line);
        TextDeal d;
        for (auto& seat : d.Suits) {
            std::string tag, hand;
            words >> tag >> hand;
            std::size_t at = 0;
            for (auto& suit : seat) {
                const std::size_t dot = hand.find('.', at);
                suit = hand.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
                at = dot == std::string::npos ? hand.size() : dot + 1;
            }
        }
        deals.push_back(d);
    }
    return deals;
}

} // namespace zelv::testing

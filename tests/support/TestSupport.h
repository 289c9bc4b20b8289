#pragma once
// Shared helpers of the core tests: a temporary folder, file helpers and
// ready-made hand definitions.
#include "core/dealing/DealEngine.h"
#include "core/definitions/DefinitionText.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace zelv::test {

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("zelv-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// An editor definition that accepts every hand, written as NAME.HDS.
inline std::string WriteDefinition(const std::string& folder, const std::string& name, const DefinitionText& d) {
    std::string path = folder + "/" + name + ".HDS";
    std::string error;
    if (!WriteDefinitionFile(path, d, &error)) throw std::runtime_error(error);
    return path;
}

// The definitions the run tests deal: "NT" (15-17 points, 4333, 4432 or
// 5332), "STRONG" (20 or more) and "NEVER" (38 or more: no two seats).
inline void WriteRunDefinitions(const std::string& folder) {
    DefinitionText nt = DefinitionText::Defaults();
    nt.Limit(LimMinPoints) = "15";
    nt.Limit(LimMaxPoints) = "17";
    nt.YesShapes = {" 4333", " 4432", " 5332"};
    WriteDefinition(folder, "NT", nt);
    DefinitionText strong = DefinitionText::Defaults();
    strong.Limit(LimMinPoints) = "20";
    WriteDefinition(folder, "STRONG", strong);
    DefinitionText never = DefinitionText::Defaults();
    never.Limit(LimMinPoints) = "38";
    WriteDefinition(folder, "NEVER", never);
}

inline Hand HandOf(std::initializer_list<int> codes) {
    Hand h{};
    int i = 0;
    for (int c : codes) h[static_cast<std::size_t>(i++)] = static_cast<CardCode>(c);
    return h;
}

// The 13 cards of a set, ascending.
inline Hand HandOfMask(CardMask m) {
    Hand h{};
    int i = 0;
    for (int c = 1; c <= 52; ++c)
        if (m & CardBit(static_cast<CardCode>(c))) h[static_cast<std::size_t>(i++)] = static_cast<CardCode>(c);
    return h;
}

} // namespace zelv::test

// Writes the sample hand definitions with the editor's own writer:
//   zelvano-samples <folder>
// The files in data/Hand Definitions are this program's output.
#include "core/files/FileUtil.h"
#include "tools/Samples.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (const auto& sample : zelv::samples::SampleDefinitions()) {
        std::string error;
        const std::string path = zelv::JoinPath(argv[1], sample.Name + ".HDS");
        if (!zelv::WriteDefinitionFile(path, sample.Defn, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}

// A program for the launch test: leaves "ran-<its own file name>" in its current folder.
#include <cstdio>
#include <string>

int main(int, char** argv) {
    std::string self = argv[0];
    const std::size_t slash = self.find_last_of("\\/");
    if (slash != std::string::npos) {
        self.erase(0, slash + 1);
    }
    std::FILE* marker = std::fopen(("ran-" + self).c_str(), "w");
    if (marker == nullptr) {
        return 1;
    }
    std::fclose(marker);
    return 0;
}

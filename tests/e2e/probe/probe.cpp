// probe: a small Windows console program with known behaviour, for the tests of the Wine harness
// and the driver.
//
//   probe exit N     ends with exit code N
//   probe sleep MS   sleeps, then ends with 0
//   probe acp        prints the ANSI code page
//   probe hex ARG    prints the bytes of ARG as the program received them, in hex
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY); // "\n" stays "\n"
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0)
        return std::atoi(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sleep") == 0) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "acp") == 0) {
        std::printf("%u\n", GetACP());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hex") == 0) {
        for (const char* p = argv[2]; *p != '\0'; ++p)
            std::printf("%02x", static_cast<unsigned char>(*p));
        std::printf("\n");
        return 0;
    }
    std::fprintf(stderr, "usage: probe exit N | sleep MS | acp | hex ARG\n");
    return 2;
}

// Times one export of a deck to JPEG images through our office, either
// starting its offices (cold) or with them already running (warm). Prints the
// seconds the export took, or nothing and exit status 1 on failure.

#include "convert/office_session.h"
#include "convert/ppt_export.h"

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 4 || (std::strcmp(argv[1], "cold") != 0 && std::strcmp(argv[1], "warm") != 0)) {
        std::fprintf(stderr, "usage: export_bench cold|warm DECK FOLDER\n");
        return 2;
    }
    const bool warm = std::strcmp(argv[1], "warm") == 0;
    OfficeSession offices;
    if (warm)
        offices.EnsureRunning();
    const PptToJpegData data{argv[2], argv[3], 1280, 800};
    std::atomic<int> cancel{0};
    const auto start = std::chrono::steady_clock::now();
    const int result = fnjgConvetPptToJpeg(&data, &cancel);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (result != 0) {
        std::fprintf(stderr, "export_bench: export failed with %d\n", result);
        return 1;
    }
    std::printf("%.3f\n", elapsed.count());
    return 0;
}

// Publishes one image folder to one destination RUNS times and prints the
// seconds of each publish, one per line. It uses only the delivery entry
// points, so that it builds against older versions of the library too.
//
// usage: publish_bench WORK_FOLDER NAME DESTINATION RUNS
//        (WORK_FOLDER/NAME is the image folder; DESTINATION a local folder
//        or an ftp:// or share URL)

#include "delivery/delivery.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: publish_bench WORK_FOLDER NAME DESTINATION RUNS\n");
        return 2;
    }
    SendingData request;
    request.srcFolder = argv[1];
    request.folderName = argv[2];
    request.destination = argv[3];
    const bool local = request.destination.find("://") == std::string::npos;
    const int runs = std::atoi(argv[4]);
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const int result = local ? fnsdExecuteCopying(&request) : fnsdExecuteSending(&request);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (result != 0) {
            std::fprintf(stderr, "publish_bench: the publish failed with %d\n", result);
            return 1;
        }
        std::printf("%.4f\n", took.count());
    }
    return 0;
}

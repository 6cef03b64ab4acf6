// Splits one cold export into its phases, each timed across all lanes at
// once: the UNO runtime, office start (until it accepts us), a connection to
// the running office, the first load, the first slide, the other slides, the
// close and the quit. Prints one "phase seconds start" line each, start on
// the monotonic clock, to match samples of a profiler (perf -k monotonic).
//
// usage: cold_phases LANES DECK FOLDER

#include "convert/automation.h"
#include "convert/com_apartment_guard.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/ppt_export.h"
#include "convert/side_by_side.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct LaneObjects
{
    explicit LaneObjects(int lane) : application(LibreOfficeServer::Instance(), lane) {}
    Application application;
    Presentations presentations;
    Presentation presentation;
    Slides slides;
    Slide slide;
};

// Runs work(lane) on every lane side by side; prints the wall time.
void Phase(const char* name, int lanes, const std::function<void(int)>& work)
{
    const auto start = Clock::now();
    SideBySide(static_cast<std::size_t>(lanes),
               [&work](std::size_t lane) { work(static_cast<int>(lane)); });
    const std::chrono::duration<double> took = Clock::now() - start;
    const std::chrono::duration<double> since = start.time_since_epoch();
    std::printf("%-14s %.3f %.6f\n", name, took.count(), since.count());
    std::fflush(stdout);
}

void ExportSlide(LaneObjects& lane, const std::string& folder, int number, int digits)
{
    lane.slide.AttachDispatch(lane.slides.Item(number));
    lane.slide.Export(folder + "/" + SlideImageName(number, digits), "jpg", 1280, 800);
}

void Load(LaneObjects& lane, const std::string& deck)
{
    lane.presentations.AttachDispatch(lane.application.GetPresentations());
    lane.presentation.AttachDispatch(lane.presentations.Open(deck, -1, -1, 0));
    lane.slides.AttachDispatch(lane.presentation.GetSlides());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: cold_phases LANES DECK FOLDER\n");
        return 2;
    }
    const int lanes = std::atoi(argv[1]);
    const std::string deck = argv[2];
    const std::string folder = argv[3];
    LibreOfficeServer& office = LibreOfficeServer::Instance();
    office.SetLaneCount(lanes);

    std::unique_ptr<ComApartmentGuard> guard;
    Phase("runtime", 1, [&](int) { guard = ComApartmentGuard::Create(); });
    std::vector<std::unique_ptr<LaneObjects>> objects;
    for (int lane = 0; lane < lanes; ++lane)
        objects.push_back(std::make_unique<LaneObjects>(lane));

    Phase("start", lanes, [&](int lane) {
        if (!objects[lane]->application.CreateDispatch())
            std::abort();
    });
    Phase("connect", lanes, [&](int lane) {
        if (!objects[lane]->application.CreateDispatch())
            std::abort();
    });
    Phase("load", lanes, [&](int lane) { Load(*objects[lane], deck); });
    const int count = objects[0]->slides.GetCount();
    const int digits = SlideNumberDigits(count);
    Phase("first-slide", lanes, [&](int lane) {
        if (lane < count)
            ExportSlide(*objects[lane], folder, lane + 1, digits);
    });
    std::atomic<int> next{lanes + 1};
    Phase("other-slides", lanes, [&](int lane) {
        for (int number = next++; number <= count; number = next++)
            ExportSlide(*objects[lane], folder, number, digits);
    });
    Phase("close", lanes, [&](int lane) { objects[lane]->presentation.Close(); });
    // The same again in the office that has loaded once: what the first
    // load and slide cost beyond it is paid once per office.
    Phase("load-again", lanes, [&](int lane) { Load(*objects[lane], deck); });
    Phase("slide-again", lanes, [&](int lane) {
        if (lane < count)
            ExportSlide(*objects[lane], folder, lane + 1, digits);
    });
    Phase("close-again", lanes, [&](int lane) { objects[lane]->presentation.Close(); });
    Phase("quit", lanes, [&](int lane) { objects[lane]->application.Quit(); });
    return 0;
}

// Renders each slide of decks as the render worker does (a LibreOfficeKit
// tile encoded by libjpeg-turbo), timing the load and the wall and processor
// time per slide; or compares two folders of slide JPEGs pixel by pixel.
//
// usage: lok_render_bench OUTPUT_FOLDER DECK...
//        lok_render_bench --compare DIR_A DIR_B
//
// Slides go to OUTPUT_FOLDER/<deck name without extension>/slideN.jpg. The
// office runs with a fresh user profile in a temporary folder (TMPDIR).
#include "convert/lok/lok_office.h"
#include "platform/file_url.h"

#include <turbojpeg.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::string SlideName(int index, int count)
{
    const int digits = static_cast<int>(std::to_string(count).size());
    std::string number = std::to_string(index + 1);
    number.insert(0, static_cast<size_t>(digits) - std::min<size_t>(digits, number.size()), '0');
    return "slide" + number + ".jpg";
}

bool ReadFile(const fs::path& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

bool DecodeJpeg(tjhandle decoder, const fs::path& path, Image& image)
{
    std::vector<unsigned char> bytes;
    if (!ReadFile(path, bytes))
        return false;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(decoder, bytes.data(), bytes.size(), &image.width, &image.height,
                            &subsampling, &colorspace) != 0)
        return false;
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    return tjDecompress2(decoder, bytes.data(), bytes.size(), image.rgb.data(), image.width, 0,
                         image.height, TJPF_RGB, TJFLAG_ACCURATEDCT) == 0;
}

// The slide JPEGs of a folder, in slide order (their names differ only in the number).
std::vector<fs::path> SlideFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".jpg" &&
            entry.path().stem().string().rfind("slide", 0) == 0)
            files.push_back(entry.path());
    auto number = [](const fs::path& p) { return std::atoi(p.stem().string().c_str() + 5); };
    std::sort(files.begin(), files.end(),
              [&](const fs::path& a, const fs::path& b) { return number(a) < number(b); });
    return files;
}

int Compare(const fs::path& folderA, const fs::path& folderB)
{
    const auto filesA = SlideFiles(folderA);
    const auto filesB = SlideFiles(folderB);
    if (filesA.empty() || filesA.size() != filesB.size()) {
        std::fprintf(stderr, "compare: %zu slides in %s, %zu in %s\n", filesA.size(),
                     folderA.c_str(), filesB.size(), folderB.c_str());
        return 1;
    }
    tjhandle decoder = tjInitDecompress();
    double worst = -1;
    size_t worstIndex = 0;
    double sumMad = 0;
    uintmax_t bytesA = 0;
    uintmax_t bytesB = 0;
    std::printf("%-12s %8s %8s %8s %8s %10s %10s\n", "slide", "mad_r", "mad_g", "mad_b", "mad",
                "bytes_a", "bytes_b");
    for (size_t i = 0; i < filesA.size(); ++i) {
        Image a;
        Image b;
        if (!DecodeJpeg(decoder, filesA[i], a) || !DecodeJpeg(decoder, filesB[i], b)) {
            std::fprintf(stderr, "compare: cannot decode %s or %s\n", filesA[i].c_str(),
                         filesB[i].c_str());
            tjDestroy(decoder);
            return 1;
        }
        if (a.width != b.width || a.height != b.height) {
            std::fprintf(stderr, "compare: %s is %dx%d, %s is %dx%d\n", filesA[i].c_str(), a.width,
                         a.height, filesB[i].c_str(), b.width, b.height);
            tjDestroy(decoder);
            return 1;
        }
        std::array<double, 3> sum{};
        for (size_t p = 0; p < a.rgb.size(); ++p)
            sum[p % 3] += std::abs(static_cast<int>(a.rgb[p]) - static_cast<int>(b.rgb[p]));
        const double pixels = static_cast<double>(a.width) * a.height;
        const double mad = (sum[0] + sum[1] + sum[2]) / (3 * pixels);
        const auto sizeA = fs::file_size(filesA[i]);
        const auto sizeB = fs::file_size(filesB[i]);
        bytesA += sizeA;
        bytesB += sizeB;
        sumMad += mad;
        std::printf("%-12s %8.2f %8.2f %8.2f %8.2f %10ju %10ju\n", filesA[i].filename().c_str(),
                    sum[0] / pixels, sum[1] / pixels, sum[2] / pixels, mad, sizeA, sizeB);
        if (mad > worst) {
            worst = mad;
            worstIndex = i;
        }
    }
    tjDestroy(decoder);
    const double n = static_cast<double>(filesA.size());
    std::printf("mean mad %.2f; worst %s mad %.2f; mean bytes a %.0f b %.0f\n", sumMad / n,
                filesA[worstIndex].filename().c_str(), worst, bytesA / n, bytesB / n);
    return 0;
}

int RenderDeck(LokOffice& office, const fs::path& deck, const fs::path& outputRoot)
{
    const fs::path folder = outputRoot / deck.stem();
    fs::create_directories(folder);

    const double loadStart = WallSeconds();
    LokOffice::Opened opened = office.Open(deck.string());
    const double loadSeconds = WallSeconds() - loadStart;
    if (!opened.deck) {
        std::fprintf(stderr, "%s: load failed: %s\n", deck.c_str(), opened.reason.c_str());
        return 1;
    }
    const int count = opened.deck->SlideCount();
    uintmax_t totalBytes = 0;
    const double cpuStart = CpuSeconds();
    const double wallStart = WallSeconds();
    for (int number = 1; number <= count; ++number) {
        const fs::path image = folder / SlideName(number - 1, count);
        const std::string failure = opened.deck->Render(number, kWidth, kHeight, image);
        if (!failure.empty()) {
            std::fprintf(stderr, "%s: slide %d: %s\n", deck.c_str(), number, failure.c_str());
            return 1;
        }
        totalBytes += fs::file_size(image);
    }
    const double wallSeconds = WallSeconds() - wallStart;
    const double cpuSeconds = CpuSeconds() - cpuStart;

    const double n = count > 0 ? count : 1;
    std::printf("deck %s: %d slides, load %.3f s\n", deck.filename().c_str(), count, loadSeconds);
    std::printf("  render+encode per slide: wall %.1f ms, cpu %.1f ms; mean jpeg %.0f bytes\n",
                wallSeconds * 1e3 / n, cpuSeconds * 1e3 / n, totalBytes / n);
    std::fflush(stdout);
    return 0;
}

int Render(const fs::path& outputRoot, const std::vector<fs::path>& decks)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lok-profile-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path profile = pattern;

    const double initStart = WallSeconds();
    const auto office = LokOffice::Start(LIBREOFFICE_PROGRAM_DIR, FileUrl(profile));
    if (!office) {
        std::fprintf(stderr, "no LibreOfficeKit in %s\n", LIBREOFFICE_PROGRAM_DIR);
        fs::remove_all(profile);
        return 1;
    }
    std::printf("init %.3f s\n", WallSeconds() - initStart);

    int status = 0;
    for (const auto& deck : decks)
        status |= RenderDeck(*office, deck, outputRoot);
    fs::remove_all(profile);
    // The office's own exit handlers can abort: skip them.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--compare")
        return Compare(argv[2], argv[3]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: lok_render_bench OUTPUT_FOLDER DECK...\n"
                             "       lok_render_bench --compare DIR_A DIR_B\n");
        return 2;
    }
    return Render(argv[1], std::vector<fs::path>(argv + 2, argv + argc));
}

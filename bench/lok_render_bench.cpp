// Renders each slide of decks through LibreOfficeKit tiles and encodes the
// pixels with libjpeg-turbo, timing load, render and encode; or compares two
// folders of slide JPEGs pixel by pixel.
//
// usage: lok_render_bench OUTPUT_FOLDER QUALITY DECK...
//        lok_render_bench --compare DIR_A DIR_B
//
// Slides go to OUTPUT_FOLDER/<deck name without extension>/slideN.jpg. The
// office runs with a fresh user profile in a temporary folder (TMPDIR).
#define LOK_USE_UNSTABLE_API
#include <LibreOfficeKit/LibreOfficeKit.h>
#include <LibreOfficeKit/LibreOfficeKitEnums.h>
#include <LibreOfficeKit/LibreOfficeKitInit.h>

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
constexpr const char* kProgramFolder = "/usr/lib/libreoffice/program";

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

// file:// URL of an absolute path, with bytes outside the unreserved set escaped.
std::string FileUrl(const fs::path& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : fs::absolute(path).lexically_normal().string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
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

bool WriteFile(const fs::path& path, const unsigned char* data, unsigned long size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
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

int RenderDeck(LibreOfficeKit* office, tjhandle encoder, const fs::path& deck,
               const fs::path& outputRoot, int quality)
{
    const fs::path folder = outputRoot / deck.stem();
    fs::create_directories(folder);

    const double loadStart = WallSeconds();
    LibreOfficeKitDocument* doc =
        office->pClass->documentLoadWithOptions(office, FileUrl(deck).c_str(), "");
    const double loadSeconds = WallSeconds() - loadStart;
    if (!doc) {
        char* error = office->pClass->getError(office);
        std::fprintf(stderr, "%s: load failed: %s\n", deck.c_str(), error ? error : "?");
        std::free(error);
        return 1;
    }
    doc->pClass->initializeForRendering(doc, "");
    const int count = doc->pClass->getParts(doc);
    const int tileMode = doc->pClass->getTileMode(doc);
    const TJPF format = tileMode == LOK_TILEMODE_BGRA ? TJPF_BGRA : TJPF_RGBA;

    std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    double renderSeconds = 0;
    double encodeSeconds = 0;
    double firstRenderSeconds = 0;
    uintmax_t totalBytes = 0;
    std::vector<unsigned long> sizes;
    const double cpuStart = CpuSeconds();
    const double wallStart = WallSeconds();
    long docWidth = 0;
    long docHeight = 0;
    for (int i = 0; i < count; ++i) {
        const double renderStart = WallSeconds();
        doc->pClass->setPart(doc, i);
        doc->pClass->getDocumentSize(doc, &docWidth, &docHeight);
        doc->pClass->paintPartTile(doc, pixels.data(), i, kWidth, kHeight, 0, 0,
                                   static_cast<int>(docWidth), static_cast<int>(docHeight));
        const double encodeStart = WallSeconds();
        renderSeconds += encodeStart - renderStart;
        if (i == 0)
            firstRenderSeconds = encodeStart - renderStart;

        unsigned char* jpeg = nullptr;
        unsigned long jpegSize = 0;
        if (tjCompress2(encoder, pixels.data(), kWidth, 0, kHeight, format, &jpeg, &jpegSize,
                        TJSAMP_420, quality, 0) != 0) {
            std::fprintf(stderr, "%s: slide %d: %s\n", deck.c_str(), i + 1,
                         tjGetErrorStr2(encoder));
            doc->pClass->destroy(doc);
            return 1;
        }
        const bool written = WriteFile(folder / SlideName(i, count), jpeg, jpegSize);
        tjFree(jpeg);
        if (!written) {
            std::fprintf(stderr, "%s: cannot write slide %d\n", deck.c_str(), i + 1);
            doc->pClass->destroy(doc);
            return 1;
        }
        encodeSeconds += WallSeconds() - encodeStart;
        sizes.push_back(jpegSize);
        totalBytes += jpegSize;
    }
    const double wallSeconds = WallSeconds() - wallStart;
    const double cpuSeconds = CpuSeconds() - cpuStart;

    const double n = count > 0 ? count : 1;
    std::printf("deck %s\n", deck.filename().c_str());
    std::printf("  slides %d, page %ldx%ld twips, tile mode %s, quality %d\n", count, docWidth,
                docHeight, tileMode == LOK_TILEMODE_BGRA ? "BGRA" : "RGBA", quality);
    std::printf("  load %.3f s; render %.1f ms (first slide %.1f ms), encode+write %.1f ms\n",
                loadSeconds, renderSeconds * 1e3, firstRenderSeconds * 1e3, encodeSeconds * 1e3);
    std::printf("  per slide: render %.1f ms, encode %.1f ms, wall %.1f ms, cpu %.1f ms\n",
                renderSeconds * 1e3 / n, encodeSeconds * 1e3 / n, wallSeconds * 1e3 / n,
                cpuSeconds * 1e3 / n);
    std::printf("  jpeg bytes: mean %.0f, total %ju; each:", totalBytes / n, totalBytes);
    for (const auto size : sizes)
        std::printf(" %lu", size);
    std::printf("\n");
    std::fflush(stdout);
    doc->pClass->destroy(doc);
    return 0;
}

int Render(const fs::path& outputRoot, int quality, const std::vector<fs::path>& decks)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lok-profile-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path profile = pattern;

    const double initStart = WallSeconds();
    LibreOfficeKit* office = lok_init_2(kProgramFolder, FileUrl(profile).c_str());
    if (!office) {
        std::fprintf(stderr, "lok_init_2 failed for %s\n", kProgramFolder);
        fs::remove_all(profile);
        return 1;
    }
    std::printf("init %.3f s\n", WallSeconds() - initStart);

    tjhandle encoder = tjInitCompress();
    int status = 0;
    for (const auto& deck : decks)
        status |= RenderDeck(office, encoder, deck, outputRoot, quality);
    tjDestroy(encoder);
    office->pClass->destroy(office);
    fs::remove_all(profile);
    // The office's own exit handlers can abort once it is destroyed: skip them.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--compare")
        return Compare(argv[2], argv[3]);
    const int quality = argc >= 4 ? std::atoi(argv[2]) : 0;
    if (argc < 4 || quality < 1 || quality > 100) {
        std::fprintf(stderr, "usage: lok_render_bench OUTPUT_FOLDER QUALITY DECK...\n"
                             "       lok_render_bench --compare DIR_A DIR_B\n");
        return 2;
    }
    return Render(argv[1], quality, std::vector<fs::path>(argv + 3, argv + argc));
}

#include "tests/support/office_deck.h"

#include "convert/libreoffice/office_profile.h"
#include "convert/ppt_export.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <atomic>

namespace fs = std::filesystem;

fs::path SaveAsDeck(const std::string& flatXml, const fs::path& folder, const std::string& name,
                    const std::string& format)
{
    const fs::path source = folder / (name + ".fodp");
    const fs::path deck = folder / (name + "." + format);
    WriteFile(source, flatXml);
    // A profile of its own, seeded so that this office starts at once.
    TempFolder profile;
    SeedOfficeProfile(profile.Path());
    RunProgram({std::string(LIBREOFFICE_PROGRAM_DIR) + "/soffice", "--headless", "--norestore",
                "-env:UserInstallation=file://" + profile.Path().string(), "--convert-to", format,
                "--outdir", folder.string(), source.string()});
    std::error_code error;
    return fs::file_size(deck, error) > 0 ? deck : fs::path();
}

std::string FlatPresentation(const std::string& styles, const std::string& automaticStyles,
                             const std::string& pages)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:styles>
)" + styles +
           R"(</office:styles>
<office:automatic-styles>)" +
           automaticStyles + R"(<style:page-layout style:name="Wide"><style:page-layout-properties
 fo:page-width="32cm" fo:page-height="20cm" style:print-orientation="landscape"/>
</style:page-layout></office:automatic-styles>
<office:master-styles><style:master-page style:name="Default" style:page-layout-name="Wide"/>
</office:master-styles>
<office:body><office:presentation>
)" + pages +
           "</office:presentation></office:body></office:document>\n";
}

int ExportSlides(const fs::path& deck, const fs::path& images)
{
    fs::create_directory(images);
    std::atomic<int> cancel{0};
    const PptToJpegData data{deck.string(), images.string(), 1280, 800};
    return fnjgConvetPptToJpeg(&data, &cancel);
}

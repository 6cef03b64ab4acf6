#include "tests/support/office_deck.h"

#include "convert/libreoffice/office_profile.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

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

#pragma once

#include "delivery/smb_context.h"
#include "delivery/tree_copy.h"

// Copies to folders of a share. Paths are smb:// URLs; Join also takes the
// destination as the profile gives it ("\\server\share\dir" or an smb:// URL).
class SmbCopyTarget : public CopyTarget
{
public:
    explicit SmbCopyTarget(ShareCredentials credentials) : context_(std::move(credentials)) {}

    const SmbContext& Context() const { return context_; }

    void MakeFolder(const std::string& url) override;
    void WriteFile(const std::filesystem::path& source, const std::string& url) override;
    std::string Join(const std::string& folder, const std::string& name) const override;

private:
    void WriteContents(const std::filesystem::path& source, SmbFile& file, const std::string& url);

    SmbContext context_;
};

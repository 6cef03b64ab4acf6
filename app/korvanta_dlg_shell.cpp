// Display Destination Folder and Help: both hand something to the desktop's
// opener, which may take seconds, so they open on a thread of their own and
// the dialog goes on meanwhile. A click while the last opening of the same
// button still runs opens nothing more.

#include "app/korvanta_dlg.h"

#include "app/help_page.h"
#include "app/shell_open_task.h"
#include "convert/convert_controller.h"
#include "convert/convert_data.h"
#include "convert/result_codes.h"

#include <optional>
#include <string>

namespace {

// What Display Destination Folder opens, held by value: the dialog's fields
// and profile may change while the opener works.
struct DestinationToOpen
{
    int saveTo = SAVE_TO_LOCAL_PC;
    std::string localFolder;
    std::optional<ConnectProfileData> profile;

    bool Open(const std::stop_token& stop)
    {
        ConvertData request;
        request.saveTo = saveTo;
        request.localFolder = localFolder;
        request.profile = profile ? &*profile : nullptr;
        return ConvertController().OpenDestination(&request, stop);
    }
};

} // namespace

void CKorvantaDlg::CreateShellOpenings()
{
    destinationOpening_ = new ShellOpenTask(this);
    destinationOpening_->setObjectName(QStringLiteral("destinationOpening"));
    connect(destinationOpening_, &ShellOpenTask::finished, this,
            &CKorvantaDlg::OnDestinationOpened);
    helpOpening_ = new ShellOpenTask(this);
    helpOpening_->setObjectName(QStringLiteral("helpOpening"));
}

void CKorvantaDlg::OnDisplayDestination()
{
    StoreFields();
    ConvertData request;
    FillRequest(request);
    DestinationToOpen destination{request.saveTo, request.localFolder, std::nullopt};
    if (request.profile)
        destination.profile = *request.profile;
    destinationOpening_->Start(
        [destination](const std::stop_token& stop) mutable { return destination.Open(stop); });
}

void CKorvantaDlg::OnDestinationOpened(bool opened)
{
    if (!opened)
        ShowResultMessage(RESULT_DESTINATION_NOT_OPENED);
}

void CKorvantaDlg::OnHelp()
{
    // A page that cannot be shown shows no message of ours.
    helpOpening_->Start(OpenHelpPage);
}

// Convert&Save and Display Destination Folder: the request both fill, the
// checks before a run, and the message that reports its result.

#include "app/korvanta_dlg.h"

#include "app/conversion_run.h"
#include "app/processing_dlg.h"
#include "convert/convert_data.h"
#include "convert/local_folder_probe.h"
#include "convert/result_codes.h"
#include "convert/source_checks.h"
#include "platform/string_resources.h"
#include "profiles/settings_dialog_support.h"

#include <QMessageBox>
#include <QRadioButton>

void CKorvantaDlg::FillRequest(ConvertData& request)
{
    request.cancel = 0;
    request.filePath = sourcePath_.toStdString();
    if (localPc_->isChecked()) {
        request.saveTo = SAVE_TO_LOCAL_PC;
        request.localFolder = localFolder_.toStdString();
    } else if (server_->isChecked()) {
        request.saveTo = SAVE_TO_SERVER;
        request.profile = &currentProfile_;
    }
    request.processingDlg = processingDlg_;
    request.progress = processingDlg_;
}

// The first check that fails wins: the name's extension, the file itself,
// then whether a folder can be made in the local folder.
int CKorvantaDlg::CheckRequest(const ConvertData& request) const
{
    if (const int code = fnjgCheckPptExtension(request.filePath); code != RESULT_SUCCESS)
        return code;
    if (const int code = fnjgCheckFileOpen(request.filePath); code != RESULT_SUCCESS)
        return code;
    if (localPc_->isChecked() && !ProbeLocalFolder(request.localFolder))
        return RESULT_FOLDER_NOT_CREATED;
    return RESULT_SUCCESS;
}

void CKorvantaDlg::OnConvertAndSave()
{
    StoreFields();
    ConvertData request;
    FillRequest(request);
    int code = CheckRequest(request);
    if (code == RESULT_SUCCESS)
        code = RunConversion(&request, this);

    if (code == RESULT_SUCCESS)
        ShowSuccessMessage();
    else if (code != RESULT_CANCELLED)
        ShowResultMessage(code);
}

void CKorvantaDlg::ShowResultMessage(int code)
{
    ShowSettingsError(this, ResultToStringId(code));
}

void CKorvantaDlg::ShowSuccessMessage()
{
    QMessageBox box(QMessageBox::Information, SettingsCaption(),
                    QString::fromStdString(platform::ResultMessage(RESULT_SUCCESS)),
                    QMessageBox::Ok, this);
    box.exec();
}

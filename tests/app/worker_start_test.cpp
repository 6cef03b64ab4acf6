#include "app/conversion_run.h"
#include "app/processing_dlg.h"
#include "convert/convert_data.h"
#include "convert/result_codes.h"
#include "tests/support/child_process.h"

#include <QShowEvent>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Bytes of address space this process uses now.
rlim_t AddressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    return pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
}

// Records whether it was ever shown.
class WatchedDialog : public CProcessingDlg
{
public:
    bool wasShown = false;

protected:
    void showEvent(QShowEvent* event) override
    {
        wasShown = true;
        CProcessingDlg::showEvent(event);
    }
};

} // namespace

TEST(WorkerStart, AWorkerThatCannotStartGives18AndNoDialog)
{
    WatchedDialog dialog;
    const int status = RunInChild([&] {
        // No room left for a thread's stack.
        ::alarm(30);
        const rlimit limit{AddressSpaceInUse() + (1 << 20), RLIM_INFINITY};
        if (::setrlimit(RLIMIT_AS, &limit) != 0)
            return 200;
        ConvertData request;
        request.filePath = "/nowhere/deck.pptx";
        request.processingDlg = &dialog;
        const int result = RunConversion(&request, nullptr);
        return dialog.wasShown ? 201 : result;
    });
    EXPECT_EQ(RESULT_CONVERSION_FAILED, status);
}

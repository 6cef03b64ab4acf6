#include "tests/convert/fake_office.h"

#include <algorithm>
#include <fstream>

namespace {

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class FakeSlide : public SlideDispatch
{
public:
    FakeSlide(FakeOffice& office, int lane, int number)
        : office_(office), lane_(lane), number_(number)
    {}

    void Export(const std::string& fileName, const std::string& filterName, int width,
                int height) override
    {
        office_.Record(lane_, "Export " + fileName + " " + filterName + " " +
                                  std::to_string(width) + "x" + std::to_string(height));
        const FakeOfficeScript& script = office_.Script();
        if (number_ == script.cancelDuringExport && script.cancel)
            *script.cancel = 1;
        if (number_ == script.failingExport)
            throw AutomationError("export refused");
        if (number_ == script.exportWithoutFile)
            return;
        WriteBytes(fileName, number_ == script.exportNotJpeg ? std::string("\x89PNG\r\n", 6)
                                                             : std::string("\xFF\xD8\xFF\xE0", 4));
    }

private:
    FakeOffice& office_;
    int lane_;
    int number_;
};

class FakeSlides : public SlidesDispatch
{
public:
    FakeSlides(FakeOffice& office, int lane) : office_(office), lane_(lane) {}

    int GetCount() override
    {
        office_.Record(lane_, "GetCount");
        return office_.Script().slideCount;
    }

    std::unique_ptr<SlideDispatch> Item(int index) override
    {
        office_.Record(lane_, "Item " + std::to_string(index));
        if (index == office_.Script().missingSlide)
            return nullptr;
        return std::make_unique<FakeSlide>(office_, lane_, index);
    }

private:
    FakeOffice& office_;
    int lane_;
};

class FakePresentation : public PresentationDispatch
{
public:
    FakePresentation(FakeOffice& office, int lane) : office_(office), lane_(lane) {}

    std::unique_ptr<SlidesDispatch> GetSlides() override
    {
        office_.Record(lane_, "GetSlides");
        if (office_.Script().noSlides)
            return nullptr;
        return std::make_unique<FakeSlides>(office_, lane_);
    }

    void Close() override { office_.Record(lane_, "Close"); }

private:
    FakeOffice& office_;
    int lane_;
};

class FakePresentations : public PresentationsDispatch
{
public:
    FakePresentations(FakeOffice& office, int lane) : office_(office), lane_(lane) {}

    std::unique_ptr<PresentationDispatch> Open(const std::string& fileName, int readOnly,
                                               int untitled, int withWindow) override
    {
        office_.Record(lane_, "Open " + fileName + " " + std::to_string(readOnly) + " " +
                                  std::to_string(untitled) + " " + std::to_string(withWindow));
        if (office_.Script().noPresentation || office_.Script().laneWithoutPresentation == lane_)
            return nullptr;
        return std::make_unique<FakePresentation>(office_, lane_);
    }

private:
    FakeOffice& office_;
    int lane_;
};

class FakeApplication : public ApplicationDispatch
{
public:
    FakeApplication(FakeOffice& office, int lane) : office_(office), lane_(lane) {}

    std::unique_ptr<PresentationsDispatch> GetPresentations() override
    {
        office_.Record(lane_, "GetPresentations");
        return std::make_unique<FakePresentations>(office_, lane_);
    }

    void Quit() override { office_.Record(lane_, "Quit"); }

private:
    FakeOffice& office_;
    int lane_;
};

} // namespace

bool FakeOffice::IsRunning(int lane)
{
    Record(lane, "IsRunning");
    return script_.running;
}

std::unique_ptr<ApplicationDispatch> FakeOffice::CreateApplication(int lane)
{
    Record(lane, "CreateApplication");
    if (script_.noApplication)
        return nullptr;
    return std::make_unique<FakeApplication>(*this, lane);
}

void FakeOffice::Record(int lane, const std::string& call)
{
    std::lock_guard lock(mutex_);
    // Named, not a temporary: GCC 12 reports a false -Wrestrict for
    // "text" + std::string&& (GCC bug 105329).
    const std::string laneText = std::to_string(lane);
    calls_.push_back(lane == 0 ? call : "[" + laneText + "] " + call);
}

std::vector<std::string> FakeOffice::Calls() const
{
    std::lock_guard lock(mutex_);
    return calls_;
}

bool FakeOffice::Called(const std::string& call) const
{
    const auto calls = Calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

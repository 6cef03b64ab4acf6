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
    FakeSlide(FakeOffice& office, int number) : office_(office), number_(number) {}

    void Export(const std::string& fileName, const std::string& filterName, int width,
                int height) override
    {
        office_.Record("Export " + fileName + " " + filterName + " " + std::to_string(width) + "x" +
                       std::to_string(height));
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
    int number_;
};

class FakeSlides : public SlidesDispatch
{
public:
    explicit FakeSlides(FakeOffice& office) : office_(office) {}

    int GetCount() override
    {
        office_.Record("GetCount");
        return office_.Script().slideCount;
    }

    std::unique_ptr<SlideDispatch> Item(int index) override
    {
        office_.Record("Item " + std::to_string(index));
        if (index == office_.Script().missingSlide)
            return nullptr;
        return std::make_unique<FakeSlide>(office_, index);
    }

private:
    FakeOffice& office_;
};

class FakePresentation : public PresentationDispatch
{
public:
    explicit FakePresentation(FakeOffice& office) : office_(office) {}

    std::unique_ptr<SlidesDispatch> GetSlides() override
    {
        office_.Record("GetSlides");
        if (office_.Script().noSlides)
            return nullptr;
        return std::make_unique<FakeSlides>(office_);
    }

    void Close() override { office_.Record("Close"); }

private:
    FakeOffice& office_;
};

class FakePresentations : public PresentationsDispatch
{
public:
    explicit FakePresentations(FakeOffice& office) : office_(office) {}

    std::unique_ptr<PresentationDispatch> Open(const std::string& fileName, int readOnly,
                                               int untitled, int withWindow) override
    {
        office_.Record("Open " + fileName + " " + std::to_string(readOnly) + " " +
                       std::to_string(untitled) + " " + std::to_string(withWindow));
        if (office_.Script().noPresentation)
            return nullptr;
        return std::make_unique<FakePresentation>(office_);
    }

private:
    FakeOffice& office_;
};

class FakeApplication : public ApplicationDispatch
{
public:
    explicit FakeApplication(FakeOffice& office) : office_(office) {}

    std::unique_ptr<PresentationsDispatch> GetPresentations() override
    {
        office_.Record("GetPresentations");
        return std::make_unique<FakePresentations>(office_);
    }

    void Quit() override { office_.Record("Quit"); }

private:
    FakeOffice& office_;
};

} // namespace

bool FakeOffice::IsRunning()
{
    Record("IsRunning");
    return script_.running;
}

std::unique_ptr<ApplicationDispatch> FakeOffice::CreateApplication()
{
    Record("CreateApplication");
    if (script_.noApplication)
        return nullptr;
    return std::make_unique<FakeApplication>(*this);
}

bool FakeOffice::Called(const std::string& call) const
{
    return std::find(calls_.begin(), calls_.end(), call) != calls_.end();
}

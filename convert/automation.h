#pragma once

#include "convert/automation_dispatch.h"

#include <memory>
#include <utility>

// Thin wrappers that each hold one automation object, released when the
// wrapper goes or is told to. Calling through an empty wrapper is an
// automation error.
template <class Dispatch> class DispatchWrapper
{
public:
    void AttachDispatch(std::unique_ptr<Dispatch> dispatch) { dispatch_ = std::move(dispatch); }
    void ReleaseDispatch() { dispatch_.reset(); }
    bool IsAttached() const { return dispatch_ != nullptr; }

protected:
    Dispatch& Object() const
    {
        if (!dispatch_)
            throw AutomationError("No automation object attached.");
        return *dispatch_;
    }

private:
    std::unique_ptr<Dispatch> dispatch_;
};

class Slide : public DispatchWrapper<SlideDispatch>
{
public:
    void Export(const std::string& fileName, const std::string& filterName, int scaleWidth,
                int scaleHeight)
    {
        Object().Export(fileName, filterName, scaleWidth, scaleHeight);
    }
};

class Slides : public DispatchWrapper<SlidesDispatch>
{
public:
    int GetCount() { return Object().GetCount(); }
    std::unique_ptr<SlideDispatch> Item(int index) { return Object().Item(index); }
};

class Presentation : public DispatchWrapper<PresentationDispatch>
{
public:
    std::unique_ptr<SlidesDispatch> GetSlides() { return Object().GetSlides(); }
    void Close() { Object().Close(); }
};

class Presentations : public DispatchWrapper<PresentationsDispatch>
{
public:
    std::unique_ptr<PresentationDispatch> Open(const std::string& fileName, int readOnly,
                                               int untitled, int withWindow)
    {
        return Object().Open(fileName, readOnly, untitled, withWindow);
    }
};

class Application : public DispatchWrapper<ApplicationDispatch>
{
public:
    explicit Application(OfficeServer& office, int lane = 0) : office_(office), lane_(lane) {}

    // Attaches to the lane's office, starting it when it does not run. False
    // on failure.
    bool CreateDispatch()
    {
        AttachDispatch(office_.CreateApplication(lane_));
        return IsAttached();
    }
    std::unique_ptr<PresentationsDispatch> GetPresentations()
    {
        return Object().GetPresentations();
    }
    void Quit() { Object().Quit(); }

private:
    OfficeServer& office_;
    int lane_;
};

#pragma once

#include <memory>
#include <stdexcept>
#include <string>

// The automation objects of an office suite, as the export sees them. A call
// that the office reports as failed throws AutomationError; a call that
// returns no object returns null.

class AutomationError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class SlideDispatch
{
public:
    virtual ~SlideDispatch() = default;
    // Writes this slide as one image of exactly width x height pixels.
    virtual void Export(const std::string& fileName, const std::string& filterName, int width,
                        int height) = 0;
};

class SlidesDispatch
{
public:
    virtual ~SlidesDispatch() = default;
    virtual int GetCount() = 0;
    // index counts from 1.
    virtual std::unique_ptr<SlideDispatch> Item(int index) = 0;
};

class PresentationDispatch
{
public:
    virtual ~PresentationDispatch() = default;
    virtual std::unique_ptr<SlidesDispatch> GetSlides() = 0;
    virtual void Close() = 0;
};

class PresentationsDispatch
{
public:
    virtual ~PresentationsDispatch() = default;
    // The flags take -1 for true and 0 for false.
    virtual std::unique_ptr<PresentationDispatch> Open(const std::string& fileName, int readOnly,
                                                       int untitled, int withWindow) = 0;
};

class ApplicationDispatch
{
public:
    virtual ~ApplicationDispatch() = default;
    virtual std::unique_ptr<PresentationsDispatch> GetPresentations() = 0;
    // Ends the office process.
    virtual void Quit() = 0;
};

// The office processes that application objects come from: one per lane,
// so that the slides of one presentation can be exported side by side.
class OfficeServer
{
public:
    virtual ~OfficeServer() = default;
    virtual int LaneCount() const = 0;
    // True when the lane's office is running now.
    virtual bool IsRunning(int lane) = 0;
    // Connects to the lane's running office, or starts it; null on failure.
    virtual std::unique_ptr<ApplicationDispatch> CreateApplication(int lane) = 0;
};

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

// The office process that application objects come from.
class OfficeServer
{
public:
    virtual ~OfficeServer() = default;
    // True when an office of ours is running now.
    virtual bool IsRunning() = 0;
    // Connects to our running office, or starts one; null on failure.
    virtual std::unique_ptr<ApplicationDispatch> CreateApplication() = 0;
};

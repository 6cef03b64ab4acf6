#pragma once

#include <QObject>

#include <atomic>
#include <thread>

// Starts the offices in the background once the program's event loop runs,
// so that the first Convert&Save finds them warm; a conversion asked for
// before they are up waits for them. They end with this object, and with
// the process however it ends.
class OfficePrewarm
{
public:
    OfficePrewarm();
    ~OfficePrewarm();
    OfficePrewarm(const OfficePrewarm&) = delete;
    OfficePrewarm& operator=(const OfficePrewarm&) = delete;

private:
    void Start();

    QObject context_;
    std::thread thread_;
    std::atomic<bool> done_{false};
};

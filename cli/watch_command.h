#pragma once

#include "cli/command.h"

// korvanta-cli watch [--log] FOLDER DESTINATION... : keeps the destinations
// in step with the presentations directly in FOLDER until a signal ends it.
class WatchCommand : public Command
{
public:
    QString Name() const override { return "watch"; }
    QString Description() const override;
    int Execute(const QStringList& arguments) override;
};

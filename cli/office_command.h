#pragma once

#include "cli/command.h"

// korvanta-cli office start|stop|status
class OfficeCommand : public Command
{
public:
    QString Name() const override { return "office"; }
    QString Description() const override;
    int Execute(const QStringList& arguments) override;
};

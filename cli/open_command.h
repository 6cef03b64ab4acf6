#pragma once

#include "cli/command.h"

// korvanta-cli open (--to FOLDER | --ftp URL | --share SHARE | --server NAME)
class OpenCommand : public Command
{
public:
    QString Name() const override { return "open"; }
    QString Description() const override;
    int Execute(const QStringList& arguments) override;
};

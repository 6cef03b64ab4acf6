#pragma once

#include "cli/command.h"

// korvanta-cli convert [--log] SOURCE... (--to FOLDER | --ftp URL | --share SHARE |
// --server NAME) [--user NAME]
class ConvertCommand : public Command
{
public:
    QString Name() const override { return "convert"; }
    QString Description() const override;
    int Execute(const QStringList& arguments) override;
};

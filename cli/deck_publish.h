#pragma once

#include "cli/destination_options.h"
#include "cli/progress_printer.h"
#include "convert/office_session.h"

#include <QString>

#include <string>
#include <vector>

using Destinations = std::vector<Destination>;

// The code of one source at each destination: its checks, then one export
// and a delivery to each destination that can take it (a local folder that
// takes no new folder gets 17). Nothing is started once Ctrl-C was pressed.
std::vector<int> PublishDeck(const std::string& source, const Destinations& destinations,
                             OfficeSession& office, ProgressPrinter& progress);

// Where the folder of source went, as the user may see it: a server URL
// without the user name and password it may carry.
std::string DeliveredTo(const std::string& source, const Destination& destination);

// The message for a failed publish of source (given as named) at the
// destination of index at; with several destinations it names its own.
void PrintPublishError(const QString& named, const std::string& source,
                       const Destinations& destinations, std::size_t at, int code);

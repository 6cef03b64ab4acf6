#pragma once

#include "delivery/sending_data.h"

// Publishes the image folder folderName of the working folder as the folder
// folderName below the folder named in the "sftp://" URL of
// request->destination, exactly and all at once (see PublishFolder).
// Returns 0, 20 (no request), 21 (no SFTP handle), 22 (server unreachable,
// its identity not trusted, or login refused) or 23 (any other failure).
int actSendingSFTP(const SendingData* request);

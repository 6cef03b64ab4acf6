#pragma once

#include "delivery/sending_data.h"

// Uploads the image folder folderName of the working folder, with its tree,
// as the folder folderName below the folder named in the FTP URL
// ("ftp://", "ftpes://" or "ftps://") of request->destination; nothing else
// of the working folder. Returns 0, 20 (no request), 21 (no FTP handle), 22
// (server unreachable, its identity not trusted, or login refused) or 23
// (any other failure).
int actSendingFTP(const SendingData* request);

#pragma once
// Korrimat's version and the texts of its version resource, in one place.

#define KORRIMAT_VERSION_MAJOR 1
#define KORRIMAT_VERSION_MINOR 0
#define KORRIMAT_VERSION_PATCH 0
#define KORRIMAT_VERSION_BUILD 0
// The resource compiler cannot join numbers into text: keep this in step with the four above.
#define KORRIMAT_VERSION_TEXT "1.0.0.0"

#define KORRIMAT_COMPANY "Korrimat"
#define KORRIMAT_PRODUCT "Korrimat"
#define KORRIMAT_DESCRIPTION "Korrimat file properties"
#define KORRIMAT_COPYRIGHT "Copyright (C) 2026 the Korrimat developers"
#define KORRIMAT_TRADEMARKS "Korrimat is a name of the Korrimat developers"
#define KORRIMAT_INTERNAL_NAME "korrimat"
#define KORRIMAT_ORIGINAL_FILENAME "korrimat.exe"

#include "protocol/result_codes.h"
#include "ui/ui_services.h"

// The interactive main dialog is not part of this module yet: a run that asks
// for it ends with the missing-resource code instead of filtering silently.
int16_t runMainDialog(DialogSession&) {
    return result::missingResource;
}

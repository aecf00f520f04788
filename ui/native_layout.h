#pragma once
#include <functional>

#include "ui/ui_services.h"

// The native build has no main dialog: without a stand-in a run that asks for
// it ends with the missing-resource code. A stand-in (tests set one) takes the
// dialog's place and answers as the dialog would; an empty one removes it.
void setMainDialogStandIn(std::function<int16_t(DialogSession&)> standIn);

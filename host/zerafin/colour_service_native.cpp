#include "host/zerafin/colour_service.h"

ColorServiceProc hostColourService() {
    return nullptr;
}

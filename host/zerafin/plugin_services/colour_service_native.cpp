#include "host/zerafin/plugin_services/colour_service.h"

ColorServiceProc hostColourService() {
    return nullptr;
}

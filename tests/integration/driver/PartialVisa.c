/* A VISA library that offers only the resource manager: the driver must refuse it without a crash. */
#include "visa.h"

__attribute__((visibility("default"))) ViStatus viOpenDefaultRM(ViSession* vi) {
    *vi = 1;
    return VI_SUCCESS;
}
